// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "KSTSheetViewController.h"

#include <QJsonArray>
#include <QPointer>

#include <memory>

#include <QTableView>

class QMenu;

namespace flk {

class CgiCtrl;
class CommandOverlay;
class KSTProgressHUDHelper;

// Base of every pane and list screen: the API client (its own, else its
// parent screen's), the items it shows, whether it is visible, the sort key
// and order set by header clicks on its own table, a refresh operation and
// its progress overlay.
class DCBaseViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit DCBaseViewController(QWidget *parent = nullptr);

    CgiCtrl *ctrlCgi() const;
    // The client as work in flight holds it: the screen's own, else its
    // parent screen's. Work keeps its copy, so the client outlives it.
    std::shared_ptr<CgiCtrl> client() const;
    // A client owned elsewhere that outlives this screen's work.
    void setCtrlCgi(CgiCtrl *c);
    // A client shared with the work that uses it.
    void setCtrlCgi(std::shared_ptr<CgiCtrl> c);
    // The screen whose client this one inherits (defaults to the nearest
    // DCBaseViewController among the widget parents).
    void setParentController(DCBaseViewController *p) { m_parentController = p; }
    DCBaseViewController *parentController() const;

    const QJsonArray &aryItems() const { return m_aryItems; }
    void setAryItems(const QJsonArray &items) { m_aryItems = items; }
    bool visible() const { return m_visible; }
    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    void setSortKey(const QString &key) { m_sortKey = key; }
    void setOrder(const QString &order) { m_order = order; }
    KSTProgressHUDHelper *HUD() const { return m_hud; }

    // Where a screen's overlay shows: over the main window (a page of the
    // frame), or over this screen only (a sheet, a page that must not trap
    // the user).
    enum class OverlayOver { MainWindow, Self };
    // Draws a controller's command overlay in this screen's HUD.
    void bindOverlay(CommandOverlay *commands, OverlayOver where);
    // A page of the frame over its controller: no OK/Cancel, the controller
    // sends with this screen's client, names this screen in its
    // notifications, and runs its commands under this screen's overlay.
    template <class Controller>
    void bindPageController(Controller *c, OverlayOver where = OverlayOver::MainWindow)
    {
        btnOk()->hide();
        btnCancel()->hide();
        c->setClientSource([this] { return client(); });
        c->setNotificationSender(this);
        bindOverlay(c->overlay(), where);
    }
    // A sheet over its controller: the sheet's client, the overlay over it.
    template <class Controller> void bindSheetController(Controller *c)
    {
        c->setClientSource([this] { return client(); });
        bindOverlay(c->overlay(), OverlayOver::Self);
    }

    virtual void refresh_Items() { }

    // The table whose header clicks set sortKey/order.
    void setTableView(QTableView *table);
    QTableView *tableView() const { return m_tableView; }
    // The sort key of a column of tableView (empty: not sortable).
    virtual QString sortKeyForColumn(int column) const;
    // A header click on table at column (ignored for other tables).
    void onHeaderClicked(QTableView *table, int column);
    // Called after a header click set sortKey/order; refreshes by default.
    virtual void sortChanged() { refresh_Items(); }

    // Makes the header's sort indicator follow clicks (a second click on the
    // same column flips the order); connect before reading the indicator.
    static void followSortClicks(QTableView *table);
    // The order a click left on the header: "asc", "desc", or empty when the
    // clicked column is not the indicator's.
    static QString orderAfterClick(const QTableView *table, int column);
    // A header context menu with one checkable item per listed column
    // (titled by its localisation key) that hides and shows that column.
    static QMenu *installColumnMenu(
        QTableView *table, const QList<QPair<int, const char *>> &columns, QWidget *owner);
    // A table's context menu: a click below the last row opens none; a
    // click on a row outside the selection selects that row alone first.
    static void installRowMenu(QTableView *table, QMenu *menu);

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    std::shared_ptr<CgiCtrl> m_client;
    QPointer<DCBaseViewController> m_parentController;
    QPointer<QTableView> m_tableView;
    KSTProgressHUDHelper *m_hud;
    QJsonArray m_aryItems;
    QString m_sortKey = QStringLiteral("");
    QString m_order = QStringLiteral("asc");
    bool m_visible = false;
};

} // namespace flk
