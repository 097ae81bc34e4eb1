// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/KeyedListModel.h"

#include <QJsonObject>
#include <QList>
#include <QSet>

namespace flk {

// The files of one torrent in the new-task dialog: a check box per file
// (the choice is kept by file_id, so it survives sorting), name and size.
// Rows are kept by file_id through the keyed updater: a sort moves them with
// one layout change, persistent indexes along.
class TaskFilesModel : public KeyedListModel<QJsonObject>
{
    Q_OBJECT

public:
    enum Column { ColCheck, ColName, ColSize, ColumnCount };

    using KeyedListModel::KeyedListModel;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The files (elements that are not records are skipped); chosen: every
    // file, or (edit) those whose file_wanted is true.
    void setFiles(const QJsonArray &files, bool chooseByWanted);
    const QList<QJsonObject> &files() const { return rows(); }
    const QSet<qint64> &indexSet() const { return m_chosen; }
    bool allChosen() const;
    // Header check box: all on, or all off.
    void chooseAll(bool on);
    // Sorts by a column's key, "asc" ascending, else descending; sizes by
    // their byte count.
    void sortBy(int column, const QString &order);
    static QString sortKeyOfColumn(int column);

    // "%ld," per id in the current order; empty when none. A file without a
    // whole id cannot be addressed and is in neither list; in edit mode a
    // file whose file_wanted came in another shape is in neither list until
    // the user ticks or unticks it (the NAS keeps its own choice).
    QString wantedList() const;
    QString unwantedList() const;
    qint64 chosenBytes() const;
    // "%.2Lf %@" with KB, MB or GB.
    static QString formatTotalSize(qint64 bytes);

signals:
    void choiceChanged();

private:
    static qint64 fileId(const QJsonObject &f);
    void showFiles(QList<QJsonObject> files);
    QString listOf(bool chosen) const;
    QSet<qint64> m_chosen, m_unread, m_touched;
};

} // namespace flk
