// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/KeyedListModel.h"

#include <QJsonObject>
#include <QSet>

namespace flk {

// The search sites of the preferences: a check box (whether the NAS is to
// search the site: the pending enabled set, sent on Apply), name, URL and
// version; kept by name, sorted on the client.
class SearchSiteModel : public KeyedListModel<QJsonObject>
{
    Q_OBJECT

public:
    enum Column { ColEnable, ColName, ColUrl, ColVer, ColumnCount };
    using KeyedListModel::KeyedListModel;

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    static QString columnKey(int column);

    void setSites(QList<QJsonObject> sites);
    const QJsonObject &site(int row) const { return rowAt(row); }
    QString name(int row) const;

    // aryEnable: the names shown as enabled.
    const QSet<QString> &aryEnable() const { return m_enabled; }
    void setAryEnable(const QSet<QString> &names);
    // A row's check box (on_Check_Box).
    void setEnabled(int row, bool on);
    // The header check box: on exactly when every site is in the set.
    bool headerChecked() const;
    // A click on the header box: all off when it was on, else all on.
    void toggleAll();

signals:
    void enabledChanged();

private:
    QSet<QString> m_enabled;
};

} // namespace flk
