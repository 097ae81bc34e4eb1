// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchResultController.h"

#include "models/TaskIntake.h"

#include "models/LinkRule.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/TransportErrors.h"
#include "api/Work.h"
#include "models/ListRefresh.h"

#include <QAction>
#include <QCryptographicHash>
#include <QItemSelectionModel>
#include <QLocale>

namespace flk {

namespace {
// Results from which on replacing the list gives freed memory back.
constexpr int kLargeResultList = 20000;
} // namespace

SearchResultController::SearchResultController(QObject *parent)
    : PaneController(parent),
      m_model(new SearchResultModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_actDownload(namedAction(this, QT_TRID_NOOP("DOWNLOAD"))),
      m_actOpen(namedAction(this, QT_TRID_NOOP("TOOL_TIP_OPEN"))),
      m_actPreference(namedAction(this, QT_TRID_NOOP("TOOL_TIP_PREFERENCE")))
{
    overlay()->setText(localized("TXT_LOADING"));
    m_refresh = new ListRefresh(
        [this]() -> ListRefresh::Fetch {
            if (!m_searchKey) {
                showNothing();
                return {};
            }
            const std::shared_ptr<CgiCtrl> c = signedInClient();
            if (!c)
                return {};
            const QString key = *m_searchKey, sort = m_sortKey, ord = m_order, filt = m_filter,
                          cate = m_category;
            const QByteArray lastDigest = m_lastDigest;
            const bool lastFinish = m_lastFinish;
            return [this, c, key, sort, ord, filt, cate, lastDigest,
                       lastFinish]() -> ListRefresh::Apply {
                Error e;
                Poll poll;
                CgiCtrl::Reply reply;
                {
                    // The usual poll of a large search: the very same reply
                    // again. It is recognised by its bytes and not even
                    // parsed (a parse of 100,000 results costs a second and
                    // a few hundred MB at its peak).
                    CgiCtrl::ScopedBodyParser parser(
                        [&poll, &lastDigest](const QByteArray &body) -> std::optional<QJsonObject> {
                            poll.digest = QCryptographicHash::hash(body, QCryptographicHash::Md5);
                            if (!lastDigest.isEmpty() && poll.digest == lastDigest) {
                                poll.same = true;
                                return QJsonObject { { QStringLiteral("success"), true } };
                            }
                            QJsonObject parsed;
                            if (parseBody(body, &parsed) != 0)
                                return std::nullopt;
                            return parsed;
                        });
                    reply = c->get_Search_Response(key, sort, ord, filt, cate, &e);
                }
                if (!reply || e.isError())
                    return {}; // nothing changes, the overlay stays as it is
                if (poll.same) {
                    poll.finish = lastFinish;
                } else {
                    poll.finish = json::boolValue(*reply, u"finish");
                    const QJsonArray items = json::arrayValue(*reply, u"items");
                    poll.results.reserve(items.size());
                    for (const QJsonValue &v : items)
                        poll.results.append(json::toObject(v));
                }
                Error ce;
                if (const auto names = c->get_Search_Category_List(key, &ce);
                    names && !ce.isError())
                    for (const QJsonValue &v : json::toArray(*names))
                        poll.categories << json::toString(v);
                return [this, poll] { apply(poll); };
            };
        },
        this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &SearchResultController::updateActions);
    connect(m_actDownload, &QAction::triggered, this, &SearchResultController::on_Download);
    connect(m_actOpen, &QAction::triggered, this, &SearchResultController::on_Open);
    connect(m_actPreference, &QAction::triggered, this, &SearchResultController::on_Preference);
    updateActions();
}

QStringList SearchResultController::categoryChoices() const
{
    return QStringList { localized("SEARCH_CATE_ALL") } + m_categoryItems;
}

int SearchResultController::categoryIndex() const
{
    const qsizetype i = categoryChoices().indexOf(m_category);
    return m_category.isEmpty() || i < 0 ? 0 : int(i);
}

void SearchResultController::refresh_Items()
{
    if (searchStopped())
        return;
    m_refresh->request();
}

bool SearchResultController::searchStopped() const
{
    return m_stoppedKey && m_searchKey && *m_stoppedKey == *m_searchKey;
}

void SearchResultController::stopSearching()
{
    m_stoppedKey = m_searchKey;
    if (m_searchingHUD) {
        overlay()->release();
        overlay()->setText(localized("TXT_LOADING"));
        m_searchingHUD = false;
    }
    updateActions();
}

void SearchResultController::on_Search_Key_Changed(const QVariantMap &userInfo)
{
    const QVariant query = userInfo.value(QStringLiteral("query"));
    const std::optional<QString> key
        = query.isValid() ? std::optional<QString>(query.toString()) : std::nullopt;
    // Chosen again: its search is waited for again.
    m_stoppedKey.reset();
    // A missing key counts as different from any key.
    if (key && m_searchKey && *key == *m_searchKey)
        return;
    m_category.clear();
    m_searchKey = key;
    emit searchKeyChanged();
    m_selection->clearSelection();
    m_lastDigest.clear();
    m_model->setRecords({});
    m_refresh->restart();
}

void SearchResultController::on_Click_Search_Category(const QString &text)
{
    m_category = text;
    m_refresh->restart();
}

void SearchResultController::on_Edit_Filter(const QString &text)
{
    m_filter = text;
    m_refresh->restart();
}

void SearchResultController::setSort(const QString &key, const QString &order)
{
    m_sortKey = key;
    m_order = order;
    m_refresh->restart();
}

void SearchResultController::showNothing()
{
    m_lastDigest.clear();
    m_model->setRecords({});
    if (!m_categoryItems.isEmpty()) {
        m_categoryItems.clear();
        emit categoriesChanged();
    }
    // No search to wait for.
    if (m_searchingHUD) {
        overlay()->release();
        overlay()->setText(localized("TXT_LOADING"));
        m_searchingHUD = false;
    }
    updateActions();
}

void SearchResultController::apply(const Poll &poll)
{
    if (!poll.finish && !searchStopped()) {
        // What came so far is counted; Cancel leaves it usable.
        overlay()->setText(poll.results.isEmpty()
                ? localized("TXT_SEARCHING")
                : stringWithKSTFormat(localized("TXT_SEARCHING_SO_FAR"),
                    { QLocale().toString(poll.results.size()) }));
        if (!overlay()->isShowing())
            overlay()->hold([this] { stopSearching(); });
        m_searchingHUD = true;
    } else if (m_searchingHUD) {
        overlay()->release();
        overlay()->setText(localized("TXT_LOADING"));
        m_searchingHUD = false;
    }
    if (poll.categories != m_categoryItems) {
        m_categoryItems = poll.categories;
        emit categoriesChanged();
    }
    // Results are kept by their torrent address: the selection follows them.
    if (!poll.same) {
        const int before = m_model->rowCount();
        m_lastDigest = poll.digest;
        m_lastFinish = poll.finish;
        m_model->setRecords(poll.results);
        // A large list was replaced: what the old one took goes back.
        if (std::max(before, m_model->rowCount()) >= kLargeResultList)
            releaseFreedMemory();
    }
    updateActions();
    emit listApplied();
}

QList<int> SearchResultController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_selection->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SearchResultController::updateActions()
{
    const qsizetype n = m_selection->selectedRows().size();
    m_actDownload->setEnabled(n > 0);
    // Several results open one after another, as feed items do.
    m_actOpen->setEnabled(n > 0);
}

void SearchResultController::on_Download()
{
    const QList<int> rows = selectedRows();
    const std::shared_ptr<CgiCtrl> c = client();
    if (rows.isEmpty() || !c || overlay()->isShowing())
        return;
    if (rows.size() == 1) {
        const QJsonObject result = m_model->record(rows.first());
        const QString torrent = json::stringValue(result, u"torrent");
        const QString magnet = json::stringValue(result, u"magnet");
        overlay()->run(
            // No torrent information: the bare link, the magnet first.
            [c, torrent, magnet] { return TaskIntake::torrentOrLink(c.get(), torrent, magnet); },
            [this](QJsonObject torrent) { emit taskDialogRequested(torrent); });
        return;
    }
    QJsonArray chosen;
    for (int r : rows)
        chosen.append(m_model->record(r));
    overlay()->run([] {}, [this, chosen] { emit multiDownloadRequested(1, chosen); });
}

void SearchResultController::on_Open()
{
    QStringList links;
    for (int r : selectedRows())
        links << json::stringValue(m_model->record(r), u"link");
    const SortedLinks sorted = LinkRule::sort(links);
    for (const QUrl &url : sorted.web)
        emit openUrlRequested(url);
    if (!sorted.magnets.isEmpty())
        emit multiDownloadRequested(1, sorted.magnetTorrents());
    if (!sorted.refusedSchemes.isEmpty())
        emit linkRefused(sorted.refusedSchemes);
}

void SearchResultController::on_Preference()
{
    emit preferenceRequested();
}

} // namespace flk
