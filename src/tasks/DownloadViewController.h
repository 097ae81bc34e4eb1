#pragma once

#include "TaskListModel.h"
#include "api/Error.h"
#include "app/DCBaseViewController.h"

#include <QJsonValue>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QMimeData;
class QPushButton;
class QSplitter;

namespace flk {

struct Notification;
class FavoriteObject;
class TaskDetailsView;
class CgiCtrl;

// Covers the task list after a failed sign-in, with a reconnect button.
class EmptyView : public QWidget
{
    Q_OBJECT

public:
    explicit EmptyView(QWidget *parent = nullptr);
    std::shared_ptr<FavoriteObject> favObj;
    void on_Reconnect();
    QPushButton *button() const { return m_button; }

private:
    QPushButton *m_button;
};

// The task list of one server: categories, sort, filter and selection kept
// across refreshes; the list is decoded off the GUI thread and applied as
// row updates.
class DownloadViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit DownloadViewController(QWidget *parent = nullptr);

    uint category = 0;
    QString filter;
    void setFavObj(std::shared_ptr<FavoriteObject> record);

    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void on_Category_Changed(const Notification &n);
    void on_Show_Login_Fail_View();

    void on_Start_Torrent();
    void on_Pause_Torrent();
    void on_Torrent_Up();
    void on_Torrent_Down();
    void on_Edit_Filter(const QString &text);
    // Opens the delete sheet; on OK removes the selected tasks with its mode.
    void on_Delete_Torrent();
    void ToTorrentDeleteView();
    void deleteSelected(int mode);
    // Fetches the current task's details and opens the task dialog on them.
    void on_Edit_Torrent();
    // Opens the new-task dialog: edit mode on {"torrent", "id"}; new mode on
    // {"torrents", "index"}, then again for each following element.
    void ToTaskView(const QVariantMap &sender);

    // Adding work: the add sheet and what it hands back.
    void on_Add_Torrent();
    void ToTorrentAddView();
    void _add_Torrent_Files(const QVariantMap &result);
    void _add_Download_Links(const QVariantMap &result);
    // Torrent files handed over by the desktop: uploaded to the NAS default
    // folder with the task dialog asked for.
    void on_Open_With_Files(const QStringList &paths);
    // Links handed over (magnet links from the desktop, dropped text): sent
    // as one link text to the NAS default folder with the task dialog.
    void on_Open_With_Links(const QStringList &links);
    // Both at once, under one overlay: files uploaded, then the links sent;
    // the new torrents of both go through the task dialog in turn.
    void on_Open_With_Items(const QStringList &files, const QStringList &links);
    // The link text sent: valid lines, trimmed, each ending in a line feed.
    static QString linkText(const QStringList &lines);
    QToolButton *btnAdd() const { return m_btnAdd; }
    // Drops: local .torrent files and links (as URLs or text) are added
    // through the hand-over path while a list is shown.
    bool canAddDropped(const QMimeData *mime) const;
    bool addDropped(const QMimeData *mime);

    // Details of the current task (the most recently selected row).
    void _refresh_Contents();
    void on_Add_Tracker();
    void ToTrackerAddView(const QVariantMap &sender);
    void addTrackers(qint64 taskId, const QString &text);
    void on_Remove_Tracker();
    QString sortKeyContent = QStringLiteral("file_id");
    QString orderContent = QStringLiteral("asc");
    QString sortKeyTracker = QStringLiteral("tracker_name");
    QString orderTracker = QStringLiteral("asc");
    // The current row when it is selected, else -1.
    int currentTaskRow() const;
    TaskDetailsView *tabView() const { return m_details; }
    QSplitter *splitView() const { return m_splitView; }
    bool isDetailsRequestOutstanding() const { return m_detailsInFlight; }
    QMenu *menuDownload() const { return m_menuDownload; }
    QToolButton *btnDelete() const { return m_btnDelete; }

    TaskListModel *model() const { return m_model; }
    QList<int> selectedRows() const;
    QLabel *textNowSpeed() const { return m_textNowSpeed; }
    EmptyView *emptyView() const { return m_emptyView; }
    QToolButton *btnStart() const { return m_btnStart; }
    QToolButton *btnPause() const { return m_btnPause; }
    QToolButton *btnUp() const { return m_btnUp; }
    QToolButton *btnDown() const { return m_btnDown; }
    QLineEdit *editFilter() const { return m_editFilter; }
    QMenu *menuDownloadHeader() const { return m_headerMenu; }
    bool isListRequestOutstanding() const { return m_listInFlight; }

    // GUI step of a refresh (also used by tests and benchmarks).
    void applyList(TaskListSnapshot snapshot);

signals:
    void listApplied();
    void detailsApplied();
    // A new-task dialog has been opened (tests follow the chain with it).
    void taskDialogOpened(QWidget *dialog);
    // A torrent file to upload could not be read (nothing was sent).
    void uploadFileUnreadable(const QString &path);

private:
    void updateButtons();
    // Sends the request of each non-empty id list, then refreshes.
    enum class Command { Start, Pause, Up, Down, Delete };
    void runCommand(Command command, int mode = 0);
    // After an upload or download-add: the dialog chain, else a refresh.
    void afterAdd(const std::optional<QJsonValue> &torrentList);
    void reportUnreadable(const Error &e);
    // Runs an upload or link request under the overlay, then afterAdd.
    void runAddRequest(std::function<std::optional<QJsonValue>(CgiCtrl *, Error *)> request);
    // A tracker command under the overlay; the details follow its success.
    void runTrackerCommand(std::function<bool(CgiCtrl *)> command);

protected:
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    TaskListModel *m_model;
    QLabel *m_textNowSpeed;
    EmptyView *m_emptyView;
    QToolButton *m_btnAdd, *m_btnDelete, *m_btnStart, *m_btnPause, *m_btnUp, *m_btnDown;
    QMenu *m_menuDownload;
    QLineEdit *m_editFilter;
    QMenu *m_headerMenu;
    std::shared_ptr<FavoriteObject> m_favObj;
    bool m_listInFlight = false;
    TaskDetailsView *m_details;
    QSplitter *m_splitView;
    bool m_detailsInFlight = false, m_detailsPending = false, m_applying = false;
};

} // namespace flk
