// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "RssModels.h"
#include "models/PaneController.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QUrl>

class QAction;
class QItemSelectionModel;

namespace flk {

struct Notification;
class ListRefresh;

// The item page: the items of the feed the sidebar chose (RSSID), sorted by
// the NAS; download one (new-task dialog) or several (multi-download
// wizard), open their pages, update the feed, add a feed, open the filter
// manager. Items are kept by id; a reply for a feed no longer shown is
// dropped.
class RSSItemListController : public PaneController
{
    Q_OBJECT

public:
    explicit RSSItemListController(QObject *parent = nullptr);

    RSSItemTableModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *actDownload() const { return m_actDownload; }
    QAction *actOpen() const { return m_actOpen; }
    QAction *actUpdate() const { return m_actUpdate; }
    QAction *actAdd() const { return m_actAdd; }
    QAction *actFilterManager() const { return m_actFilterMan; }

    qint64 RSSID() const { return m_rssId; }
    void setRSSID(qint64 id);
    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    void setSort(const QString &key, const QString &order);

    void refresh_Items();
    void on_RSS_Feed_Changed(const QVariantMap &feed);
    void applyList(const QList<QJsonObject> &items);
    QList<int> selectedRows() const;

    void on_Download_RSS_Feed();
    void on_Open_RSS_Feed();
    void on_Update_RSS_Feed();
    void on_Add_RSS_Feed();
    // The feed sheet's result: always a new feed.
    // done(ok) when the NAS answered (the sheet stays open on a refusal).
    void addFromSheet(const QVariantMap &result, std::function<void(bool)> done = {});
    void on_Filter_Manager();

signals:
    // The new-task dialog for one item ("ToTaskView").
    void taskDialogRequested(const QJsonObject &torrent);
    // The multi-download wizard for several ("ToMultiDownloadView").
    void multiDownloadRequested(uint downloadType, const QJsonArray &torrents);
    // Web pages to open in the browser (only http and https get here).
    void openUrlsRequested(const QList<QUrl> &urls);
    // Links of other kinds were not opened (their schemes).
    void linkRefused(const QStringList &schemes);
    void feedSheetRequested(const QJsonObject &feed);
    void filterManagerRequested();
    void listApplied();
    // Feeds were added, edited or removed: the sidebar follows at once.
    void feedListUpdated();

private:
    void updateActions();

    RSSItemTableModel *m_model;
    QItemSelectionModel *m_selection;
    ListRefresh *m_refresh;
    QAction *m_actDownload, *m_actOpen, *m_actUpdate, *m_actAdd, *m_actFilterMan;
    qint64 m_rssId = -1;
    QString m_sortKey = QStringLiteral("id");
    QString m_order = QStringLiteral("asc");
};

} // namespace flk
