// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

namespace flk {

// A task the NAS counts as finished: its key ("type:id") and name.
struct FinishedTask {
    QString key;
    QString name;
    bool operator==(const FinishedTask &) const = default;
};

// Which tasks of one server have finished, remembered between runs in a
// cache file, so the user hears of each finish once: while Ferrylink
// watches, as it happens; otherwise at the next sign-in ("while away").
//
// The task list reply counts the finished tasks with every poll; when that
// count moves (or at the first poll), the owner fetches the finished
// category and hands it to check(). A server seen for the first time is
// learnt silently: its old downloads are not news.
class FinishedTasksWatcher : public QObject
{
    Q_OBJECT

public:
    // cacheFile: where the finished keys of this server are kept.
    explicit FinishedTasksWatcher(const QString &cacheFile, QObject *parent = nullptr);

    // $XDG_CACHE_HOME/ferrylink/finished-<hash of hostID>.json
    static QString cacheFileFor(const QString &hostID);

    // Whether the finished category should be fetched, given the counts the
    // latest list reply gave (see signature()).
    bool wantsCheck(qint64 countSignature) const;
    // The finished category as the NAS lists it now. Emits finished() with
    // the tasks not seen finished before; forgets tasks no longer listed.
    void check(qint64 countSignature, const QList<FinishedTask> &finishedNow);
    // A number that moves whenever the finished set may have: the finished
    // and total counts of a list reply (a finish and a removal between two
    // polls still move the total).
    static qint64 signature(qint64 completed, qint64 all) { return (completed << 32) ^ all; }
    // The next check starts over (after a new sign-in).
    void resetCount() { m_lastCount.reset(); }

    QString cacheFile() const { return m_file; }
    QSet<QString> knownKeys() const { return m_known; }

signals:
    // whileAway: they finished before this sign-in (the first check of a
    // run), not while the list was watched.
    void finished(const QList<FinishedTask> &tasks, bool whileAway);

private:
    void load();
    void save() const;

    QString m_file;
    QSet<QString> m_known;
    bool m_hadCache = false;
    bool m_checkedOnce = false;
    std::optional<qint64> m_lastCount;
};

} // namespace flk
