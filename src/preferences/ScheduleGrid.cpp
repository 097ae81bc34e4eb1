// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ScheduleGrid.h"

#include "api/CgiCtrl.h"

#include <QJsonArray>

namespace flk {

namespace {
bool onGrid(int row, int col)
{
    return row >= 0 && row < ScheduleGrid::kRows && col >= 0 && col < ScheduleGrid::kColumns;
}
} // namespace

ScheduleGrid::ScheduleGrid(QObject *parent) : QObject(parent)
{
    for (auto &row : m_cells)
        row.fill(DefaultSpeed);
}

int ScheduleGrid::value(int row, int col) const
{
    return onGrid(row, col) ? m_cells[size_t(row)][size_t(col)] : 0;
}

void ScheduleGrid::set_Schedule_Type(int type)
{
    m_setType = type;
}

void ScheduleGrid::paintShown(const QRect &cells, int type)
{
    const QRect r = cells.intersected(QRect(0, 0, kColumns, kRows));
    if (r.isEmpty())
        return;
    for (int shown = r.top(); shown <= r.bottom(); ++shown)
        for (int col = r.left(); col <= r.right(); ++col)
            m_cells[size_t(dataRow(shown))][size_t(col)] = type;
    emit valuesChanged();
}

void ScheduleGrid::set_Schedule(int type, int row, int col)
{
    if (onGrid(row, col))
        paintShown(QRect(col, displayRow(row), 1, 1), type);
}

void ScheduleGrid::setRow(int type, int row)
{
    if (row >= 0 && row < kRows)
        paintShown(QRect(0, displayRow(row), kColumns, 1), type);
}

void ScheduleGrid::setColumn(int type, int col)
{
    if (col >= 0 && col < kColumns)
        paintShown(QRect(col, 0, 1, kRows), type);
}

void ScheduleGrid::set_All_Schedule(int type)
{
    paintShown(QRect(0, 0, kColumns, kRows), type);
}

QRect ScheduleGrid::_get_Drag_Rect(int startRow, int startCol, int endRow, int endCol)
{
    return QRect(std::min(startCol, endCol), std::min(startRow, endRow),
        std::abs(endCol - startCol) + 1, std::abs(endRow - startRow) + 1);
}

void ScheduleGrid::setFirstDay(int row)
{
    if (row < 0 || row >= kRows || row == m_firstDay)
        return;
    const QPoint cursor = this->cursor();
    m_firstDay = row;
    m_preview = QRect();
    m_start = QPoint(-1, -1);
    setCursor(cursor.y(), cursor.x());
}

void ScheduleGrid::pressAt(int row, int col)
{
    m_start = onGrid(row, col) ? QPoint(col, displayRow(row)) : QPoint(-1, -1);
    m_preview = QRect();
    if (onGrid(row, col))
        setCursor(row, col);
    emit highlightChanged();
}

void ScheduleGrid::dragTo(int row, int col)
{
    // Off the grid the last preview stays.
    if (m_start.x() < 0 || !onGrid(row, col))
        return;
    m_preview = _get_Drag_Rect(m_start.y(), m_start.x(), displayRow(row), col);
    emit highlightChanged();
}

void ScheduleGrid::releaseAt(int row, int col)
{
    m_preview = QRect();
    const QPoint start = m_start;
    m_start = QPoint(-1, -1);
    emit highlightChanged();
    // A release off the grid changes nothing.
    if (start.x() < 0 || !onGrid(row, col))
        return;
    paintShown(_get_Drag_Rect(start.y(), start.x(), displayRow(row), col), m_setType);
}

bool ScheduleGrid::previewContains(int row, int col) const
{
    return onGrid(row, col) && m_preview.contains(col, displayRow(row));
}

QPoint ScheduleGrid::cursor() const
{
    return QPoint(m_cursor.x(), dataRow(m_cursor.y()));
}

bool ScheduleGrid::keyboardContains(int row, int col) const
{
    return onGrid(row, col)
        && _get_Drag_Rect(m_anchor.y(), m_anchor.x(), m_cursor.y(), m_cursor.x())
               .contains(col, displayRow(row));
}

void ScheduleGrid::setCursor(int row, int col)
{
    if (!onGrid(row, col))
        return;
    m_cursor = m_anchor = QPoint(col, displayRow(row));
    emit highlightChanged();
}

void ScheduleGrid::moveCursor(int dRow, int dCol, bool extend)
{
    const QPoint next(std::clamp(m_cursor.x() + dCol, 0, kColumns - 1),
        std::clamp(m_cursor.y() + dRow, 0, kRows - 1));
    m_cursor = next;
    if (!extend)
        m_anchor = next;
    emit highlightChanged();
}

void ScheduleGrid::paintKeyboardRect(int type)
{
    paintShown(_get_Drag_Rect(m_anchor.y(), m_anchor.x(), m_cursor.y(), m_cursor.x()), type);
}

const char *ScheduleGrid::dayKey(int row)
{
    static const char *const days[kRows] = { "sun", "mon", "tue", "wed", "thu", "fri", "sat" };
    return row >= 0 && row < kRows ? days[row] : "";
}

void ScheduleGrid::fromRecord(const QJsonObject &schedule)
{
    for (int row = 0; row < kRows; ++row) {
        const QList<int> hours
            = CgiCtrl::decodeScheduleDay(schedule.value(QString::fromLatin1(dayKey(row))));
        for (int col = 0; col < kColumns; ++col)
            m_cells[size_t(row)][size_t(col)] = hours.value(col, DefaultSpeed);
    }
    emit valuesChanged();
}

QString ScheduleGrid::dayString(int row) const
{
    QList<int> hours;
    for (int col = 0; col < kColumns; ++col)
        hours << value(row, col);
    return CgiCtrl::encodeScheduleDay(hours);
}

} // namespace flk
