#include "TaskListController.h"

#include "TaskDetailsController.h"
#include "TaskLinks.h"
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
#include "servers/FavoriteObject.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>

namespace flk {

namespace {
// Lists this long take hundreds of megabytes on their way in.
constexpr int kLargeList = 20000;
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
    m_staleCheck = new QTimer(this);
    m_staleCheck->setInterval(1000);
    connect(m_staleCheck, &QTimer::timeout, this, &TaskListController::checkStale);

    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            // One request path for the list on show and the finished-task
            // check, so no two list requests to this NAS are ever out at once.
            const bool wantList = m_listWanted;
            const std::optional<qint64> finishedCheck = m_finishedWanted;
            m_listWanted = false;
            m_finishedWanted.reset();
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
            // The rows shown now (a shared copy): texts that did not change
            // are reused.
            const QList<TaskRow> previous = m_model->rows();
            return [this, c, cat, sort, ord, filt, previous, wantList,
                       finishedCheck]() -> ListRefresh::Apply {
                // Bodies are decoded here, in one pass, straight into rows.
                const auto fetch
                    = [&c](int category, const QString &sortKey, const QString &sortOrder,
                          const QString &filterText,
                          const QList<TaskRow> &reuse) -> std::optional<TaskListSnapshot> {
                    Error e;
                    TaskListSnapshot decoded;
                    CgiCtrl::Reply reply;
                    {
                        CgiCtrl::ScopedBodyParser parser([&decoded, &reuse](const QByteArray &b) {
                            return TaskListModel::decodeBody(b, &decoded, reuse);
                        });
                        reply = c->get_Torrent_List(category, sortKey, sortOrder, filterText, &e);
                    }
                    if (!reply || e.isError())
                        return std::nullopt;
                    return decoded;
                };
                std::optional<TaskListSnapshot> list;
                if (wantList)
                    list = fetch(cat, sort, ord, filt, previous);
                std::optional<QList<TaskRow>> finished;
                if (finishedCheck) {
                    if (list && cat == 2 && filt.isEmpty())
                        finished = list->rows; // the list on show is the answer
                    else if (auto f = fetch(2, QStringLiteral("position"), QStringLiteral("asc"),
                                 QString(), {}))
                        finished = std::move(f->rows);
                }
                if (!list && !finished)
                    return {}; // nothing changes; the next tick tries again
                return [this, list = std::move(list), finished = std::move(finished),
                           finishedCheck]() mutable {
                    if (finished && m_finishedWatcher)
                        m_finishedWatcher->check(*finishedCheck, finishedTasksOf(*finished));
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
            return DetailsTask { r.key(), r.idValue, r.type == QLatin1String("BT") };
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
    const QVariantMap counts = snapshot.counts;
    // Rows are kept by (type, id): the selection and the current row follow
    // their tasks; a task that left takes its selection with it.
    const int before = m_model->rowCount();
    m_applying = true;
    m_model->apply(std::move(snapshot));
    m_applying = false;
    // A very large list just gave way to a much smaller one: what it took
    // goes back to the system.
    if (before >= kLargeList && m_model->rowCount() < before / 2)
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
    checkFinished(counts, m_model->rows());
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
    m_finishedWatcher = watcher;
}

void TaskListController::selectTask(const QString &key)
{
    m_selectWhenListed = key;
    if (m_category != 0 || !m_filter.isEmpty()) {
        // Everything, so the task is there whatever its state.
        m_filter.clear();
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

QList<FinishedTask> TaskListController::finishedTasksOf(const QList<TaskRow> &rows)
{
    QList<FinishedTask> out;
    out.reserve(rows.size());
    for (const TaskRow &r : rows)
        out.append({ r.key(), r.cells[size_t(TaskListModel::ColName)] });
    return out;
}

void TaskListController::checkFinished(const QVariantMap &counts, const QList<TaskRow> &rows)
{
    if (!m_finishedWatcher)
        return;
    const qint64 signature
        = FinishedTasksWatcher::signature(counts.value(QStringLiteral("completed")).toLongLong(),
            counts.value(QStringLiteral("all")).toLongLong());
    if (!m_finishedWatcher->wantsCheck(signature))
        return;
    // The finished category on show, unfiltered, is the answer already.
    if (m_category == 2 && m_filter.isEmpty()) {
        m_finishedWatcher->check(signature, finishedTasksOf(rows));
        return;
    }
    // Otherwise the finished category goes out on the list's own request
    // path, after whatever is out now.
    m_finishedWanted = signature;
    m_refresh->request();
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

// ---- commands -----------------------------------------------------------------

void TaskListController::runCommand(Pair pair, int mode)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QList<int> rows = selectedRows();
    if (!c || rows.isEmpty())
        return;
    const QString bt = m_model->idStringFromType(rows, QStringLiteral("BT"));
    const QString plain = m_model->idStringFromType(rows, QStringLiteral("HTTP/FTP"));
    const QString all = m_model->idStringFromType(rows, QString());
    m_overlay->run(
        [c, pair, mode, bt, plain, all] {
            // A request whose id list is empty is not sent; the second of a
            // pair goes whatever the first returned.
            Error e;
            switch (pair) {
            case Pair::Start:
                if (!bt.isEmpty())
                    c->start_Torrent(bt, &e);
                if (!plain.isEmpty())
                    c->start_Download(plain, &e);
                break;
            case Pair::Pause:
                if (!bt.isEmpty())
                    c->stop_Torrent(bt, &e);
                if (!plain.isEmpty())
                    c->stop_Download(plain, &e);
                break;
            case Pair::Up:
            case Pair::Down:
                if (!all.isEmpty())
                    c->change_Torrent_Order(
                        all, pair == Pair::Up ? QStringLiteral("up") : QStringLiteral("down"), &e);
                break;
            case Pair::Delete:
                if (!bt.isEmpty())
                    c->remove_Torrent(bt, mode, &e);
                if (!plain.isEmpty())
                    c->remove_Download(plain, mode, &e);
                break;
            }
        },
        [this] { refresh_Items(); });
}

void TaskListController::on_Start_Torrent()
{
    runCommand(Pair::Start);
}

void TaskListController::on_Pause_Torrent()
{
    runCommand(Pair::Pause);
}

void TaskListController::on_Torrent_Up()
{
    runCommand(Pair::Up);
}

void TaskListController::on_Torrent_Down()
{
    runCommand(Pair::Down);
}

void TaskListController::on_Delete_Torrent()
{
    if (selectedRows().isEmpty() || m_overlay->isShowing() || m_loginFailed)
        return;
    emit deleteSheetRequested();
}

void TaskListController::deleteSelected(int mode)
{
    runCommand(Pair::Delete, mode);
}

void TaskListController::on_Edit_Torrent()
{
    const int row = currentTaskRow();
    const std::shared_ptr<CgiCtrl> c = client();
    if (row < 0 || m_model->row(row).type != QLatin1String("BT") || !c)
        return;
    const qint64 id = m_model->row(row).idValue;
    const QJsonValue idValue = m_model->row(row).id;
    m_overlay->run(
        [c, id]() -> CgiCtrl::Reply {
            Error e;
            CgiCtrl::Reply reply
                = c->get_Torrent_Info(id, QStringLiteral("file_id"), QStringLiteral("asc"), &e);
            return e.isError() ? std::nullopt : reply;
        },
        [this, idValue](CgiCtrl::Reply reply) {
            if (reply)
                ToTaskView({ { QStringLiteral("torrent"), QVariant(*reply) },
                    { QStringLiteral("id"), idValue.toVariant() } });
        });
}

void TaskListController::on_Preference()
{
    emit preferenceSheetRequested();
}

// ---- adding -------------------------------------------------------------------

void TaskListController::on_Add_Torrent()
{
    if (!action(Command::Add)->isEnabled() || m_overlay->isShowing())
        return;
    emit addSheetRequested();
}

void TaskListController::addFromSheet(const QVariantMap &result)
{
    if (result.contains(QStringLiteral("auto_torrent_enabled")))
        _add_Download_Links(result);
    else
        _add_Torrent_Files(result);
}

void TaskListController::afterAdd(const QJsonArray &torrents)
{
    if (!torrents.isEmpty())
        ToTaskView({ { QStringLiteral("torrents"), torrents }, { QStringLiteral("index"), 0 } });
    else
        refresh_Items();
}

void TaskListController::runAddRequest(
    std::function<std::optional<QJsonValue>(CgiCtrl *, Error *)> request,
    std::function<void(const Error &failure)> after)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    struct Outcome {
        QJsonArray torrents;
        Error failure;
    };
    const bool started = m_overlay->run(
        [c, request] {
            Outcome out;
            if (const auto list = request(c.get(), &out.failure))
                out.torrents = json::toArray(*list);
            return out;
        },
        [this, after](Outcome out) {
            // A chosen file that went away or cannot be read: the upload was
            // not sent, and the user is told which file.
            if (out.failure.is(kTransportErrorDomain, kTransportFileNotReadable))
                emit uploadFileUnreadable(
                    out.failure.userInfo.value(QStringLiteral("path")).toString(),
                    out.failure.userInfo.value(QStringLiteral("description")).toString());
            if (after)
                after(out.failure);
            afterAdd(out.torrents);
        });
    if (started)
        return;
    // Another command holds the overlay (a hand-over or a drop while the
    // list works): this add waits for it instead of being lost.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(m_overlay, &CommandOverlay::showingChanged, this,
        [this, once, request, after](bool showing) {
            if (showing)
                return;
            QObject::disconnect(*once);
            QTimer::singleShot(0, this, [this, request, after] { runAddRequest(request, after); });
        });
}

void TaskListController::_add_Torrent_Files(const QVariantMap &result)
{
    const QStringList files = result.value(QStringLiteral("items")).toStringList();
    const bool dialog = result.value(QStringLiteral("show_dialog_enabled")).toInt() != 0;
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    runAddRequest([files, dialog, saveTo](CgiCtrl *c, Error *e) {
        return c->upload_Torrent(files, dialog, saveTo, e);
    });
}

void TaskListController::_add_Download_Links(const QVariantMap &result)
{
    const QString text = TaskLinks::linkText(result.value(QStringLiteral("items")).toStringList());
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    QVariantMap options;
    for (const char *key : { "auto_torrent_enabled", "show_dialog_enabled", "auth_enabled",
             "auth_account", "auth_password" })
        options.insert(QString::fromLatin1(key), result.value(QString::fromLatin1(key)));
    runAddRequest([text, saveTo, options](
                      CgiCtrl *c, Error *e) { return c->add_Download(text, saveTo, options, e); });
}

void TaskListController::on_Open_With_Items(
    const QStringList &files, const QStringList &links, std::function<void(bool sent)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QString text = TaskLinks::linkText(links);
    if (!c || !c->logon() || (files.isEmpty() && text.isEmpty())) {
        if (done)
            done(files.isEmpty() && text.isEmpty());
        return;
    }
    runAddRequest(
        [files, text](CgiCtrl *c, Error *failure) -> std::optional<QJsonValue> {
            Error e;
            const auto prefs = c->get_User_Preference(&e);
            if (!prefs || e.isError()) {
                // Nothing is sent without the default folder; a NAS that has no
                // preferences yet gets the items once they are set.
                if (e.is(kCgiErrorDomain, kCgiErrorNoPreference))
                    *failure = e;
                return std::nullopt;
            }
            const QString folder = json::stringValue(*prefs, u"default_dl_dir");
            QJsonArray all;
            if (!files.isEmpty()) {
                if (const auto uploaded = c->upload_Torrent(files, true, folder, failure))
                    for (const QJsonValue &v : json::toArray(*uploaded))
                        all.append(v);
            }
            if (!text.isEmpty()) {
                const auto added = c->add_Download(text, folder,
                    { { QStringLiteral("show_dialog_enabled"), 1 },
                        { QStringLiteral("auto_torrent_enabled"), 0 },
                        { QStringLiteral("auth_enabled"), 0 },
                        { QStringLiteral("auth_account"), QString() },
                        { QStringLiteral("auth_password"), QString() } },
                    &e);
                if (added)
                    for (const QJsonValue &v : json::toArray(*added))
                        all.append(v);
            }
            return QJsonValue(all);
        },
        [done](const Error &failure) {
            if (done)
                done(!failure.is(kCgiErrorDomain, kCgiErrorNoPreference));
        });
}

bool TaskListController::canAddDropped(const QMimeData *mime) const
{
    QStringList files, links;
    TaskLinks::droppedWork(mime, &files, &links);
    return (!files.isEmpty() || !links.isEmpty()) && action(Command::Add)->isEnabled();
}

bool TaskListController::addDropped(const QMimeData *mime)
{
    QStringList files, links;
    TaskLinks::droppedWork(mime, &files, &links);
    if ((files.isEmpty() && links.isEmpty()) || !action(Command::Add)->isEnabled())
        return false;
    on_Open_With_Items(files, links);
    return true;
}

// ---- the new-task dialog chain ---------------------------------------------------

void TaskListController::ToTaskView(const QVariantMap &sender)
{
    if (sender.contains(QStringLiteral("torrents"))) {
        const QJsonArray torrents = sender.value(QStringLiteral("torrents")).toJsonArray();
        const int index = sender.value(QStringLiteral("index")).toInt();
        if (index < 0 || index >= torrents.size()) {
            m_chain = {};
            m_chainIndex = -1;
            return;
        }
        m_chain = torrents;
        m_chainIndex = index;
        emit taskDialogRequested(json::toObject(torrents.at(index)), 0);
        return;
    }
    m_chain = {};
    m_chainIndex = -1;
    emit taskDialogRequested(sender.value(QStringLiteral("torrent")).toJsonObject(),
        sender.value(QStringLiteral("id")).toLongLong());
}

void TaskListController::taskDialogClosed()
{
    // One dialog per new torrent, however each one ends.
    if (m_chainIndex >= 0 && m_chainIndex + 1 < m_chain.size())
        ToTaskView({ { QStringLiteral("torrents"), m_chain },
            { QStringLiteral("index"), m_chainIndex + 1 } });
    else {
        m_chain = {};
        m_chainIndex = -1;
    }
}

} // namespace flk
