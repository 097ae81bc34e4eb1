// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QHeaderView>

class QTableView;

namespace flk {

// A horizontal header whose first section shows a check box ("select all").
// A click on that section emits checkBoxClicked with the state before the
// click; the owner decides the new state and sets it.
class CheckBoxHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    explicit CheckBoxHeaderView(QWidget *parent = nullptr);
    // A table of check-box rows over model: this header, rows that are not
    // selected (only their check boxes react), no grid.
    static CheckBoxHeaderView *makeTable(
        QAbstractItemModel *model, QWidget *parent, QTableView **table);

    bool isChecked() const { return m_checked; }
    void setChecked(bool on);
    bool isCheckBoxVisible() const { return m_visible; }
    void setCheckBoxVisible(bool visible);

signals:
    void checkBoxClicked(bool wasChecked);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    bool m_checked = false;
    bool m_visible = true;
};

} // namespace flk
