// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>

namespace flk {

class CgiCtrl;

// The task list's commands and the request pair each sends: torrent tasks
// and plain (HTTP/FTP) tasks have requests of their own. Worker-thread
// calls, no widgets.
class TaskCommands
{
public:
    enum class Command { Start, Pause, Up, Down, Delete };
    // The selected tasks' ids, "%ld" joined by ",": the torrents, the plain
    // downloads, and all of them in row order (the queue moves take all).
    struct Ids {
        QString torrents, downloads, all;
    };
    // A request whose id list is empty is not sent; the second of a pair
    // goes whatever the first returned. mode: the delete sheet's choice.
    static void send(CgiCtrl *c, Command command, const Ids &ids, int mode = 0);
};

} // namespace flk
