// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "RssModels.h"
#include "models/PaneController.h"

#include <QJsonObject>

class QAction;
class QItemSelectionModel;

namespace flk {

class ListRefresh;

// The feed list page: every feed (without the all-feeds pseudo-feed) with
// name, URL and last update, sorted by the NAS; add, edit, delete and update
// feeds, open the filter manager. Feeds are kept by id across refreshes.
class RSSFeedListController : public PaneController
{
    Q_OBJECT

public:
    explicit RSSFeedListController(QObject *parent = nullptr);

    RSSFeedTableModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *actAdd() const { return m_actAdd; }
    QAction *actEdit() const { return m_actEdit; }
    QAction *actDelete() const { return m_actDelete; }
    QAction *actUpdate() const { return m_actUpdate; }
    QAction *actFilterManager() const { return m_actFilterMan; }

    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    void setSort(const QString &key, const QString &order);

    void refresh_Items();
    // The reply's items (pseudo-feed first).
    void applyList(const QList<QJsonObject> &items);
    QList<int> selectedRows() const;

    void on_Add_RSS_Feed();
    void on_Edit_RSS_Feed();
    // What the feed sheet handed back: edit with an "id", else add.
    // done(ok) when the NAS answered (the sheet stays open on a refusal).
    void feedSheetDone(const QVariantMap &result, std::function<void(bool)> done = {});
    void on_Remove_RSS_Feed();
    void removeFeed(qint64 feedId);
    void on_Update_RSS_Feed();
    void on_Filter_Manager();

signals:
    void feedSheetRequested(const QJsonObject &feed);
    void removeConfirmationRequested(qint64 feedId, const QString &title);
    void filterManagerRequested();
    void listApplied();
    // Feeds were added, edited or removed: the sidebar follows at once.
    void feedListUpdated();

private:
    void updateActions();
    // A feed request under the overlay, then the sidebar is told.
    void runFeedCommand(
        std::function<bool(CgiCtrl *)> request, std::function<void(bool)> done = {});

    RSSFeedTableModel *m_model;
    QItemSelectionModel *m_selection;
    ListRefresh *m_refresh;
    QAction *m_actAdd, *m_actEdit, *m_actDelete, *m_actUpdate, *m_actFilterMan;
    QString m_sortKey = QStringLiteral("id");
    QString m_order = QStringLiteral("asc");
};

} // namespace flk
