// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/SpeedHistory.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QTimer;

namespace flk {

// Download and upload speed over a time window ending now, drawn with
// QPainter from a SpeedHistory: one min–max band and average line per
// series, per pixel column; gaps where the server did not answer; optional
// limit lines (the schedule's). Compact (a toolbar sparkline, no axes) or
// full (time axis in the locale's format, speed axis, tooltip with the value
// under the pointer). Colours come from the palette (light and dark).
class SpeedGraph : public QWidget
{
    Q_OBJECT

public:
    explicit SpeedGraph(QWidget *parent = nullptr);

    void setHistory(SpeedHistory *history);
    SpeedHistory *history() const { return m_history; }
    void setSpanMs(qint64 ms);
    qint64 spanMs() const { return m_spanMs; }
    void setCompact(bool compact);
    // Limits over the window, in bytes/s per pixel column (none: no limit at
    // that time), for download and upload; empty: no lines.
    using LimitAt = std::function<std::optional<double>(qint64 timeMs, SpeedHistory::Series)>;
    void setLimits(LimitAt limits);
    // The moment the window ends (default: the clock; tests pin it).
    void setNowForTesting(qint64 ms) { m_fixedNow = ms; }
    qint64 nowMs() const;

    // The text alternative: current, average and peak of both series.
    QString summaryText() const;
    // The value under a column (for the tooltip).
    QString textAt(int x) const;
    // "12 KB/s", "3.4 MB/s".
    static QString speedText(double bytesPerSecond);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRectF plotRect() const;
    void updateAccessibleText();

    QPointer<SpeedHistory> m_history;
    qint64 m_spanMs = 10 * 60 * 1000;
    bool m_compact = false;
    LimitAt m_limits;
    qint64 m_fixedNow = 0;
    QTimer *m_tick;
};

} // namespace flk
