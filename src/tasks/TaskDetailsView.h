#pragma once

#include "TaskDetails.h"

#include <QTabWidget>

class QLabel;
class QMenu;
class QTableView;
class QToolButton;

namespace flk {

class TaskContentModel;
class TaskTrackerModel;

// The detail tabs under the task table: information, content (files) and
// trackers. The tracker tab is present only while a torrent with trackers
// is shown.
class TaskDetailsView : public QTabWidget
{
    Q_OBJECT

public:
    explicit TaskDetailsView(QWidget *parent = nullptr);

    // Shows d; the trackers whose ids are in keepSelected stay selected.
    void showDetails(const TaskDetails &d, const QSet<qint64> &keepSelected);
    void showEmpty();

    QSet<qint64> selectedTrackerIds() const;
    // Selected tracker ids in ascending row order, "%ld" joined by ",".
    QString selectedTrackerIdText() const;

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
    void addTrackerRequested();
    void removeTrackerRequested();
    // A header click: the column's sort key and the order now shown.
    void contentSortRequested(const QString &key, const QString &order);
    void trackerSortRequested(const QString &key, const QString &order);

private:
    QWidget *buildInfoPage();
    void setTrackerTabShown(bool shown);
    void updateTrackerButtons();

    QHash<QString, QLabel *> m_values;
    QLabel *m_titleTorrentFile, *m_textTorrentFile;
    TaskContentModel *m_content;
    TaskTrackerModel *m_trackers;
    QTableView *m_contentTable, *m_trackerTable;
    QWidget *m_trackerPage;
    QToolButton *m_btnAddTracker, *m_btnRemoveTracker;
    QMenu *m_menuTracker, *m_menuContentHeader, *m_menuTrackerHeader;
};

} // namespace flk
