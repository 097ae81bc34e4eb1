// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>

class QMimeData;

namespace flk {

// What counts as a link or a torrent file when adding tasks, shared by the
// add sheet, drops and hand-overs.
namespace TaskLinks {

// A line counts when its lower-case form starts with a known scheme
// (checked before any trimming).
bool isValidLink(const QString &line);
// The torrent file rule: folders open, files only with the exact
// extension "torrent".
bool shouldEnableURL(const QFileInfo &info);
// The link text sent: valid lines, spaces and tabs trimmed, each ending in
// a line feed.
QString linkText(const QStringList &lines);
// What a drop carries that a task list can add: local .torrent files and
// links (magnet or download addresses, as URLs or as text).
void droppedWork(const QMimeData *mime, QStringList *files, QStringList *links);

} // namespace TaskLinks
} // namespace flk
