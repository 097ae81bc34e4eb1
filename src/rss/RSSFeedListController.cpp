// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFeedListController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/ListRefresh.h"
#include "models/RowSelection.h"

#include <QAction>
#include <QItemSelectionModel>

namespace flk {

RSSFeedListController::RSSFeedListController(QObject *parent)
    : PaneController(parent),
      m_model(new RSSFeedTableModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_actAdd(namedAction(this, QT_TRID_NOOP("TOOL_TIP_ADD"))),
      m_actEdit(namedAction(this, QT_TRID_NOOP("TOOL_TIP_EDIT"))),
      m_actDelete(namedAction(this, QT_TRID_NOOP("TOOL_TIP_DELETE"))),
      m_actUpdate(namedAction(this, QT_TRID_NOOP("TOOL_TIP_UPDATE"))),
      m_actFilterMan(namedAction(this, QT_TRID_NOOP("TOOL_TIP_FILTER_MAN")))
{
    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            const std::shared_ptr<CgiCtrl> c = signedInClient();
            if (!c)
                return {};
            const QString sort = m_sortKey, ord = m_order;
            return [this, c, sort, ord]() -> ListRefresh::Apply {
                Error e;
                const auto items = c->get_RSS_Feed_List(sort, ord, &e);
                if (!items || e.isError())
                    return {};
                QList<QJsonObject> records;
                for (const QJsonValue &v : json::toArray(*items))
                    records.append(json::toObject(v));
                return [this, records] { applyList(records); };
            };
        },
        this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &RSSFeedListController::updateActions);
    connect(m_actAdd, &QAction::triggered, this, &RSSFeedListController::on_Add_RSS_Feed);
    connect(m_actEdit, &QAction::triggered, this, &RSSFeedListController::on_Edit_RSS_Feed);
    connect(m_actDelete, &QAction::triggered, this, &RSSFeedListController::on_Remove_RSS_Feed);
    connect(m_actUpdate, &QAction::triggered, this, &RSSFeedListController::on_Update_RSS_Feed);
    connect(m_actFilterMan, &QAction::triggered, this, &RSSFeedListController::on_Filter_Manager);
    updateActions();
}

void RSSFeedListController::setSort(const QString &key, const QString &order)
{
    m_sortKey = key;
    m_order = order;
    m_refresh->restart();
}

void RSSFeedListController::refresh_Items()
{
    m_refresh->request();
}

void RSSFeedListController::applyList(const QList<QJsonObject> &items)
{
    // The first element is the all-feeds pseudo-feed.
    const QList<QJsonObject> feeds = items.mid(1);
    if (feeds == m_model->records())
        return;
    qInfo("update rss");
    // Feeds are kept by id: the selected ones stay selected where they go.
    // When none of them stayed (they were deleted), the feed that moved into
    // the last selected row is selected instead.
    const QList<int> before = selectedRows();
    m_model->setRecords(feeds);
    if (!before.isEmpty() && !m_selection->hasSelection() && before.last() < m_model->rowCount())
        selectOnlyRow(m_selection, before.last());
    updateActions();
    emit listApplied();
}

QList<int> RSSFeedListController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_selection->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RSSFeedListController::updateActions()
{
    const bool any = m_selection->hasSelection();
    m_actDelete->setEnabled(any);
    m_actEdit->setEnabled(any);
    m_actUpdate->setEnabled(any);
}

void RSSFeedListController::on_Add_RSS_Feed()
{
    if (!overlay()->isShowing())
        emit feedSheetRequested(QJsonObject());
}

void RSSFeedListController::on_Edit_RSS_Feed()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty() || overlay()->isShowing())
        return;
    const QModelIndex current = m_selection->currentIndex();
    const int row = current.isValid() && m_selection->isRowSelected(current.row(), {})
        ? current.row()
        : rows.last();
    emit feedSheetRequested(m_model->record(row));
}

void RSSFeedListController::runFeedCommand(
    std::function<bool(CgiCtrl *)> request, std::function<void(bool)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c || !overlay()->run([c, request] { return request(c.get()); },
            [this, done](bool ok) {
                if (done)
                    done(ok);
                // The sidebar follows at once instead of at its next poll.
                emit feedListUpdated();
                m_refresh->restart();
            })) {
        // Not sent (busy, or signed out): the sheet keeps its input.
        if (done)
            done(false);
    }
}

void RSSFeedListController::feedSheetDone(
    const QVariantMap &result, std::function<void(bool)> done)
{
    const QString url = result.value(QStringLiteral("url")).toString();
    // An interval the sheet could not read and that was not chosen anew is
    // left out (the NAS keeps its own).
    const std::optional<uint> interval = result.contains(QStringLiteral("update_interval"))
        ? std::optional<uint>(result.value(QStringLiteral("update_interval")).toUInt())
        : std::nullopt;
    if (result.contains(QStringLiteral("id"))) {
        const qint64 id = result.value(QStringLiteral("id")).toLongLong();
        runFeedCommand([id, url, interval](CgiCtrl *c) {
            Error e;
            return c->edit_RSS_Feed(id, url, interval, &e);
        },
            done);
    } else {
        runFeedCommand([url, interval](CgiCtrl *c) {
            Error e;
            return c->add_RSS_Feed(url, interval.value_or(0), &e);
        },
            done);
    }
}

void RSSFeedListController::on_Remove_RSS_Feed()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    // The table's selected row: the current one, else the last selected.
    const QModelIndex current = m_selection->currentIndex();
    const int row = current.isValid() && m_selection->isRowSelected(current.row(), {})
        ? current.row()
        : rows.last();
    const QJsonObject feed = m_model->record(row);
    emit removeConfirmationRequested(
        json::intValue(feed, u"id"), json::stringValue(feed, u"title"));
}

void RSSFeedListController::removeFeed(qint64 feedId)
{
    runFeedCommand([feedId](CgiCtrl *c) {
        Error e;
        return c->delete_RSS_Feed(feedId, &e);
    });
}

void RSSFeedListController::on_Update_RSS_Feed()
{
    const QList<int> rows = selectedRows();
    const std::shared_ptr<CgiCtrl> c = client();
    if (rows.isEmpty() || !c)
        return;
    QStringList ids;
    for (int r : rows)
        ids << QString::number(json::intValue(m_model->record(r), u"id"));
    const QString idText = ids.join(QLatin1Char(','));
    overlay()->run(
        [c, idText] {
            Error e;
            return c->update_RSS_Feed(idText, &e);
        },
        [this](bool) { refresh_Items(); });
}

void RSSFeedListController::on_Filter_Manager()
{
    emit filterManagerRequested();
}

} // namespace flk
