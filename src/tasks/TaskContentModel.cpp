// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskContentModel.h"

#include "api/JsonUtil.h"

#include <QIcon>

namespace flk {

TaskContentModel::TaskContentModel(QObject *parent)
    : RecordTableModel({ { "ColCheck", "file_wanted", nullptr },
                           { "ColName", "file_name", QT_TRID_NOOP("COL_NAME") },
                           { "ColSize", "file_size", QT_TRID_NOOP("COL_SIZE") },
                           { "ColDownloaded", "file_downloaded", QT_TRID_NOOP("COL_DOWNLOADED") },
                           { "ColPercent", "file_percent", QT_TRID_NOOP("COL_PERCENT") } },
        QStringLiteral("file_id"), parent)
{ }

Qt::ItemFlags TaskContentModel::flags(const QModelIndex &index) const
{
    // Files are shown, not selected.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QVariant TaskContentModel::cell(const QJsonObject &record, int column, int role) const
{
    if (column == ColCheck) {
        const bool wanted = json::boolValue(record, u"file_wanted");
        if (role == Qt::DecorationRole && wanted)
            return QIcon(QStringLiteral(":/images/check.svg"));
        if (role == Qt::AccessibleTextRole)
            return wanted ? QStringLiteral("\u2713") : QString();
        return {};
    }
    return RecordTableModel::cell(record, column, role);
}

} // namespace flk
