// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasDefaultFolder.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "models/TaskIntake.h"

namespace flk {

void fetchNasDefaultFolder(CommandOverlay *overlay, std::shared_ptr<CgiCtrl> client,
    std::function<void(const QString &)> done)
{
    if (!client)
        return;
    overlay->run(
        [client] {
            Error e;
            return TaskIntake::defaultFolder(client.get(), &e).value_or(QString());
        },
        [done](QString folder) { done(folder); });
}

} // namespace flk
