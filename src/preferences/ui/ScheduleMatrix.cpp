// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ScheduleMatrix.h"

#include "api/Localization.h"
#include "preferences/ScheduleGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QTime>
#include <QToolButton>

namespace flk {

namespace {
constexpr int kDayHeaderWidth = 52;
constexpr int kHourHeaderHeight = 24;
constexpr int kMinCellWidth = 18;
constexpr int kMinCellHeight = 22;

QColor typeColor(int type)
{
    switch (type) {
    case ScheduleGrid::Stop:
        return QColor(0xd9, 0x4b, 0x3f);
    case ScheduleGrid::LimitSpeed:
        return QColor(0x9a, 0x9a, 0x9a);
    case ScheduleGrid::SeedOnly:
        return QColor(0xe8, 0xc2, 0x2e);
    default: // 1, and anything outside 1-4
        return QColor(0x4c, 0xaf, 0x50);
    }
}

// A screen reader's view of one cell.
class CellAccessible : public QAccessibleInterface
{
public:
    CellAccessible(ScheduleMatrix *matrix, int row, int col)
        : m_matrix(matrix), m_row(row), m_col(col)
    { }
    bool isValid() const override { return m_matrix; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_matrix->windowHandle(); }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_matrix);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_matrix->cellAccessibleName(m_row, m_col) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        const QRect r = m_matrix->cellRect(m_row, m_col);
        return QRect(m_matrix->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = m_matrix->hasFocus() && m_matrix->grid()->cursor() == QPoint(m_col, m_row);
        return s;
    }

private:
    QPointer<ScheduleMatrix> m_matrix;
    int m_row, m_col;
};

class MatrixAccessible : public QAccessibleWidget
{
public:
    explicit MatrixAccessible(ScheduleMatrix *m) : QAccessibleWidget(m, QAccessible::Table) { }
    ScheduleMatrix *matrix() const { return static_cast<ScheduleMatrix *>(widget()); }
    int childCount() const override { return ScheduleGrid::kRows * ScheduleGrid::kColumns; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        const int displayRow = index / ScheduleGrid::kColumns;
        const int col = index % ScheduleGrid::kColumns;
        auto *cell = new CellAccessible(matrix(), matrix()->dataRow(displayRow), col);
        QAccessible::registerAccessibleInterface(cell);
        return cell;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child && child->rect() == this->child(i)->rect())
                return i;
        return -1;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return localized("SCHEDULE_GRID_NAME");
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *matrixFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("flk::ScheduleMatrix") && object && object->isWidgetType())
        return new MatrixAccessible(static_cast<ScheduleMatrix *>(object));
    return nullptr;
}
} // namespace

ScheduleMatrix::ScheduleMatrix(ScheduleGrid *grid, QWidget *parent) : QWidget(parent), m_grid(grid)
{
    static const bool factory = [] {
        QAccessible::installFactory(matrixFactory);
        return true;
    }();
    Q_UNUSED(factory);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAccessibleName(localized("SCHEDULE_GRID_NAME"));
    // Week order of the locale, for display only.
    m_grid->setFirstDay(int(locale().firstDayOfWeek()) % 7); // Sunday (7) -> row 0
    const QLocale loc = locale();
    for (int row = 0; row < 7; ++row) {
        const int weekday = row == 0 ? 7 : row; // data row 0 is Sunday
        auto *b = new QToolButton(this);
        b->setText(loc.dayName(weekday, QLocale::ShortFormat));
        b->setToolTip(loc.dayName(weekday, QLocale::LongFormat));
        b->setAccessibleName(loc.dayName(weekday, QLocale::LongFormat));
        b->setAutoRaise(true);
        // The grid is one Tab stop; the keyboard works inside it.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, row] { emit rowButtonClicked(row); });
        m_dayButtons[row] = b;
    }
    for (int col = 0; col < 24; ++col) {
        auto *b = new QToolButton(this);
        b->setText(QString::number(col));
        b->setToolTip(QStringLiteral("%1–%2").arg(loc.toString(QTime(col, 0), QLocale::ShortFormat),
            loc.toString(QTime((col + 1) % 24, 0), QLocale::ShortFormat)));
        b->setAccessibleName(b->toolTip());
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, col] { emit columnButtonClicked(col); });
        m_hourButtons[col] = b;
    }
    m_allButton = new QToolButton(this);
    m_allButton->setText(localized("SCHEDULE_ALL"));
    m_allButton->setAutoRaise(true);
    m_allButton->setFocusPolicy(Qt::NoFocus);
    connect(m_allButton, &QToolButton::clicked, this, &ScheduleMatrix::allButtonClicked);
    connect(m_grid, &ScheduleGrid::valuesChanged, this, [this] { update(); });
    connect(m_grid, &ScheduleGrid::highlightChanged, this, [this] { update(); });
    layoutButtons();
}

QSize ScheduleMatrix::sizeHint() const
{
    return QSize(kDayHeaderWidth + 24 * 24, kHourHeaderHeight + 7 * 26);
}

QSize ScheduleMatrix::minimumSizeHint() const
{
    return QSize(kDayHeaderWidth + 24 * kMinCellWidth, kHourHeaderHeight + 7 * kMinCellHeight);
}

int ScheduleMatrix::dataRow(int displayRow) const
{
    return m_grid->dataRow(displayRow);
}

int ScheduleMatrix::displayRow(int dataRow) const
{
    return m_grid->displayRow(dataRow);
}

QRect ScheduleMatrix::gridArea() const
{
    return rect().adjusted(kDayHeaderWidth, kHourHeaderHeight, -1, -1);
}

QRect ScheduleMatrix::cellRect(int row, int col) const
{
    const QRect g = gridArea();
    const int d = displayRow(row);
    const int x0 = g.left() + g.width() * col / 24, x1 = g.left() + g.width() * (col + 1) / 24;
    const int y0 = g.top() + g.height() * d / 7, y1 = g.top() + g.height() * (d + 1) / 7;
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QPoint ScheduleMatrix::cellAt(const QPoint &pos) const
{
    const QRect g = gridArea();
    if (!g.contains(pos))
        return QPoint(-1, -1);
    const int col = std::clamp((pos.x() - g.left()) * 24 / std::max(1, g.width()), 0, 23);
    const int d = std::clamp((pos.y() - g.top()) * 7 / std::max(1, g.height()), 0, 6);
    return QPoint(col, dataRow(d));
}

void ScheduleMatrix::layoutButtons()
{
    for (int row = 0; row < 7; ++row) {
        const QRect c = cellRect(row, 0);
        m_dayButtons[row]->setGeometry(0, c.top(), kDayHeaderWidth - 2, c.height());
    }
    for (int col = 0; col < 24; ++col) {
        const QRect c = cellRect(0, col);
        m_hourButtons[col]->setGeometry(c.left(), 0, c.width(), kHourHeaderHeight - 2);
    }
    m_allButton->setGeometry(0, 0, kDayHeaderWidth - 2, kHourHeaderHeight - 2);
}

void ScheduleMatrix::resizeEvent(QResizeEvent *)
{
    layoutButtons();
}

void ScheduleMatrix::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        update();
}

QString ScheduleMatrix::_get_Image(int type)
{
    switch (type) {
    case ScheduleGrid::Stop:
        return QStringLiteral("schedule_red_n");
    case ScheduleGrid::LimitSpeed:
        return QStringLiteral("schedule_gray_n");
    case ScheduleGrid::SeedOnly:
        return QStringLiteral("schedule_yellow_n");
    default:
        return QStringLiteral("schedule_green_n");
    }
}

QString ScheduleMatrix::_get_Highlight_Image(int type)
{
    QString name = _get_Image(type);
    name.chop(1);
    return name + QLatin1Char('s');
}

QString ScheduleMatrix::typeName(int type)
{
    switch (type) {
    case ScheduleGrid::Stop:
        return localized("SCHEDULE_TYPE_STOP");
    case ScheduleGrid::LimitSpeed:
        return localized("SCHEDULE_TYPE_LIMIT_SPEED");
    case ScheduleGrid::SeedOnly:
        return localized("SCHEDULE_TYPE_SEED_ONLY");
    default:
        return localized("SCHEDULE_TYPE_DEFAULT_SPEED");
    }
}

QString ScheduleMatrix::cellAccessibleName(int row, int col) const
{
    const QLocale loc = locale();
    const int weekday = row == 0 ? 7 : row;
    return stringWithKSTFormat(localized("SCHEDULE_CELL_NAME"),
        { loc.dayName(weekday, QLocale::LongFormat),
            loc.toString(QTime(col, 0), QLocale::ShortFormat),
            loc.toString(QTime((col + 1) % 24, 0), QLocale::ShortFormat),
            typeName(m_grid->value(row, col)) });
}

void ScheduleMatrix::paintCell(QPainter &p, const QRect &r, int type, bool highlight)
{
    QColor fill = typeColor(type);
    if (highlight)
        fill = fill.lighter(135);
    p.fillRect(r, fill);
    // A pattern per type, so the types differ without colour.
    QColor ink = QColor(0, 0, 0, highlight ? 70 : 110);
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(ink, 1));
    switch (type) {
    case ScheduleGrid::Stop: // a cross
        p.drawLine(r.topLeft() + QPoint(3, 3), r.bottomRight() - QPoint(3, 3));
        p.drawLine(r.bottomLeft() + QPoint(3, -3), r.topRight() + QPoint(-3, 3));
        break;
    case ScheduleGrid::LimitSpeed: // horizontal lines
        for (int y = r.top() + 4; y < r.bottom(); y += 5)
            p.drawLine(r.left() + 2, y, r.right() - 2, y);
        break;
    case ScheduleGrid::SeedOnly: // dots
        p.setBrush(ink);
        for (int y = r.top() + 5; y < r.bottom() - 2; y += 7)
            for (int x = r.left() + 5; x < r.right() - 2; x += 7)
                p.drawEllipse(QPoint(x, y), 1, 1);
        break;
    default: // plain
        break;
    }
    p.restore();
    if (highlight) {
        p.setPen(QPen(QColor(255, 255, 255, 200), 2));
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
}

QIcon ScheduleMatrix::typeIcon(int type)
{
    QPixmap pm(20, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintCell(p, pm.rect().adjusted(0, 0, -1, -1), type, false);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

void ScheduleMatrix::highlight_Cell(int type, int row, int col)
{
    m_highlight = { row, col, type };
    update();
}

void ScheduleMatrix::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 24; ++col) {
            const QRect r = cellRect(row, col).adjusted(0, 0, -1, -1);
            const bool lit = m_grid->previewContains(row, col);
            const bool marked = m_highlight[0] == row && m_highlight[1] == col;
            paintCell(p, r,
                lit          ? m_grid->setType()
                    : marked ? m_highlight[2]
                             : m_grid->value(row, col),
                lit || marked);
        }
    // Lines between the cells, in the window's colour.
    p.setPen(palette().color(QPalette::Window));
    const QRect g = gridArea();
    for (int col = 0; col <= 24; ++col) {
        const int x = g.left() + g.width() * col / 24;
        p.drawLine(x, g.top(), x, g.bottom());
    }
    for (int d = 0; d <= 7; ++d) {
        const int y = g.top() + g.height() * d / 7;
        p.drawLine(g.left(), y, g.right(), y);
    }
    if (!isEnabled())
        p.fillRect(g,
            QColor(palette().color(QPalette::Window).red(),
                palette().color(QPalette::Window).green(), palette().color(QPalette::Window).blue(),
                140));
    if (hasFocus()) {
        // The keyboard's rectangle and cursor.
        QRect area;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 24; ++col)
                if (m_grid->keyboardContains(row, col))
                    area = area.united(cellRect(row, col));
        p.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(area.adjusted(1, 1, -2, -2));
        const QPoint c = m_grid->cursor();
        p.setPen(QPen(palette().color(QPalette::Highlight), 3));
        p.drawRect(cellRect(c.y(), c.x()).adjusted(1, 1, -2, -2));
    }
}

void ScheduleMatrix::mousePressEvent(QMouseEvent *e)
{
    const QPoint cell = cellAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || cell.x() < 0) {
        QWidget::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    m_highlight = { -1, -1, 0 };
    m_grid->pressAt(cell.y(), cell.x());
    m_grid->dragTo(cell.y(), cell.x());
}

void ScheduleMatrix::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_dragging)
        return;
    const QPoint cell = cellAt(e->position().toPoint());
    m_grid->dragTo(cell.y(), cell.x());
}

void ScheduleMatrix::mouseReleaseEvent(QMouseEvent *e)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    const QPoint cell = cellAt(e->position().toPoint());
    m_grid->releaseAt(cell.y(), cell.x());
    announceCursor();
}

void ScheduleMatrix::keyPressEvent(QKeyEvent *e)
{
    const bool extend = e->modifiers() & Qt::ShiftModifier;
    // Up and down follow the rows as shown.
    auto moveRows = [this, extend](int step) { m_grid->moveCursor(step, 0, extend); };
    switch (e->key()) {
    case Qt::Key_Left:
        m_grid->moveCursor(0, -1, extend);
        break;
    case Qt::Key_Right:
        m_grid->moveCursor(0, 1, extend);
        break;
    case Qt::Key_Up:
        moveRows(-1);
        break;
    case Qt::Key_Down:
        moveRows(1);
        break;
    case Qt::Key_Space:
        m_grid->paintKeyboardRect(m_grid->setType());
        break;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4:
        m_grid->paintKeyboardRect(e->key() - Qt::Key_0);
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    announceCursor();
}

void ScheduleMatrix::announceCursor()
{
    const QPoint c = m_grid->cursor();
    setAccessibleDescription(cellAccessibleName(c.y(), c.x()));
    if (QAccessible::isActive()) {
        QAccessibleEvent ev(this, QAccessible::Focus);
        ev.setChild(displayRow(c.y()) * 24 + c.x());
        QAccessible::updateAccessibility(&ev);
    }
    update();
}

void ScheduleMatrix::set_Schedule_Type(int type)
{
    m_grid->set_Schedule_Type(type);
}

void ScheduleMatrix::set_Schedule(int type, int row, int col)
{
    m_grid->set_Schedule(type, row, col);
}

void ScheduleMatrix::set_Schedule_Row(int type, int row)
{
    m_grid->setRow(type, row);
}

void ScheduleMatrix::set_Schedule_Col(int type, int col)
{
    m_grid->setColumn(type, col);
}

void ScheduleMatrix::set_All_Schedule(int type)
{
    m_grid->set_All_Schedule(type);
}

} // namespace flk
