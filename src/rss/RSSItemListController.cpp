// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSItemListController.h"

#include "models/TaskIntake.h"

#include "models/LinkRule.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/ListRefresh.h"

#include <QAction>
#include <QItemSelectionModel>

namespace flk {

RSSItemListController::RSSItemListController(QObject *parent)
    : PaneController(parent),
      m_model(new RSSItemTableModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_actDownload(namedAction(this, QT_TRID_NOOP("DOWNLOAD"))),
      m_actOpen(namedAction(this, QT_TRID_NOOP("TOOL_TIP_OPEN"))),
      m_actUpdate(namedAction(this, QT_TRID_NOOP("TOOL_TIP_UPDATE"))),
      m_actAdd(namedAction(this, QT_TRID_NOOP("TOOL_TIP_ADD"))),
      m_actFilterMan(namedAction(this, QT_TRID_NOOP("TOOL_TIP_FILTER_MAN")))
{
    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            const std::shared_ptr<CgiCtrl> c = signedInClient();
            if (!c || m_rssId <= 0)
                return {};
            const qint64 feed = m_rssId;
            const QString sort = m_sortKey, ord = m_order;
            return [this, c, feed, sort, ord]() -> ListRefresh::Apply {
                Error e;
                const auto items = c->get_RSS_Item_List(feed, sort, ord, &e);
                if (!items || e.isError())
                    return {};
                QList<QJsonObject> records;
                const QJsonArray array = json::toArray(*items);
                records.reserve(array.size());
                for (const QJsonValue &v : array)
                    records.append(json::toObject(v));
                return [this, records] { applyList(records); };
            };
        },
        this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &RSSItemListController::updateActions);
    connect(m_actDownload, &QAction::triggered, this, &RSSItemListController::on_Download_RSS_Feed);
    connect(m_actOpen, &QAction::triggered, this, &RSSItemListController::on_Open_RSS_Feed);
    connect(m_actUpdate, &QAction::triggered, this, &RSSItemListController::on_Update_RSS_Feed);
    connect(m_actAdd, &QAction::triggered, this, &RSSItemListController::on_Add_RSS_Feed);
    connect(m_actFilterMan, &QAction::triggered, this, &RSSItemListController::on_Filter_Manager);
    updateActions();
}

void RSSItemListController::setRSSID(qint64 id)
{
    if (id == m_rssId) {
        m_refresh->request();
        return;
    }
    m_rssId = id;
    // Another feed's items: nothing of the old feed is kept or shown.
    m_selection->clearSelection();
    m_model->setRecords({});
    m_refresh->restart();
}

void RSSItemListController::setSort(const QString &key, const QString &order)
{
    m_sortKey = key;
    m_order = order;
    m_refresh->restart();
}

void RSSItemListController::refresh_Items()
{
    m_refresh->request();
}

void RSSItemListController::on_RSS_Feed_Changed(const QVariantMap &feed)
{
    setRSSID(feed.value(QStringLiteral("id")).toLongLong());
}

void RSSItemListController::applyList(const QList<QJsonObject> &items)
{
    if (items == m_model->records())
        return;
    // Items are kept by id: the selected ones stay selected.
    m_model->setRecords(items);
    updateActions();
    emit listApplied();
}

QList<int> RSSItemListController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_selection->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RSSItemListController::updateActions()
{
    const bool any = m_selection->hasSelection();
    m_actDownload->setEnabled(any);
    m_actOpen->setEnabled(any);
}

void RSSItemListController::on_Download_RSS_Feed()
{
    const QList<int> rows = selectedRows();
    const std::shared_ptr<CgiCtrl> c = client();
    if (rows.isEmpty() || !c)
        return;
    if (rows.size() == 1) {
        const QJsonObject item = m_model->record(rows.first());
        const QString url = json::stringValue(item, u"url");
        overlay()->run(
            // Without torrent information the dialog adds the bare link.
            [c, url] { return TaskIntake::torrentOrLink(c.get(), url); },
            [this](QJsonObject torrent) { emit taskDialogRequested(torrent); });
        return;
    }
    QJsonArray torrents;
    for (int r : rows)
        torrents.append(QJsonObject {
            { QStringLiteral("torrent"), json::stringValue(m_model->record(r), u"url") } });
    // No request, but one command at a time like every other.
    overlay()->run([] {}, [this, torrents] { emit multiDownloadRequested(1, torrents); });
}

void RSSItemListController::on_Open_RSS_Feed()
{
    QStringList links;
    for (int r : selectedRows())
        links << json::stringValue(m_model->record(r), u"link");
    const SortedLinks sorted = LinkRule::sort(links);
    if (!sorted.web.isEmpty())
        emit openUrlsRequested(sorted.web);
    if (!sorted.magnets.isEmpty())
        emit multiDownloadRequested(1, sorted.magnetTorrents());
    if (!sorted.refusedSchemes.isEmpty())
        emit linkRefused(sorted.refusedSchemes);
}

void RSSItemListController::on_Update_RSS_Feed()
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    const QString id = QString::number(m_rssId);
    overlay()->run(
        [c, id] {
            Error e;
            return c->update_RSS_Feed(id, &e);
        },
        [this](bool) { refresh_Items(); });
}

void RSSItemListController::on_Add_RSS_Feed()
{
    if (!overlay()->isShowing())
        emit feedSheetRequested(QJsonObject());
}

void RSSItemListController::addFromSheet(const QVariantMap &result, std::function<void(bool)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QString url = result.value(QStringLiteral("url")).toString();
    const uint interval = result.value(QStringLiteral("update_interval")).toUInt();
    const bool sent = c
        && overlay()->run(
            [c, url, interval] {
                Error e;
                return c->add_RSS_Feed(url, interval, &e);
            },
            [this, done](bool ok) {
                if (done)
                    done(ok);
                // The sidebar follows at once instead of at its next poll.
                emit feedListUpdated();
            });
    if (!sent && done)
        done(false);
}

void RSSItemListController::on_Filter_Manager()
{
    emit filterManagerRequested();
}

} // namespace flk
