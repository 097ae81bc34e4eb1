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

// The RSS block of a host's sidebar: the all-feeds row and one row per feed.
// Choosing a feed tells the item page (feedChanged); a click on a row shows
// the feed list page or the item page (featureActivated).
// A refresh keeps the chosen feed; when it went, the feed that took its row
// is chosen (the item page follows), or the all-feeds row.
class RSSSidebarController : public PaneController
{
    Q_OBJECT

public:
    explicit RSSSidebarController(QObject *parent = nullptr);

    RSSSidebarModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *actEdit() const { return m_actEdit; }
    QAction *actRemove() const { return m_actRemove; }

    void refresh_Items();
    // The list as replied (all-feeds row first); applied by the rules above.
    void applyList(const QList<QJsonObject> &feeds);
    int selectedRow() const;
    void selectRow(int row);
    // A click on a row (after the table's own handling).
    void rowClicked(int row);
    // The context menu is offered on feed rows only.
    bool offersMenuAt(int row) const { return row > 0 && row < m_model->rowCount(); }

    void on_Edit_RSS_Feed_Entry();
    // What the feed sheet handed back: always sent as rss-feed-edit.
    // done(ok) when the NAS answered (the sheet stays open on a refusal).
    void editFromSheet(const QVariantMap &result, std::function<void(bool)> done = {});
    void on_Remove_RSS_Feed_Entry();
    // After the user confirmed deleting the feed.
    void removeFeed(qint64 feedId);

signals:
    // The chosen feed ({"id": id}): the item page follows it.
    void feedChanged(const QVariantMap &feed);
    // The feed list page or the item page is to be shown.
    void featureActivated(uint feature);
    void feedSheetRequested(const QJsonObject &feed);
    void removeConfirmationRequested(qint64 feedId, const QString &title);
    void listApplied();

public:
    // The chosen feed's record (none on the all-feeds row).
    QJsonObject selectedFeed() const;

private:
    void selectionMoved();
    void runThenRefresh(
        std::function<bool(CgiCtrl *)> request, std::function<void(bool)> done = {});

    RSSSidebarModel *m_model;
    QItemSelectionModel *m_selection;
    ListRefresh *m_refresh;
    QAction *m_actEdit, *m_actRemove;
};

} // namespace flk
