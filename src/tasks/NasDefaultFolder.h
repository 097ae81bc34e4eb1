// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace flk {

class CgiCtrl;
class CommandOverlay;

// Reads the NAS default download folder ("default_dl_dir" of the user's
// preferences) as a command under overlay. done runs on the GUI thread while
// the overlay lives, with "" when the request failed or has no folder.
void fetchNasDefaultFolder(CommandOverlay *overlay, std::shared_ptr<CgiCtrl> client,
    std::function<void(const QString &)> done);

} // namespace flk
