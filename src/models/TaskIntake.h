// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>

class QMimeData;

namespace flk {

class CgiCtrl;
struct Error;

// How tasks come to the NAS, in one place (no widgets): the add sheet's
// links and files, drops and hand-overs from the desktop, the NAS's default
// folder, a torrent link read by the NAS with the bare link as its fallback,
// and the multi-download batch. The requests run on a worker.
class TaskIntake
{
public:
    // One add, run on a worker: the new torrents that want their dialog
    // (none when nothing was sent; e says why).
    using Request = std::function<std::optional<QJsonArray>(CgiCtrl *, Error *)>;

    // The add sheet's result: links with their options when it carries
    // "auto_torrent_enabled", else torrent files ("items", "save_to",
    // "show_dialog_enabled").
    static Request fromSheet(const QVariantMap &result);
    static Request torrentFiles(const QVariantMap &result);
    static Request downloadLinks(const QVariantMap &result);
    // Items handed over by the desktop or dropped: torrent files uploaded and
    // links added to the NAS's default folder, each new torrent shown in the
    // new-task dialog. Nothing is sent without the default folder
    // (kCgiErrorNoPreference: the NAS has none yet, the caller may keep the
    // items for later).
    static Request handedOver(const QStringList &files, const QStringList &links);

    // What a drop carries that a task list can add.
    struct Items {
        QStringList files, links;
        bool isEmpty() const { return files.isEmpty() && links.isEmpty(); }
    };
    static Items dropped(const QMimeData *mime);
    // Items handed over as paths and links: a valid link goes as link text,
    // anything else up as a torrent file.
    static Items handedOverItems(const QStringList &items);

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

// The new-task dialogs after an add: one dialog per new torrent, in order,
// the next when the previous one ends however it ended.
class NewTaskChain
{
public:
    // Starts over with torrents from index; the first record to show, or
    // none (and the chain ends) when index is outside the list.
    std::optional<QJsonObject> start(const QJsonArray &torrents, int index = 0);
    // The shown dialog ended: the next record, or none when that was the last.
    std::optional<QJsonObject> next();
    void clear();
    bool isRunning() const { return m_index >= 0; }
    // The shown torrent's place in the chain (-1 when none is shown).
    int index() const { return m_index; }
    int size() const { return int(m_torrents.size()); }

private:
    QJsonArray m_torrents;
    int m_index = -1;
};

} // namespace flk
