// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QRect>

#include <array>

namespace flk {

// The weekly schedule without drawing: 7 rows (0 Sunday … 6 Saturday) by 24
// hour columns, one schedule type per cell, the type that painting uses, the
// drag preview, and a keyboard cursor with an anchor. Values outside 1–4 are
// kept and sent back as they came.
class ScheduleGrid : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRows = 7;
    static constexpr int kColumns = 24;
    enum Type { DefaultSpeed = 1, Stop = 2, LimitSpeed = 3, SeedOnly = 4 };

    explicit ScheduleGrid(QObject *parent = nullptr);

    int value(int row, int col) const;
    int setType() const { return m_setType; }
    void set_Schedule_Type(int type);
    void set_Schedule(int type, int row, int col);
    void setRow(int type, int row);
    void setColumn(int type, int col);
    void set_All_Schedule(int type);
    // The cells spanned by two cells (x: columns, y: rows).
    static QRect _get_Drag_Rect(int startRow, int startCol, int endRow, int endCol);

    // The order rows are shown in (display row 0 shows data row firstDay());
    // painting and the keyboard work on rectangles as shown, so a drag from
    // Saturday to Sunday in a Monday-first week paints those two days only.
    void setFirstDay(int row);
    int firstDay() const { return m_firstDay; }
    int dataRow(int displayRow) const { return (m_firstDay + displayRow) % kRows; }
    int displayRow(int dataRow) const { return (dataRow - m_firstDay + kRows) % kRows; }

    // Painting with the pointer, in cells (data rows; -1: off the grid).
    void pressAt(int row, int col);
    void dragTo(int row, int col);
    void releaseAt(int row, int col);
    // Whether the drag would paint this cell now.
    bool previewContains(int row, int col) const;
    bool hasPreview() const { return !m_preview.isEmpty(); }

    // The keyboard: a cursor cell, moved by arrows (dRow in rows as shown;
    // extend: Shift held, growing a rectangle from the anchor); paint() sets
    // the rectangle.
    QPoint cursor() const; // x: column, y: data row
    bool keyboardContains(int row, int col) const;
    void moveCursor(int dRow, int dCol, bool extend);
    void setCursor(int row, int col);
    void paintKeyboardRect(int type);

    // The schedule record: days as arrays of 24 (read) or strings (sent).
    void fromRecord(const QJsonObject &schedule);
    QString dayString(int row) const;
    static const char *dayKey(int row);

signals:
    // Cell values changed.
    void valuesChanged();
    // The preview or the cursor moved.
    void highlightChanged();

private:
    // Paints a rectangle of rows as shown.
    void paintShown(const QRect &cells, int type);
    void paintData(int row, const QRect &cols, int type);

    std::array<std::array<int, kColumns>, kRows> m_cells {};
    int m_setType = DefaultSpeed;
    QPoint m_start { -1, -1 };
    // In rows as shown (x: column, y: display row).
    QRect m_preview;
    QPoint m_cursor { 0, 0 }, m_anchor { 0, 0 };
    int m_firstDay = 0;
};

} // namespace flk
