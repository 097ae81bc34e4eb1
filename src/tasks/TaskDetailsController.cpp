// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskDetailsController.h"

#include "models/SpeedHistory.h"

#include <QDateTime>

#include "TaskContentModel.h"
#include "TaskTrackerModel.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "models/ListRefresh.h"

#include <QAction>
#include <QItemSelectionModel>

namespace flk {

TaskDetailsController::TaskDetailsController(
    ClientSource client, TaskSource task, CommandOverlay *overlay, QObject *parent)
    : QObject(parent),
      m_client(std::move(client)),
      m_task(std::move(task)),
      m_overlay(overlay),
      m_content(new TaskContentModel(this)),
      m_trackers(new TaskTrackerModel(this)),
      m_trackerSelection(new QItemSelectionModel(m_trackers, this)),
      m_actAdd(new QAction(localized("TOOL_TIP_ADD"), this)),
      m_actRemove(new QAction(localized("TOOL_TIP_DELETE"), this)),
      m_taskSpeeds(new SpeedHistory(this))
{
    m_actAdd->setObjectName(QStringLiteral("actAddTracker"));
    m_actRemove->setObjectName(QStringLiteral("actRemoveTracker"));
    connect(m_actAdd, &QAction::triggered, this, &TaskDetailsController::on_Add_Tracker);
    connect(m_actRemove, &QAction::triggered, this, &TaskDetailsController::on_Remove_Tracker);
    connect(m_trackerSelection, &QItemSelectionModel::selectionChanged, this,
        &TaskDetailsController::updateTrackerActions);

    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            const DetailsTask task = m_task();
            const std::shared_ptr<CgiCtrl> client = m_client();
            m_askedKey = task.key;
            if (task.key.isEmpty() || !task.isTorrent || !client) {
                m_emptyReason = task.key.isEmpty() ? EmptyReason::NoTask
                    : !task.isTorrent              ? EmptyReason::PlainTask
                                                   : EmptyReason::NotAnswered;
                show(std::nullopt);
                return {};
            }
            const qint64 id = task.id;
            const QString sortContent = m_sortKeyContent, ordContent = m_orderContent;
            const QString sortTracker = m_sortKeyTracker, ordTracker = m_orderTracker;
            // The GUI part runs only while the refresh (a child of this
            // controller) lives.
            return [this, client, id, sortContent, ordContent, sortTracker,
                       ordTracker]() -> ListRefresh::Apply {
                Error e;
                const CgiCtrl::Reply reply
                    = client->get_Torrent_Info(id, sortContent, ordContent, &e);
                std::optional<TaskDetails> details;
                if (reply && !e.isError())
                    details = TaskDetails::decode(*reply, sortTracker, ordTracker, client.get());
                return [this, details = std::move(details)] {
                    m_emptyReason = EmptyReason::NotAnswered;
                    show(details);
                };
            };
        },
        this);
    updateTrackerActions();
}

QString TaskDetailsController::emptyText() const
{
    switch (m_emptyReason) {
    case EmptyReason::NoTask:
        return localized("DETAILS_SELECT_TASK");
    case EmptyReason::PlainTask:
        return localized("DETAILS_PLAIN_TASK");
    case EmptyReason::NotAnswered:
        break;
    }
    return localized("DETAILS_NOT_ANSWERED");
}

bool TaskDetailsController::isRequestOutstanding() const
{
    return m_refresh->isOutstanding();
}

void TaskDetailsController::_refresh_Contents()
{
    // An answer about another task than the current one is dropped.
    if (m_task().key != m_askedKey)
        m_refresh->invalidate();
    m_refresh->request();
}

void TaskDetailsController::show(std::optional<TaskDetails> details)
{
    if (details) {
        m_details = std::move(*details);
        m_empty = false;
    } else {
        m_details = TaskDetails();
        m_empty = true;
    }
    // The shown task's speeds while its details are shown (a new task
    // starts a new line).
    const QString key = m_empty ? QString() : m_task().key;
    if (key != m_speedsKey) {
        m_speedsKey = key;
        m_taskSpeeds->clear();
    }
    if (!key.isEmpty())
        m_taskSpeeds->addTexts(QDateTime::currentMSecsSinceEpoch(),
            m_details.info.value(QStringLiteral("download_speed")),
            m_details.info.value(QStringLiteral("upload_speed")));
    m_content->setRecords(m_details.files);
    // Trackers are kept by tracker_id, so the selection follows them. The
    // empty state leaves the tracker list as it was (its tab goes).
    if (m_details.hasTrackers)
        m_trackers->setRecords(m_details.trackers);
    updateTrackerActions();
    emit detailsApplied();
}

void TaskDetailsController::setContentSort(const QString &key, const QString &order)
{
    m_sortKeyContent = key;
    m_orderContent = order;
    // What is out was asked with the old order.
    m_refresh->invalidate();
}

void TaskDetailsController::setTrackerSort(const QString &key, const QString &order)
{
    m_sortKeyTracker = key;
    m_orderTracker = order;
    // Sorted here at once; the next fetch sorts the same way.
    if (!m_empty && m_details.hasTrackers) {
        TaskDetails::sortTrackers(m_details.trackers, key, order);
        m_trackers->setRecords(m_details.trackers);
    }
    m_refresh->invalidate();
}

QString TaskDetailsController::selectedTrackerIdText() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_trackerSelection->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QString out;
    for (int r : rows) {
        if (!out.isEmpty())
            out += QLatin1Char(',');
        out += QString::number(m_trackers->trackerId(r));
    }
    return out;
}

void TaskDetailsController::updateTrackerActions()
{
    m_actRemove->setEnabled(m_trackerSelection->hasSelection());
}

void TaskDetailsController::on_Add_Tracker()
{
    const DetailsTask task = m_task();
    if (task.key.isEmpty() || !task.isTorrent || m_overlay->isShowing())
        return;
    emit trackerSheetRequested(task.id);
}

void TaskDetailsController::runTrackerCommand(std::function<bool(CgiCtrl *)> command)
{
    const std::shared_ptr<CgiCtrl> client = m_client();
    if (!client)
        return;
    // The overlay is the list's; it goes with the list controller, whose
    // child this is.
    m_overlay->run([client, command] { return command(client.get()); },
        [this](bool done) {
            // Failures change nothing and say nothing.
            if (done)
                _refresh_Contents();
        });
}

void TaskDetailsController::addTrackers(qint64 taskId, const QString &text)
{
    runTrackerCommand([taskId, text](CgiCtrl *client) {
        Error e;
        return client->add_Torrent_Tracker(taskId, text, &e);
    });
}

void TaskDetailsController::on_Remove_Tracker()
{
    const DetailsTask task = m_task();
    const QString ids = selectedTrackerIdText();
    if (task.key.isEmpty() || ids.isEmpty())
        return;
    const qint64 taskId = task.id;
    runTrackerCommand([taskId, ids](CgiCtrl *client) {
        Error e;
        return client->remove_Torrent_Tracker(taskId, ids, &e);
    });
}

} // namespace flk
