// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace flk {

class ScheduleGrid;

// The weekly schedule grid: 7 days by 24 hours, each cell drawn in its
// type's colour and pattern (so the types differ without colour too).
// Painting: a click sets a cell, a drag sets the rectangle it spans with a
// live preview (a release off the grid changes nothing); the day and hour
// buttons and "All" set a row, a column or every cell. The keyboard moves a
// cursor cell (arrows; Shift+arrows extend a rectangle) and paints it
// (Space: the chosen type; 1–4: that type). Rows are shown in the locale's
// week order; the values stay Sunday-first.
class ScheduleMatrix : public QWidget
{
    Q_OBJECT

public:
    explicit ScheduleMatrix(ScheduleGrid *grid, QWidget *parent = nullptr);

    ScheduleGrid *grid() const { return m_grid; }

    void set_Schedule_Type(int type);
    void set_Schedule(int type, int row, int col);
    void set_Schedule_Row(int type, int row);
    void set_Schedule_Col(int type, int col);
    void set_All_Schedule(int type);
    void highlight_Cell(int type, int row, int col);
    static QString _get_Image(int type);
    static QString _get_Highlight_Image(int type);

    // The cell under a point (data row and column; -1 off the grid).
    QPoint cellAt(const QPoint &pos) const; // x: column, y: row
    QRect cellRect(int row, int col) const;
    // Rows in the order shown: display row i shows data row dataRow(i).
    int dataRow(int displayRow) const;
    int displayRow(int dataRow) const;
    // "Monday 03:00–04:00, Limit speed".
    QString cellAccessibleName(int row, int col) const;
    static QString typeName(int type);
    // A swatch of a type (legend, type chooser).
    static QIcon typeIcon(int type);
    static void paintCell(QPainter &p, const QRect &r, int type, bool highlight);

    QToolButton *dayButton(int dataRow) const { return m_dayButtons[dataRow]; }
    QToolButton *hourButton(int col) const { return m_hourButtons[col]; }
    QToolButton *allButton() const { return m_allButton; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The header buttons (the pane paints with its chosen type).
    void rowButtonClicked(int dataRow);
    void columnButtonClicked(int col);
    void allButtonClicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    QRect gridArea() const;
    void layoutButtons();
    void announceCursor();

    ScheduleGrid *m_grid;
    QToolButton *m_dayButtons[7];
    QToolButton *m_hourButtons[24];
    QToolButton *m_allButton;
    bool m_dragging = false;
    std::array<int, 3> m_highlight { -1, -1, 0 }; // row, column, type
};

} // namespace flk
