// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace flk {

class CgiCtrl;
struct Error;

// How tasks come to the NAS, in one place (worker-thread calls, no widgets):
// the NAS's default folder, a torrent link read by the NAS with the bare
// link as its fallback, and the multi-download batch.
class TaskIntake
{
public:
    // The folder a task goes to when nobody chose one.
    static constexpr const char *kStandardFolder = "/Download";
    // The NAS's default download folder: its "default_dl_dir" when that is
    // a text, else kStandardFolder. None when the preferences could not be
    // read (e says why; kCgiErrorNoPreference: the NAS has none yet).
    static std::optional<QString> defaultFolder(CgiCtrl *c, Error *e);

    // A torrent link's record as the NAS reads it (add-by-URL) for the
    // new-task dialog; when the NAS cannot read it, the bare link the dialog
    // then adds as it is: fallback (a magnet) when given, else the link.
    static QJsonObject torrentOrLink(
        CgiCtrl *c, const QString &torrentUrl, const QString &fallback = QString());

    // The multi-download batch over torrents ({"torrent", "magnet"}
    // elements): in automatic mode each is added at once to the default
    // folder at the top of the queue with all its files (a row of
    // {"success", "name"}); in manual mode each is read for the new-task
    // dialog (its record, or the magnet as a bare link). Failures are rows,
    // not alerts. Nothing when the default folder cannot be read or type is
    // not 1 (torrents).
    static QList<QJsonObject> addBatch(
        CgiCtrl *c, const QJsonArray &torrents, bool manual, uint type);
};

} // namespace flk
