// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <memory>

#include "SearchModels.h"
#include "models/PaneController.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QUrl>

#include <optional>

class QAction;
class QItemSelectionModel;

namespace flk {

struct Notification;
class ListRefresh;

// The search results page: the results of one key, narrowed by category and
// filter text and sorted by the NAS, polled while shown; the searching
// overlay while the NAS is still searching; Download (one result: the
// new-task dialog; several: the multi-download wizard), Open, Preferences.
// Polls never overlap, and a reply for a key, category, filter or sort no
// longer asked for is dropped.
class SearchResultController : public PaneController
{
    Q_OBJECT

public:
    explicit SearchResultController(QObject *parent = nullptr);

    SearchResultModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *actDownload() const { return m_actDownload; }
    QAction *actOpen() const { return m_actOpen; }
    QAction *actPreference() const { return m_actPreference; }

    std::optional<QString> searchKey() const { return m_searchKey; }
    QString category() const { return m_category; }
    QString filter() const { return m_filter; }
    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    bool searchingHUD() const { return m_searchingHUD; }
    // The user stopped waiting for the current key's search: the poll asks
    // no more (sorting, filtering and categories still ask once) and the
    // results that came stay usable. A new key, or the same key chosen
    // again, waits again.
    void stopSearching();
    bool searchStopped() const;
    // The category chooser: the all-categories entry, then the key's
    // categories; the chosen one.
    QStringList categoryChoices() const;
    int categoryIndex() const;

    void refresh_Items();
    void on_Search_Key_Changed(const QVariantMap &userInfo);
    void on_Click_Search_Category(const QString &text);
    void on_Edit_Filter(const QString &text);
    void setSort(const QString &key, const QString &order);
    QList<int> selectedRows() const;

    void on_Download();
    void on_Open();
    void on_Preference();

signals:
    void taskDialogRequested(const QJsonObject &torrent);
    void multiDownloadRequested(uint downloadType, const QJsonArray &torrents);
    // A web page to open in the browser (only http and https get here).
    void openUrlRequested(const QUrl &url);
    // Links of other kinds were not opened (their schemes).
    void linkRefused(const QStringList &schemes);
    void preferenceRequested();
    void categoriesChanged();
    void listApplied();
    // The key whose results the page shows changed (or there is none).
    void searchKeyChanged();

private:
    struct Poll {
        QList<QJsonObject> results;
        // The reply's bytes, hashed, to tell the next poll's apart.
        QByteArray digest;
        // The NAS sent the very same reply as last time (nothing was parsed).
        bool same = false;
        bool finish = false;
        QStringList categories;
    };
    void apply(const Poll &poll);
    void showNothing();
    void updateActions();

    SearchResultModel *m_model;
    QItemSelectionModel *m_selection;
    ListRefresh *m_refresh;
    QAction *m_actDownload, *m_actOpen, *m_actPreference;
    std::optional<QString> m_searchKey, m_stoppedKey;
    QString m_category, m_filter;
    QString m_sortKey = QStringLiteral("seeds");
    QString m_order = QStringLiteral("desc");
    QStringList m_categoryItems;
    // The reply last shown (its hash) and whether it said the search ended.
    QByteArray m_lastDigest;
    bool m_lastFinish = false;
    bool m_searchingHUD = false;
};

} // namespace flk
