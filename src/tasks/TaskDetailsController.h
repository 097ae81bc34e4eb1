// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "TaskDetails.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QItemSelectionModel;

namespace flk {

class CgiCtrl;
class CommandOverlay;
class ListRefresh;
class SpeedHistory;
class TaskContentModel;
class TaskTrackerModel;

// The task the details are about: the current row of the task list when it
// is a selected torrent task.
struct DetailsTask {
    QString key; // (type, id) of the row; empty: no task
    qint64 id = 0;
    bool isTorrent = false;
};

// The detail tabs' logic: one "torrent-info" request at a time for the
// current task (a change meanwhile asks again when it returns; an answer for
// a task that is no longer current is dropped), the files and trackers
// tables, the trackers' client-side sort, and the tracker commands under the
// list's overlay.
class TaskDetailsController : public QObject
{
    Q_OBJECT

public:
    using ClientSource = std::function<std::shared_ptr<CgiCtrl>()>;
    using TaskSource = std::function<DetailsTask()>;

    TaskDetailsController(
        ClientSource client, TaskSource task, CommandOverlay *overlay, QObject *parent = nullptr);

    TaskContentModel *contentModel() const { return m_content; }
    TaskTrackerModel *trackerModel() const { return m_trackers; }
    QItemSelectionModel *trackerSelection() const { return m_trackerSelection; }
    QAction *actAddTracker() const { return m_actAdd; }
    QAction *actRemoveTracker() const { return m_actRemove; }
    ListRefresh *refresh() const { return m_refresh; }

    // What the tabs show: the details of the current task, or the empty
    // state (no torrent task selected, or its request failed).
    bool isEmpty() const { return m_empty; }
    // Why the tabs are empty: no task selected, a plain (HTTP/FTP) task, for
    // which the NAS keeps no details, or the NAS did not answer.
    enum class EmptyReason { NoTask, PlainTask, NotAnswered };
    EmptyReason emptyReason() const { return m_emptyReason; }
    // The sentence the tabs show in their empty state.
    QString emptyText() const;
    const TaskDetails &details() const { return m_details; }
    // The shown task's download and upload speeds since it was shown.
    SpeedHistory *taskSpeeds() const { return m_taskSpeeds; }

    // Asks for the details of the current task.
    void _refresh_Contents();
    bool isRequestOutstanding() const;

    QString sortKeyContent() const { return m_sortKeyContent; }
    QString orderContent() const { return m_orderContent; }
    QString sortKeyTracker() const { return m_sortKeyTracker; }
    QString orderTracker() const { return m_orderTracker; }
    // Header clicks (the list then refreshes, and the details with it):
    // files are sorted by the NAS, trackers here.
    void setContentSort(const QString &key, const QString &order);
    void setTrackerSort(const QString &key, const QString &order);

    // Selected tracker ids in ascending row order, "%ld" joined by ",".
    QString selectedTrackerIdText() const;
    void on_Add_Tracker();
    void addTrackers(qint64 taskId, const QString &text);
    void on_Remove_Tracker();

signals:
    // The tabs have new content (details or the empty state).
    void detailsApplied();
    // The tracker sheet is wanted for this task.
    void trackerSheetRequested(qint64 taskId);

private:
    void show(std::optional<TaskDetails> details);
    void updateTrackerActions();
    void runTrackerCommand(std::function<bool(CgiCtrl *)> command);

    ClientSource m_client;
    TaskSource m_task;
    CommandOverlay *m_overlay;
    ListRefresh *m_refresh;
    TaskContentModel *m_content;
    TaskTrackerModel *m_trackers;
    QItemSelectionModel *m_trackerSelection;
    QAction *m_actAdd, *m_actRemove;
    TaskDetails m_details;
    bool m_empty = true;
    EmptyReason m_emptyReason = EmptyReason::NoTask;
    QString m_askedKey; // the task the request out is about
    SpeedHistory *m_taskSpeeds;
    QString m_speedsKey; // whose speeds m_taskSpeeds holds
    QString m_sortKeyContent = QStringLiteral("file_id");
    QString m_orderContent = QStringLiteral("asc");
    QString m_sortKeyTracker = QStringLiteral("tracker_name");
    QString m_orderTracker = QStringLiteral("asc");
};

} // namespace flk
