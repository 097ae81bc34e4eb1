// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchKeyController.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/Work.h"
#include "models/ListRefresh.h"
#include "models/RowSelection.h"

#include <QAction>
#include <QItemSelectionModel>

namespace flk {

SearchKeyController::SearchKeyController(QObject *parent)
    : PaneController(parent),
      m_model(new SearchKeyModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_actRemove(new QAction(localized("TOOL_TIP_DELETE"), this))
{
    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            const std::shared_ptr<CgiCtrl> c = signedInClient();
            if (!c)
                return {};
            return [this, c]() -> ListRefresh::Apply {
                Error e;
                const CgiCtrl::Reply reply = c->get_Search_Key_List(&e);
                if (!reply || e.isError() || !reply->contains(QLatin1String("items")))
                    return {};
                QList<QJsonObject> keys;
                for (const QJsonValue &v : json::arrayValue(*reply, u"items"))
                    keys.append(json::toObject(v));
                return [this, keys] { applyList(keys); };
            };
        },
        this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &SearchKeyController::selectionMoved);
    connect(m_actRemove, &QAction::triggered, this, &SearchKeyController::on_Remove_Search_Entry);
}

void SearchKeyController::refresh_Items()
{
    m_refresh->request();
}

int SearchKeyController::selectedRow() const
{
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.last().row();
}

void SearchKeyController::selectRow(int row)
{
    selectOnlyRow(m_selection, row);
}

void SearchKeyController::postKey(const QVariantMap &userInfo)
{
    emit keyChanged(userInfo);
}

void SearchKeyController::applyList(const QList<QJsonObject> &keys)
{
    // The key to keep: the one just submitted, else the chosen one.
    const int selected = selectedRow();
    const QString keep = !m_searchingKey.isEmpty() ? m_searchingKey : m_model->query(selected);
    const bool same = keys == m_model->records();
    if (same && m_searchingKey.isEmpty())
        return;
    int target = -1;
    if (!keep.isEmpty()) {
        for (int i = 0; i < keys.size(); ++i)
            if (json::stringValue(keys[i], u"query") == keep) {
                target = i;
                break;
            }
    }
    if (target < 0)
        target = selected >= 0 && selected < keys.size() ? selected : (keys.isEmpty() ? -1 : 0);
    m_searchingKey.clear();
    m_applying = true;
    m_model->setRecords(keys);
    m_applying = false;
    if (keys.isEmpty()) {
        // Nothing to show: the results page empties.
        postKey({});
    } else if (target >= 0 && selectedRow() != target) {
        // Reported like a user's choice. (Keys are kept by query, so a
        // chosen key that stayed is still chosen and nothing is said.)
        selectRow(target);
    }
    emit listApplied();
}

void SearchKeyController::selectionMoved()
{
    if (m_applying)
        return;
    const int row = selectedRow();
    m_actRemove->setEnabled(row >= 0);
    if (row >= 0)
        postKey({ { QStringLiteral("query"), m_model->query(row) } });
}

void SearchKeyController::submit(const QString &text)
{
    if (text.isEmpty()) {
        emit emptyKeyRefused();
        return;
    }
    emit featureActivated(kFeatureSearch);
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    runWork(
        this,
        [c, text] {
            Error e;
            return c->send_Search_Request(text, &e);
        },
        [this, text](bool sent) {
            if (!sent)
                return; // the client reported it
            m_searchingKey = text;
            m_refresh->restart();
            emit keyListFocusRequested();
        });
}

void SearchKeyController::rowClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    emit featureActivated(kFeatureSearch);
}

void SearchKeyController::on_Remove_Search_Entry()
{
    const int row = selectedRow();
    const std::shared_ptr<CgiCtrl> c = client();
    if (row < 0 || !c)
        return;
    const QString query = m_model->query(row);
    runWork(
        this,
        [c, query] {
            Error e;
            c->delete_Search_Key(query, &e);
        },
        [this] { m_refresh->restart(); });
}

} // namespace flk
