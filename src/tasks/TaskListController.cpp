// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskListController.h"

#include "models/SpeedHistory.h"

#include "TaskDetailsController.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/Work.h"
#include "desktop/FinishedTasksWatcher.h"
#include "models/ListRefresh.h"
#include "models/RowSelection.h"
#include "models/TaskLinks.h"
#include "servers/FavoriteObject.h"

#include <QAction>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>

namespace flk {

namespace {
// Lists this long take hundreds of megabytes on their way in.
constexpr int kTrimAfterList = 2000;
} // namespace

TaskListController::TaskListController(QObject *parent)
    : QObject(parent),
      m_model(new TaskListModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_overlay(new CommandOverlay(this))
{
    m_sender = this;
    makeAction(Command::Edit, QT_TRID_NOOP("TOOL_TIP_EDIT"), &TaskListController::on_Edit_Torrent);
    makeAction(
        Command::Delete, QT_TRID_NOOP("TOOL_TIP_DELETE"), &TaskListController::on_Delete_Torrent);
    makeAction(
        Command::Start, QT_TRID_NOOP("TOOL_TIP_START"), &TaskListController::on_Start_Torrent);
    makeAction(
        Command::Pause, QT_TRID_NOOP("TOOL_TIP_PAUSE"), &TaskListController::on_Pause_Torrent);
    makeAction(Command::Up, QT_TRID_NOOP("TOOL_TIP_UP"), &TaskListController::on_Torrent_Up);
    makeAction(Command::Down, QT_TRID_NOOP("TOOL_TIP_DOWN"), &TaskListController::on_Torrent_Down);
    makeAction(Command::Add, QT_TRID_NOOP("TOOL_TIP_ADD"), &TaskListController::on_Add_Torrent);
    makeAction(Command::Preference, QT_TRID_NOOP("TOOL_TIP_PREFERENCE"),
        &TaskListController::on_Preference);

    // Whether the list on show is overdue for a refresh, checked each second.
    m_speedHistory = new SpeedHistory(this);
    m_staleCheck = new QTimer(this);
    m_staleCheck->setInterval(1000);
    connect(m_staleCheck, &QTimer::timeout, this, &TaskListController::checkStale);

    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            // One request path for the list on show and the finished-task
            // check, so no two list requests to this NAS are ever out at once.
            const bool wantList = m_listWanted;
            const std::optional<qint64> finishedCheck = m_finished.take();
            m_listWanted = false;
            const std::shared_ptr<CgiCtrl> c = client();
            if (!c || !c->logon() || (!wantList && !finishedCheck))
                return {};
            // Until the first list comes, how long it has been asked for.
            if (!m_listShown && !m_firstAsked.isValid()) {
                m_firstAsked.start();
                if (m_staleAfterMs > 0 && !m_staleCheck->isActive())
                    m_staleCheck->start();
            }
            if (m_administrator != c->administrator()) {
                m_administrator = c->administrator();
                emit administratorChanged(*m_administrator);
            }
            const int cat = int(m_category);
            const QString sort = m_sortKey, ord = m_order, filt = m_filter;
            // The rows shown now and their digests (shared copies): tasks
            // that did not change keep their rows.
            const QList<TaskRow> previous = m_model->rows();
            const QList<TaskDigest> digests = m_model->digests();
            return [this, c, cat, sort, ord, filt, previous, digests, wantList,
                       finishedCheck]() -> ListRefresh::Apply {
                // Bodies are decoded here, in one pass, straight into rows.
                const auto fetch =
                    [&c](int category, const QString &sortKey, const QString &sortOrder,
                        const QString &filterText, const QList<TaskRow> &reuse,
                        const QList<TaskDigest> &reuseDigests) -> std::optional<TaskListSnapshot> {
                    Error e;
                    TaskListSnapshot decoded;
                    CgiCtrl::Reply reply;
                    {
                        CgiCtrl::ScopedBodyParser parser(
                            [&decoded, &reuse, &reuseDigests](const QByteArray &b) {
                                return TaskListModel::decodeBody(b, &decoded, reuse, reuseDigests);
                            });
                        reply = c->get_Torrent_List(category, sortKey, sortOrder, filterText, &e);
                    }
                    if (!reply || e.isError())
                        return std::nullopt;
                    return decoded;
                };
                std::optional<TaskListSnapshot> list;
                if (wantList)
                    list = fetch(cat, sort, ord, filt, previous, digests);
                std::optional<QList<TaskRow>> finished;
                if (finishedCheck) {
                    if (list && FinishedTaskCheck::isFinishedList(cat, filt))
                        finished = list->resolvedRows(); // the list on show is the answer
                    else if (auto f
                        = fetch(FinishedTaskCheck::kFinishedCategory, QStringLiteral("position"),
                            QStringLiteral("asc"), QString(), {}, {}))
                        finished = std::move(f->rows);
                }
                if (!list && !finished)
                    return {}; // nothing changes; the next tick tries again
                return [this, list = std::move(list), finished = std::move(finished),
                           finishedCheck]() mutable {
                    if (finished)
                        m_finished.deliver(*finishedCheck, *finished);
                    if (list)
                        applyList(std::move(*list));
                };
            };
        },
        this);

    m_details = new TaskDetailsController([this] { return client(); },
        [this] {
            const int row = currentTaskRow();
            if (row < 0)
                return DetailsTask();
            const TaskRow &r = m_model->row(row);
            return DetailsTask { r.key(), r->idValue, r->type == QLatin1String("BT") };
        },
        m_overlay, this);

    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &TaskListController::selectionMoved);
    connect(m_selection, &QItemSelectionModel::currentChanged, this,
        &TaskListController::selectionMoved);
    updateActions();
}

TaskListController::~TaskListController() = default;

QAction *TaskListController::makeAction(
    Command command, const char *textKey, void (TaskListController::*slot)())
{
    auto *a = new QAction(localized(textKey), this);
    a->setToolTip(localized(textKey));
    a->setObjectName(QString::fromLatin1(textKey));
    connect(a, &QAction::triggered, this, slot);
    m_actions.insert(command, a);
    return a;
}

QAction *TaskListController::action(Command command) const
{
    return m_actions.value(command);
}

QList<QAction *> TaskListController::contextMenuActions() const
{
    return { action(Command::Edit), action(Command::Delete), nullptr, action(Command::Start),
        action(Command::Pause), nullptr, action(Command::Up), action(Command::Down) };
}

void TaskListController::setClientSource(ClientSource source)
{
    m_clientSource = std::move(source);
}

std::shared_ptr<CgiCtrl> TaskListController::client() const
{
    return m_clientSource ? m_clientSource() : nullptr;
}

void TaskListController::setFavObj(std::shared_ptr<FavoriteObject> record)
{
    m_favObj = std::move(record);
}

bool TaskListController::isBusy() const
{
    return m_refresh->isOutstanding() || m_details->isRequestOutstanding() || m_detailsQueued
        || m_overlay->isShowing() || !m_overlay->isIdle();
}

// ---- the list ---------------------------------------------------------------

void TaskListController::refresh_Items()
{
    m_listWanted = true;
    m_refresh->request();
}

void TaskListController::setCategory(uint category)
{
    m_category = category;
    // A list of the old category that is out now is never shown.
    m_listWanted = true;
    m_refresh->restart();
}

void TaskListController::setSort(const QString &key, const QString &order)
{
    m_sortKey = key;
    m_order = order;
    m_listWanted = true;
    m_refresh->restart();
}

void TaskListController::on_Edit_Filter(const QString &text)
{
    m_filter = text;
    m_listWanted = true;
    m_refresh->restart();
}

void TaskListController::on_Show_Login_Fail_View()
{
    m_category = 0;
    m_loginFailed = true;
    m_listShown = false;
    m_firstAsked.invalidate();
    m_refresh->invalidate();
    checkStale(); // the failure view says it all
    updateActions();
    emit loginFailViewChanged(true);
}

void TaskListController::setStaleAfter(int ms)
{
    const bool wasWatching = m_staleAfterMs > 0;
    m_staleAfterMs = ms;
    if (ms <= 0) {
        // Nobody asks for the list now: its age says nothing about the NAS.
        m_staleCheck->stop();
        return;
    }
    // Lists are expected again from now on, not since the last one came.
    if (!wasWatching)
        m_expectingSince.start();
    m_staleCheck->setInterval(std::clamp(ms / 4, 10, 1000));
    if ((m_listShown || m_firstAsked.isValid()) && !m_staleCheck->isActive())
        m_staleCheck->start();
}

void TaskListController::checkStale()
{
    qint64 age = m_sinceApplied.isValid() ? m_sinceApplied.elapsed() : 0;
    if (m_expectingSince.isValid())
        age = std::min(age, m_expectingSince.elapsed());
    // No list yet: late once the first one takes longer than a stale one.
    const bool firstLate = !m_listShown && m_firstAsked.isValid()
        && std::min(m_firstAsked.elapsed(),
               m_expectingSince.isValid() ? m_expectingSince.elapsed() : m_firstAsked.elapsed())
            > m_staleAfterMs;
    const bool stale = !m_loginFailed && m_staleAfterMs > 0
        && ((m_listShown && m_sinceApplied.isValid() && age > m_staleAfterMs) || firstLate);
    if (stale == m_stale)
        return;
    m_stale = stale;
    emit staleChanged(stale, m_lastApplied);
}

void TaskListController::applyList(TaskListSnapshot snapshot)
{
    m_lastApplied = QDateTime::currentDateTime();
    m_sinceApplied.start();
    m_firstAsked.invalidate();
    if (!m_staleCheck->isActive() && m_staleAfterMs > 0)
        m_staleCheck->start();
    checkStale();
    if (m_loginFailed) {
        m_loginFailed = false;
        emit loginFailViewChanged(false);
    }
    m_listShown = true;
    const QString dl = snapshot.totalDownload, ul = snapshot.totalUpload;
    m_speedHistory->addTexts(QDateTime::currentMSecsSinceEpoch(), dl, ul);
    const QVariantMap counts = snapshot.counts;
    // Rows are kept by (type, id): the selection and the current row follow
    // their tasks; a task that left takes its selection with it.
    const int before = m_model->rowCount();
    m_applying = true;
    m_model->apply(std::move(snapshot));
    m_applying = false;
    // What a big list's poll freed (its reply, the rows it replaced) goes
    // back to the system instead of staying with the allocator, and so does
    // a very large list that gave way to a smaller one (on a worker).
    if (before >= kTrimAfterList || m_model->rowCount() >= kTrimAfterList)
        releaseFreedMemory();

    const QString speed = stringWithKSTFormat(localized("TXT_NOW_SPEED"), { dl, ul });
    if (speed != m_nowSpeed) {
        m_nowSpeed = speed;
        emit nowSpeedChanged(speed);
    }
    emit countsChanged(counts);
    if (!m_selectWhenListed.isEmpty()) {
        const int row = rowOfKey(m_selectWhenListed);
        if (selectOnlyRow(m_selection, row))
            m_selectWhenListed.clear();
    }
    // Otherwise the finished category goes out on the list's own request
    // path, after whatever is out now.
    if (m_finished.onList(counts, m_model->rows(), int(m_category), m_filter))
        m_refresh->request();
    updateActions();
    m_details->_refresh_Contents();
    emit listApplied();
}

int TaskListController::rowOfKey(const QString &key) const
{
    const QList<TaskRow> &rows = m_model->rows();
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.at(i).key() == key)
            return i;
    }
    return -1;
}

void TaskListController::setFinishedWatcher(FinishedTasksWatcher *watcher)
{
    m_finished.setWatcher(watcher);
}

void TaskListController::selectTask(const QString &key)
{
    m_selectWhenListed = key;
    if (m_category != 0 || !m_filter.isEmpty()) {
        // Everything, so the task is there whatever its state.
        m_filter.clear();
        emit filterReset(m_filter);
        setCategory(0);
        return;
    }
    const int row = rowOfKey(key);
    if (row < 0) {
        refresh_Items();
        return;
    }
    m_selectWhenListed.clear();
    selectOnlyRow(m_selection, row);
}

QList<int> TaskListController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_selection->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TaskListController::currentTaskRow() const
{
    const QModelIndex current = m_selection->currentIndex();
    if (current.isValid() && m_selection->isRowSelected(current.row(), {}))
        return current.row();
    // The current index may sit outside the selection: the last selected
    // row stands in for it.
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.last();
}

void TaskListController::selectionMoved()
{
    updateActions();
    // A refresh fetches the details once the list is in. A click moves the
    // current row and the selection one after the other: the details are
    // asked for once, when both have settled.
    if (m_applying || m_detailsQueued)
        return;
    m_detailsQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_detailsQueued = false;
            m_details->_refresh_Contents();
        },
        Qt::QueuedConnection);
}

void TaskListController::updateActions()
{
    const QList<int> rows = selectedRows();
    const bool any = !rows.isEmpty() && !m_loginFailed;
    // Torrent tasks among the selection: h (plain ones) differs from n.
    const bool torrents = any && !m_model->idStringFromType(rows, QStringLiteral("BT")).isEmpty();
    action(Command::Delete)->setEnabled(any);
    action(Command::Start)->setEnabled(any);
    action(Command::Pause)->setEnabled(any);
    action(Command::Edit)->setEnabled(torrents);
    action(Command::Up)->setEnabled(torrents);
    action(Command::Down)->setEnabled(torrents);
    action(Command::Add)->setEnabled(m_listShown && !m_loginFailed);
    action(Command::Preference)->setEnabled(true);
}

} // namespace flk
