// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "FinishedTaskCheck.h"
#include "TaskListModel.h"
#include "models/TaskIntake.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

#include "TaskCommands.h"
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QItemSelectionModel;
class QMimeData;
class QTimer;

namespace flk {

class SpeedHistory;

struct Notification;
class CgiCtrl;
class CommandOverlay;
struct Error;
class FavoriteObject;
class ListRefresh;
class TaskDetailsController;

// The task list of one server, without widgets: polling (coalesced, stale
// replies dropped), the category, sort and filter asked for, the selection,
// the commands with their request pairs and enabling rules (as named
// actions the toolbar and the context menu share), the add and hand-over
// flows, the new-task dialog chain and the details of the current task.
// Sheets are asked for through signals; the screen shows them and hands
// their results back.
class TaskListController : public QObject
{
    Q_OBJECT

public:
    // The commands, as actions. The context menu shows Edit, Delete, -,
    // Start, Pause, -, Up, Down.
    enum class Command { Edit, Delete, Start, Pause, Up, Down, Add, Preference };
    using ClientSource = std::function<std::shared_ptr<CgiCtrl>()>;

    explicit TaskListController(QObject *parent = nullptr);
    ~TaskListController() override;

    // Where the client comes from (the host's, looked up when needed).
    void setClientSource(ClientSource source);
    std::shared_ptr<CgiCtrl> client() const;
    // The object posted as the sender of this list's notifications.
    void setNotificationSender(QObject *sender) { m_sender = sender; }
    void setFavObj(std::shared_ptr<FavoriteObject> record);
    std::shared_ptr<FavoriteObject> favObj() const { return m_favObj; }

    TaskListModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    TaskDetailsController *details() const { return m_details; }
    CommandOverlay *overlay() const { return m_overlay; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *action(Command command) const;
    // The context menu's items in order; nullptr stands for a separator.
    QList<QAction *> contextMenuActions() const;

    uint category() const { return m_category; }
    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    QString filter() const { return m_filter; }
    QString nowSpeedText() const { return m_nowSpeed; }
    bool isLoginFailViewShown() const { return m_loginFailed; }
    // A list came since the last sign-in failure.
    bool isListShown() const { return m_listShown; }
    // Known once a list was asked for with a signed-in client.
    std::optional<bool> administrator() const { return m_administrator; }

    // Asks for the list (sent now, or once after the request that is out).
    void refresh_Items();
    bool isBusy() const;
    // A list not refreshed for this long is stale (default 20 s: four polls);
    // 0: the list is not being asked for, so it is never stale.
    void setStaleAfter(int ms);
    bool isStale() const { return m_stale; }
    void setCategory(uint category);
    void setSort(const QString &key, const QString &order);
    void on_Edit_Filter(const QString &text);
    void on_Show_Login_Fail_View();
    // The GUI step of a refresh (also used by tests and benchmarks).
    void applyList(TaskListSnapshot snapshot);

    // Watches this server's finished tasks: when a list reply's counts move,
    // the finished category is fetched (once at a time) and handed to it.
    void setFinishedWatcher(FinishedTasksWatcher *watcher);
    FinishedTasksWatcher *finishedWatcher() const { return m_finished.watcher(); }
    // Selects the task with this key ("type:id") in the "all" category: now
    // when it is listed, else when the next list brings it.
    void selectTask(const QString &key);

    QList<int> selectedRows() const;
    // The current (most recently selected) row when selected, else -1.
    int currentTaskRow() const;

    void on_Start_Torrent();
    void on_Pause_Torrent();
    void on_Torrent_Up();
    void on_Torrent_Down();
    void on_Delete_Torrent();
    // After the delete sheet confirmed a mode.
    void deleteSelected(int mode);
    void on_Edit_Torrent();
    void on_Add_Torrent();
    void on_Preference();
    // What the add sheet handed back: links or torrent files.
    void addFromSheet(const QVariantMap &result);
    void _add_Torrent_Files(const QVariantMap &result);
    void _add_Download_Links(const QVariantMap &result);
    // Files and links handed over (desktop, drops): sent to the NAS default
    // folder with the task dialog asked for, under one overlay.
    // sent: whether the items went to the NAS (false: it has no download
    // preferences yet, so nothing was sent; the caller keeps them).
    void on_Open_With_Items(const QStringList &files, const QStringList &links,
        std::function<void(bool sent)> done = {});
    bool canAddDropped(const QMimeData *mime) const;
    bool addDropped(const QMimeData *mime);

    // The new-task dialog: edit mode on {"torrent", "id"}; new mode on
    // {"torrents", "index"}, then again for each following element however
    // each dialog ends (taskDialogClosed).
    void ToTaskView(const QVariantMap &sender);
    void taskDialogClosed();

    // The speed totals of every list this controller applied (the poll
    // while shown and the background watch), over the last day.
    SpeedHistory *speedHistory() const { return m_speedHistory; }

signals:
    void listApplied();
    // The filter changed other than by typing (the search field follows).
    void filterReset(const QString &filter);
    // The counts of the categories as the last list gave them.
    void countsChanged(const QVariantMap &counts);
    void nowSpeedChanged(const QString &text);
    void loginFailViewChanged(bool shown);
    void administratorChanged(bool administrator);
    void deleteSheetRequested();
    void addSheetRequested();
    void preferenceSheetRequested();
    // id > 0: edit that task; 0: a new torrent.
    void taskDialogRequested(const QJsonObject &torrent, qint64 id);
    // A torrent file to upload could not be read (nothing was sent).
    void uploadFileUnreadable(const QString &path, const QString &description);
    // The list on show is older than it should be (a refresh is overdue:
    // the NAS is slow, silent or failing); lastUpdate: when it was current.
    void staleChanged(bool stale, const QDateTime &lastUpdate);

private:
    void runCommand(TaskCommands::Command command, int mode = 0);
    void updateActions();
    void selectionMoved();
    void afterAdd(const QJsonArray &torrents);
    void runAddRequest(
        TaskIntake::Request request, std::function<void(const Error &failure)> after = {});
    QAction *makeAction(Command command, const char *textKey, void (TaskListController::*slot)());

    ClientSource m_clientSource;
    QObject *m_sender = nullptr;
    std::shared_ptr<FavoriteObject> m_favObj;
    TaskListModel *m_model;
    QItemSelectionModel *m_selection;
    CommandOverlay *m_overlay;
    ListRefresh *m_refresh;
    TaskDetailsController *m_details;
    QHash<Command, QAction *> m_actions;

    uint m_category = 0;
    QString m_sortKey = QStringLiteral("position");
    QString m_order = QStringLiteral("asc");
    QString m_filter;
    QString m_nowSpeed;
    bool m_loginFailed = false;
    bool m_listShown = false; // a list came since the last sign-in failure
    bool m_applying = false;
    bool m_detailsQueued = false;
    // Staleness: when the list was last current, and how long a list may go
    // without a fresh one before it is shown as stale.
    QDateTime m_lastApplied;
    QElapsedTimer m_sinceApplied;
    QElapsedTimer m_expectingSince; // since lists were asked for again
    QElapsedTimer m_firstAsked; // since the first list was asked for, until it came
    QTimer *m_staleCheck = nullptr;
    int m_staleAfterMs = 20000;
    bool m_stale = false;
    void checkStale();
    std::optional<bool> m_administrator;
    int rowOfKey(const QString &key) const;
    // What the next request on the list's path asks for: the list on show,
    // and the finished category for the watcher (m_finished.take()).
    bool m_listWanted = true;
    FinishedTaskCheck m_finished;
    QString m_selectWhenListed;
    NewTaskChain m_chain; // the new torrents waiting for their dialogs
    SpeedHistory *m_speedHistory;
};

} // namespace flk
