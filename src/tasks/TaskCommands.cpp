// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskCommands.h"

#include "api/CgiCtrl.h"

namespace flk {

void TaskCommands::send(CgiCtrl *c, Command command, const Ids &ids, int mode)
{
    Error e;
    switch (command) {
    case Command::Start:
        if (!ids.torrents.isEmpty())
            c->start_Torrent(ids.torrents, &e);
        if (!ids.downloads.isEmpty())
            c->start_Download(ids.downloads, &e);
        break;
    case Command::Pause:
        if (!ids.torrents.isEmpty())
            c->stop_Torrent(ids.torrents, &e);
        if (!ids.downloads.isEmpty())
            c->stop_Download(ids.downloads, &e);
        break;
    case Command::Up:
    case Command::Down:
        if (!ids.all.isEmpty())
            c->change_Torrent_Order(ids.all,
                command == Command::Up ? QStringLiteral("up") : QStringLiteral("down"), &e);
        break;
    case Command::Delete:
        if (!ids.torrents.isEmpty())
            c->remove_Torrent(ids.torrents, mode, &e);
        if (!ids.downloads.isEmpty())
            c->remove_Download(ids.downloads, mode, &e);
        break;
    }
}

} // namespace flk
