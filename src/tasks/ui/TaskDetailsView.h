// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "tasks/TaskDetails.h"

#include <QTabWidget>

class QLabel;
class QMenu;
class QTableView;
class QToolButton;

namespace flk {

class SpeedGraph;

class TaskContentModel;
class TaskDetailsController;
class TaskTrackerModel;

// The detail tabs under the task table, drawn from a TaskDetailsController:
// information, content (files) and trackers. The tracker tab is present
// only while a torrent with trackers is shown.
class TaskDetailsView : public QTabWidget
{
    Q_OBJECT

public:
    explicit TaskDetailsView(TaskDetailsController *controller, QWidget *parent = nullptr);

    TaskDetailsController *controller() const { return m_controller; }

    QLabel *valueLabel(const QString &replyKey) const { return m_values.value(replyKey); }
    QLabel *titleTorrentFile() const { return m_titleTorrentFile; }
    QLabel *textTorrentFile() const { return m_textTorrentFile; }
    QTableView *contentTableView() const { return m_contentTable; }
    QTableView *trackerTableView() const { return m_trackerTable; }
    TaskContentModel *contentModel() const { return m_content; }
    TaskTrackerModel *trackerModel() const { return m_trackers; }
    QWidget *tabItemTracker() const { return m_trackerPage; }
    QToolButton *btnAddTracker() const { return m_btnAddTracker; }
    QToolButton *btnRemoveTracker() const { return m_btnRemoveTracker; }
    QMenu *menuTracker() const { return m_menuTracker; }
    QMenu *menuContentHeader() const { return m_menuContentHeader; }
    QMenu *menuTrackerHeader() const { return m_menuTrackerHeader; }

signals:
    // A header click changed a sort (the list refreshes, the details with it).
    void sortChanged();

private:
    QWidget *buildInfoPage();
    void setTrackerTabShown(bool shown);
    void showDetails();

    TaskDetailsController *m_controller;
    SpeedGraph *m_taskGraph = nullptr;
    QHash<QString, QLabel *> m_values;
    QLabel *m_emptyHint = nullptr;
    QLabel *m_titleTorrentFile, *m_textTorrentFile;
    TaskContentModel *m_content;
    TaskTrackerModel *m_trackers;
    QTableView *m_contentTable, *m_trackerTable;
    QWidget *m_trackerPage;
    QToolButton *m_btnAddTracker, *m_btnRemoveTracker;
    QMenu *m_menuTracker, *m_menuContentHeader, *m_menuTrackerHeader;
};

} // namespace flk
