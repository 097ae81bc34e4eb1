// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DownloadEntryModel.h"

#include "api/Localization.h"

#include <QIcon>

namespace flk {

DownloadEntryModel::DownloadEntryModel(QObject *parent) : QAbstractListModel(parent)
{
    const struct {
        const char *nameKey, *icon, *identifier;
    } rows[] = { { QT_TRID_NOOP("ITEM_CATE_ALL"), "all_icon", "all" },
        { QT_TRID_NOOP("ITEM_CATE_DOWNLOADING"), "downloading_icon", "downloading" },
        { QT_TRID_NOOP("ITEM_CATE_COMPLETED"), "complete_icon", "completed" },
        { QT_TRID_NOOP("ITEM_CATE_ACTIVE"), "active_icon", "active" },
        { QT_TRID_NOOP("ITEM_CATE_INACTIVE"), "inactive_icon", "inactive" } };
    uint category = 0;
    for (const auto &r : rows) {
        DownloadEntry e;
        e.name = localized(r.nameKey);
        e.icon = QString::fromLatin1(r.icon);
        e.category = category++;
        e.identifier = QString::fromLatin1(r.identifier);
        e.title = QStringLiteral("%1 (%2)").arg(e.name).arg(0);
        m_entries.append(e);
    }
}

int DownloadEntryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DownloadEntryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const DownloadEntry &e = m_entries[index.row()];
    if (role == Qt::DisplayRole)
        return e.title;
    if (role == Qt::DecorationRole)
        return QIcon(QStringLiteral(":/images/%1.svg").arg(e.icon));
    return {};
}

void DownloadEntryModel::setCounts(const QVariantMap &counts)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        DownloadEntry &e = m_entries[i];
        e.title
            = QStringLiteral("%1 (%2)").arg(e.name).arg(counts.value(e.identifier).toLongLong());
    }
    emit dataChanged(index(0), index(int(m_entries.size()) - 1), { Qt::DisplayRole });
}

} // namespace flk
