// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSSidebarController.h"

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

RSSSidebarController::RSSSidebarController(QObject *parent)
    : PaneController(parent),
      m_model(new RSSSidebarModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_actEdit(new QAction(localized("TOOL_TIP_EDIT"), this)),
      m_actRemove(new QAction(localized("TOOL_TIP_DELETE"), this))
{
    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            const std::shared_ptr<CgiCtrl> c = signedInClient();
            if (!c)
                return {};
            return [this, c]() -> ListRefresh::Apply {
                Error e;
                // The sidebar is never sorted.
                const auto items
                    = c->get_RSS_Feed_List(QStringLiteral("id"), QStringLiteral("asc"), &e);
                if (!items || e.isError())
                    return {};
                QList<QJsonObject> feeds;
                for (const QJsonValue &v : json::toArray(*items))
                    feeds.append(json::toObject(v));
                return [this, feeds] { applyList(feeds); };
            };
        },
        this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &RSSSidebarController::selectionMoved);
    connect(m_actEdit, &QAction::triggered, this, &RSSSidebarController::on_Edit_RSS_Feed_Entry);
    connect(
        m_actRemove, &QAction::triggered, this, &RSSSidebarController::on_Remove_RSS_Feed_Entry);
}

void RSSSidebarController::refresh_Items()
{
    m_refresh->request();
}

int RSSSidebarController::selectedRow() const
{
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.last().row();
}

void RSSSidebarController::selectRow(int row)
{
    selectOnlyRow(m_selection, row);
}

void RSSSidebarController::applyList(const QList<QJsonObject> &feeds)
{
    if (feeds == m_model->records())
        return;
    // Where the selection goes: the chosen feed where it is now; else the
    // row it had (or the all-feeds row when that row is gone); with nothing
    // chosen, the all-feeds row, except on the first load.
    const int selected = selectedRow();
    const qint64 selectedId = selected >= 0 ? m_model->feedId(selected) : 0;
    const bool hadRows = m_model->rowCount() > 0;
    int target = -1;
    if (selected >= 0) {
        for (int i = 0; i < feeds.size(); ++i)
            if (json::intValue(feeds[i], u"id") == selectedId) {
                target = i;
                break;
            }
        if (target < 0)
            target = selected < feeds.size() ? selected : 0;
    } else if (hadRows) {
        target = 0;
    }
    m_model->setRecords(feeds);
    // Feeds are kept by id, so a feed that stayed is still selected and
    // nothing is said; a changed selection is reported like a user's.
    if (target >= 0 && target < m_model->rowCount() && selectedRow() != target)
        selectRow(target);
    emit listApplied();
}

void RSSSidebarController::selectionMoved()
{
    const int row = selectedRow();
    const bool feedRow = row > 0 && m_model->feedId(row) != -1;
    m_actEdit->setEnabled(feedRow);
    m_actRemove->setEnabled(feedRow);
    if (!feedRow)
        return;
    emit feedChanged(
        { { QStringLiteral("id"), m_model->record(row).value(QStringLiteral("id")).toVariant() } });
}

void RSSSidebarController::rowClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const uint feature = m_model->feedId(row) == -1 ? kFeatureRSSFeeds : kFeatureRSSItems;
    emit featureActivated(feature);
}

QJsonObject RSSSidebarController::selectedFeed() const
{
    const int row = selectedRow();
    return row > 0 ? m_model->record(row) : QJsonObject();
}

void RSSSidebarController::on_Edit_RSS_Feed_Entry()
{
    const QJsonObject feed = selectedFeed();
    if (!feed.isEmpty() && !overlay()->isShowing())
        emit feedSheetRequested(feed);
}

void RSSSidebarController::runThenRefresh(
    std::function<bool(CgiCtrl *)> request, std::function<void(bool)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const bool sent = c
        && overlay()->run([c, request] { return request(c.get()); },
            [this, done](bool ok) {
                if (done)
                    done(ok);
                m_refresh->restart();
            });
    if (!sent && done)
        done(false);
}

void RSSSidebarController::editFromSheet(
    const QVariantMap &result, std::function<void(bool)> done)
{
    const qint64 id = result.value(QStringLiteral("id")).toLongLong();
    const QString url = result.value(QStringLiteral("url")).toString();
    // An interval the sheet could not read and that was not chosen anew is
    // left out (the NAS keeps its own).
    const std::optional<uint> interval = result.contains(QStringLiteral("update_interval"))
        ? std::optional<uint>(result.value(QStringLiteral("update_interval")).toUInt())
        : std::nullopt;
    runThenRefresh([id, url, interval](CgiCtrl *c) {
        Error e;
        return c->edit_RSS_Feed(id, url, interval, &e);
    },
        done);
}

void RSSSidebarController::on_Remove_RSS_Feed_Entry()
{
    const QJsonObject feed = selectedFeed();
    if (feed.isEmpty())
        return;
    emit removeConfirmationRequested(
        json::intValue(feed, u"id"), json::stringValue(feed, u"title"));
}

void RSSSidebarController::removeFeed(qint64 feedId)
{
    runThenRefresh([feedId](CgiCtrl *c) {
        Error e;
        return c->delete_RSS_Feed(feedId, &e);
    });
}

} // namespace flk
