// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasDefaultFolder.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"

namespace flk {

void fetchNasDefaultFolder(CommandOverlay *overlay, std::shared_ptr<CgiCtrl> client,
    std::function<void(const QString &)> done)
{
    if (!client)
        return;
    overlay->run(
        [client] {
            Error e;
            const auto prefs = client->get_User_Preference(&e);
            return prefs && !e.isError() ? json::stringValue(*prefs, u"default_dl_dir") : QString();
        },
        [done](QString folder) { done(folder); });
}

} // namespace flk
