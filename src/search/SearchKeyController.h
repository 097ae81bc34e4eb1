// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "SearchModels.h"
#include "models/PaneController.h"

#include <QJsonObject>

class QAction;
class QItemSelectionModel;

namespace flk {

class ListRefresh;

// The search block of a host's sidebar: submitting a search, the NAS's
// saved keys with their counts, choosing and deleting a key. Choosing a key
// tells the results page (keyChanged); a freshly submitted
// key is chosen once the list has it.
class SearchKeyController : public PaneController
{
    Q_OBJECT

public:
    explicit SearchKeyController(QObject *parent = nullptr);

    SearchKeyModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    ListRefresh *listRefresh() const { return m_refresh; }
    QAction *actRemove() const { return m_actRemove; }
    QString searchingKey() const { return m_searchingKey; }

    void refresh_Items();
    void applyList(const QList<QJsonObject> &keys);
    int selectedRow() const;
    void selectRow(int row);
    // Return in the search field (the field is emptied by the screen).
    void submit(const QString &text);
    void rowClicked(int row);
    bool offersMenuAt(int row) const { return row >= 0 && row < m_model->rowCount(); }
    void on_Remove_Search_Entry();

signals:
    // An empty search was refused (ERROR_SEARCH_KEY_EMPTY).
    void emptyKeyRefused();
    // The chosen key ({"query": key}; no "query" when none is chosen).
    void keyChanged(const QVariantMap &key);
    // The results page is to be shown.
    void featureActivated(uint feature);
    // The search went to the NAS: the key list takes the keyboard.
    void keyListFocusRequested();
    void listApplied();

private:
    void selectionMoved();
    void postKey(const QVariantMap &userInfo);

    SearchKeyModel *m_model;
    QItemSelectionModel *m_selection;
    ListRefresh *m_refresh;
    QAction *m_actRemove;
    QString m_searchingKey;
    bool m_applying = false;
};

} // namespace flk
