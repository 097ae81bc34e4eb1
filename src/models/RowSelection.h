// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractItemModel>
#include <QItemSelectionModel>

namespace flk {

// Makes row the current row and the whole selection of a list's selection
// model; a row the model does not have changes nothing and gives false.
inline bool selectOnlyRow(QItemSelectionModel *selection, int row)
{
    const QAbstractItemModel *model = selection->model();
    if (!model || row < 0 || row >= model->rowCount())
        return false;
    selection->setCurrentIndex(
        model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return true;
}

} // namespace flk
