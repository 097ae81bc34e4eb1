// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "tasks/TaskListController.h"
#include "ui/DCBaseViewController.h"

#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QMimeData;
class QPushButton;
class QSplitter;

namespace flk {

class SpeedGraph;

class EmptyViewHint;

struct Notification;
class FavoriteObject;
class TaskDetailsView;

// Covers the task list after a failed sign-in, with a reconnect button.
class EmptyView : public QWidget
{
    Q_OBJECT

public:
    explicit EmptyView(QWidget *parent = nullptr);
    void setFavObj(std::shared_ptr<FavoriteObject> record) { m_favObj = std::move(record); }
    void on_Reconnect();
    QPushButton *button() const { return m_button; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::shared_ptr<FavoriteObject> m_favObj;
    QPushButton *m_button;
};

// The task list screen of one server: draws its TaskListController (table,
// toolbar and context menu over the controller's actions, totals, search
// field, details below) and presents the sheets the controller asks for.
class DownloadViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit DownloadViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit DownloadViewController(TaskListController *controller, QWidget *parent = nullptr);

    TaskListController *controller() const { return m_controller; }
    TaskListModel *model() const { return m_controller->model(); }
    void setFavObj(std::shared_ptr<FavoriteObject> record);

    // The list's entry points (the host and the hand-over call them).
    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void sortChanged() override;
    void on_Show_Login_Fail_View();
    void on_Open_With_Items(const QStringList &files, const QStringList &links,
        std::function<void(bool sent)> done = {});

    // Segues: the sheets the controller asks for.
    void ToTorrentDeleteView();
    void ToTorrentAddView();
    void ToTaskView(const QJsonObject &torrent, qint64 id);
    void ToTrackerAddView(qint64 taskId);

    // The list's columns (widths, visible columns, sort) as the header
    // saves them, and back: a state that does not fit this table is ignored
    // (false); a restored sort is asked of the NAS.
    QByteArray saveListState() const;
    bool restoreListState(const QByteArray &state);

    // Edit > Delete with the focus in this page: deletes the selection.
    Q_INVOKABLE void del();
    // Refresh now (F5) and the filter field (Ctrl+F).
    QAction *actRefresh() const { return m_actRefresh; }
    QAction *actFind() const { return m_actFind; }

    QList<int> selectedRows() const { return m_controller->selectedRows(); }
    TaskDetailsView *tabView() const { return m_details; }
    QSplitter *splitView() const { return m_splitView; }
    QMenu *menuDownload() const { return m_menuDownload; }
    QMenu *menuDownloadHeader() const { return m_headerMenu; }
    QLabel *textNowSpeed() const { return m_textNowSpeed; }
    SpeedGraph *speedGraph() const { return m_speedGraph; }
    QLabel *textStale() const { return m_textStale; }
    EmptyView *emptyView() const { return m_emptyView; }
    QLineEdit *editFilter() const { return m_editFilter; }
    QToolButton *btnAdd() const { return m_btnAdd; }
    QToolButton *btnDelete() const { return m_btnDelete; }
    QToolButton *btnStart() const { return m_btnStart; }
    QToolButton *btnPause() const { return m_btnPause; }
    QToolButton *btnUp() const { return m_btnUp; }
    QToolButton *btnDown() const { return m_btnDown; }
    QToolButton *btnPreference() const { return m_btnPreference; }

signals:
    // A new-task dialog has been opened (tests follow the chain with it).
    void taskDialogOpened(QWidget *dialog);

protected:
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void showUnreadable(const QString &path, const QString &description);
    void setAdministrator(bool administrator);

    TaskListController *m_controller;
    QAction *m_actRefresh;
    QAction *m_actFind;
    QLabel *m_textNowSpeed;
    SpeedGraph *m_speedGraph;
    QLabel *m_textStale;
    EmptyView *m_emptyView;
    QToolButton *m_btnAdd, *m_btnDelete, *m_btnStart, *m_btnPause, *m_btnUp, *m_btnDown,
        *m_btnPreference;
    QMenu *m_menuDownload;
    QLineEdit *m_editFilter;
    QMenu *m_headerMenu;
    TaskDetailsView *m_details;
    QSplitter *m_splitView;
    EmptyViewHint *m_emptyHint = nullptr;
};

} // namespace flk
