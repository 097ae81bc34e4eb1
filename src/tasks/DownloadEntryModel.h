// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractListModel>
#include <QVariantMap>

namespace flk {

// One row of the category list.
struct DownloadEntry {
    QString title;
    QString icon;
    uint category = 0;
    QString name;
    QString identifier;
};

class DownloadEntryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit DownloadEntryModel(QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    const DownloadEntry &entry(int row) const { return m_entries.at(row); }
    // Titles become "name (count)" from the counts keyed by each identifier.
    void setCounts(const QVariantMap &counts);

private:
    QList<DownloadEntry> m_entries;
};

} // namespace flk
