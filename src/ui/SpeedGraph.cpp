// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SpeedGraph.h"

#include "api/Localization.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace flk {

namespace {

// The series' colours, readable on light and dark palettes.
QColor seriesColor(SpeedHistory::Series s, const QPalette &p)
{
    const bool dark = p.color(QPalette::Window).lightness() < 128;
    if (s == SpeedHistory::Download)
        return dark ? QColor(0x62, 0xa0, 0xea) : QColor(0x1c, 0x71, 0xd8);
    return dark ? QColor(0x8f, 0xf0, 0xa4) : QColor(0x26, 0xa2, 0x69);
}

// A round top for the speed axis: 1, 2 or 5 times a power of ten of the
// unit the axis shows (B/s, KB/s, MB/s … 1024 apart).
double niceTop(double v)
{
    if (v <= 0)
        return 1024;
    double unit = 1;
    while (v / unit >= 1024 && unit < 1024.0 * 1024 * 1024 * 1024)
        unit *= 1024;
    const double x = v / unit;
    const double p = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : { 1.0, 2.0, 5.0, 10.0 })
        if (m * p >= x)
            return m * p * unit;
    return 10 * p * unit;
}

// The time axis' step: the first of these at least minMs long.
qint64 tickStepMs(qint64 minMs)
{
    static const qint64 steps[] = { 60'000, 120'000, 300'000, 600'000, 900'000, 1'800'000,
        3'600'000, 7'200'000, 10'800'000, 21'600'000, 43'200'000 };
    for (qint64 s : steps)
        if (s >= minMs)
            return s;
    return 86'400'000;
}

} // namespace

SpeedGraph::SpeedGraph(QWidget *parent) : QWidget(parent), m_tick(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMouseTracking(true);
    // The window moves on with the clock even while no poll comes.
    m_tick->setInterval(5000);
    connect(m_tick, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_tick->start();
}

void SpeedGraph::setHistory(SpeedHistory *history)
{
    if (m_history)
        disconnect(m_history, nullptr, this, nullptr);
    m_history = history;
    if (m_history)
        connect(m_history, &SpeedHistory::changed, this, [this] {
            update();
            updateAccessibleText();
        });
    updateAccessibleText();
    update();
}

void SpeedGraph::setSpanMs(qint64 ms)
{
    m_spanMs = std::max<qint64>(ms, 60 * 1000);
    m_tick->setInterval(int(std::clamp<qint64>(m_spanMs / 600, 1000, 60000)));
    updateAccessibleText();
    update();
}

void SpeedGraph::setCompact(bool compact)
{
    m_compact = compact;
    updateGeometry();
    update();
}

void SpeedGraph::setLimits(LimitAt limits)
{
    m_limits = std::move(limits);
    update();
}

qint64 SpeedGraph::nowMs() const
{
    return m_fixedNow ? m_fixedNow : QDateTime::currentMSecsSinceEpoch();
}

QSize SpeedGraph::sizeHint() const
{
    return m_compact ? QSize(120, 24) : QSize(640, 260);
}

QSize SpeedGraph::minimumSizeHint() const
{
    return m_compact ? QSize(60, 18) : QSize(240, 120);
}

QString SpeedGraph::speedText(double v)
{
    static const char *units[] = { "B/s", "KB/s", "MB/s", "GB/s", "TB/s" };
    int u = 0;
    while (v >= 1024 && u < 4) {
        v /= 1024;
        ++u;
    }
    return QLocale().toString(v, 'f', u == 0 || v >= 100 ? 0 : 1) + QLatin1Char(' ')
        + QLatin1String(units[u]);
}

QString SpeedGraph::summaryText() const
{
    const qint64 to = nowMs(), from = to - m_spanMs;
    if (!m_history)
        return localized("TXT_GRAPH_NO_DATA");
    const auto dl = m_history->summary(SpeedHistory::Download, from, to);
    const auto ul = m_history->summary(SpeedHistory::Upload, from, to);
    if (!dl || !ul)
        return localized("TXT_GRAPH_NO_DATA");
    return stringWithKSTFormat(localized("TXT_GRAPH_SUMMARY"),
        { speedText(dl->current), speedText(dl->average), speedText(dl->peak),
            speedText(ul->current), speedText(ul->average), speedText(ul->peak) });
}

void SpeedGraph::updateAccessibleText()
{
    const QString text = summaryText();
    setAccessibleDescription(text);
    setAccessibleName(localized("TXT_GRAPH_NAME"));
    if (m_compact)
        setToolTip(text);
}

QRectF SpeedGraph::plotRect() const
{
    if (m_compact)
        return QRectF(rect()).adjusted(1, 1, -1, -1);
    const QFontMetrics fm(font());
    const int left = fm.horizontalAdvance(QStringLiteral("000.0 MB/s")) + 8;
    return QRectF(rect()).adjusted(left, fm.height() / 2.0 + 2, -8, -(fm.height() + 8));
}

QString SpeedGraph::textAt(int x) const
{
    const QRectF plot = plotRect();
    if (!m_history || plot.width() < 1 || x < plot.left() || x > plot.right())
        return {};
    const int columns = int(plot.width());
    const qint64 to = nowMs(), from = to - m_spanMs;
    const int c = std::clamp(int(x - plot.left()), 0, columns - 1);
    const SpeedColumn d = m_history->columns(SpeedHistory::Download, from, to, columns).value(c);
    const SpeedColumn u = m_history->columns(SpeedHistory::Upload, from, to, columns).value(c);
    const qint64 t = from + qint64((c + 0.5) * double(m_spanMs) / columns);
    const QString when
        = QLocale().toString(QDateTime::fromMSecsSinceEpoch(t).time(), QLocale::ShortFormat);
    if (!d.present)
        return stringWithKSTFormat(localized("TXT_GRAPH_GAP_AT"), { when });
    return stringWithKSTFormat(
        localized("TXT_GRAPH_VALUE_AT"), { when, speedText(d.avg), speedText(u.avg) });
}

bool SpeedGraph::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip && !m_compact) {
        auto *help = static_cast<QHelpEvent *>(e);
        const QString text = textAt(help->pos().x());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(e);
}

void SpeedGraph::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPalette pal = palette();
    const QRectF plot = plotRect();
    if (!m_compact) {
        p.fillRect(plot, pal.color(QPalette::Base));
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(plot);
    }
    const int columns = std::max(1, int(plot.width()));
    const qint64 to = nowMs(), from = to - m_spanMs;
    QList<SpeedColumn> series[2];
    double top = 0;
    if (m_history) {
        for (int s = 0; s < 2; ++s) {
            series[s] = m_history->columns(SpeedHistory::Series(s), from, to, columns);
            for (const SpeedColumn &c : std::as_const(series[s]))
                if (c.present)
                    top = std::max(top, double(c.max));
        }
    }
    const double colMs = double(m_spanMs) / columns;
    std::optional<double> limitTop;
    if (m_limits && !m_compact) {
        for (int c = 0; c < columns; c += std::max(1, columns / 200)) {
            for (int s = 0; s < 2; ++s)
                if (const auto l = m_limits(from + qint64(c * colMs), SpeedHistory::Series(s)))
                    limitTop = std::max(limitTop.value_or(0), *l);
        }
        if (limitTop)
            top = std::max(top, *limitTop);
    }
    top = niceTop(top * 1.05);
    auto yOf = [&](double v) { return plot.bottom() - (v / top) * plot.height(); };

    if (!m_compact) {
        // Speed axis: three lines with their values; time axis: ticks in
        // the locale's time format.
        const QFontMetrics fm(font());
        p.setPen(QPen(pal.color(QPalette::Mid), 1, Qt::DotLine));
        for (int i = 1; i <= 2; ++i) {
            const double y = yOf(top * i / 2);
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
        p.setPen(pal.color(QPalette::WindowText));
        for (int i = 0; i <= 2; ++i) {
            const double y = yOf(top * i / 2);
            const QString text = speedText(top * i / 2);
            p.drawText(QRectF(0, y - fm.height() / 2.0, plot.left() - 6, fm.height()),
                Qt::AlignRight | Qt::AlignVCenter, text);
        }
        // Ticks on whole minutes or hours of local time, at least 110 px apart.
        const qint64 step = tickStepMs(qint64(110.0 * double(m_spanMs) / plot.width()));
        const qint64 offset = QDateTime::fromMSecsSinceEpoch(from).offsetFromUtc() * 1000LL;
        qint64 t = ((from + offset) / step + 1) * step - offset;
        const bool showDate = m_spanMs > 12LL * 3600 * 1000;
        for (; t < to; t += step) {
            const double x = plot.left() + plot.width() * double(t - from) / double(m_spanMs);
            const QDateTime when = QDateTime::fromMSecsSinceEpoch(t);
            QString text = QLocale().toString(when.time(), QLocale::ShortFormat);
            if (showDate && when.time().hour() == 0 && when.time().minute() == 0)
                text = QLocale().toString(when.date(), QLocale::ShortFormat);
            p.setPen(pal.color(QPalette::Mid));
            p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
            p.setPen(pal.color(QPalette::WindowText));
            const double w = fm.horizontalAdvance(text) + 4;
            const double left = std::clamp(x - w / 2, 0.0, double(width()) - w);
            p.drawText(QRectF(left, plot.bottom() + 5, w, fm.height()), Qt::AlignCenter, text);
        }
    } else {
        // A faint ground so the sparkline reads as a graph, not a stray line.
        QColor ground = pal.color(QPalette::WindowText);
        ground.setAlpha(24);
        p.setPen(Qt::NoPen);
        p.setBrush(ground);
        p.drawRoundedRect(QRectF(rect()), 3, 3);
    }

    // Each series: the min–max band, then the average line; a gap breaks both.
    for (int s = 1; s >= 0; --s) {
        const QColor color = seriesColor(SpeedHistory::Series(s), pal);
        QColor band = color;
        band.setAlpha(60);
        QPainterPath line;
        QList<QRect> bands;
        bands.reserve(series[s].size());
        bool open = false;
        for (int c = 0; c < series[s].size(); ++c) {
            const SpeedColumn &col = series[s][c];
            const double x = plot.left() + c + 0.5;
            if (!col.present) {
                open = false;
                continue;
            }
            if (col.max > col.min) {
                // One pixel wide, on whole pixels: no antialiasing needed.
                const int top = int(std::floor(yOf(col.max)));
                const int bottom = int(std::ceil(yOf(col.min)));
                bands.append(QRect(int(plot.left()) + c, top, 1, std::max(1, bottom - top)));
            }
            const QPointF pt(x, yOf(col.avg));
            if (open)
                line.lineTo(pt);
            else
                line.moveTo(pt);
            open = true;
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawRects(bands);
        p.setRenderHint(QPainter::Antialiasing, true);
        // A cosmetic pen takes the rasterizer's fast stroker (a day is a
        // point per pixel column).
        QPen pen(color, m_compact ? 1.2 : 1.6);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
    }

    // The limits as dashed lines in each series' colour, where they apply.
    if (m_limits && !m_compact) {
        for (int s = 0; s < 2; ++s) {
            QPen pen(seriesColor(SpeedHistory::Series(s), pal), 1, Qt::DashLine);
            p.setPen(pen);
            QPainterPath path;
            bool open = false;
            for (int c = 0; c < columns; ++c) {
                const auto l = m_limits(from + qint64((c + 0.5) * colMs), SpeedHistory::Series(s));
                if (!l) {
                    open = false;
                    continue;
                }
                const QPointF pt(plot.left() + c + 0.5, yOf(*l));
                if (open)
                    path.lineTo(pt);
                else
                    path.moveTo(pt);
                open = true;
            }
            p.drawPath(path);
        }
    }

    if (!m_compact && (!m_history || m_history->window(from, to).isEmpty())) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(plot, Qt::AlignCenter, localized("TXT_GRAPH_NO_DATA"));
    }
}

} // namespace flk
