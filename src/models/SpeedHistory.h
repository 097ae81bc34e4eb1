// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;

namespace flk {

// One poll's totals: when (ms since the epoch) and the speeds in bytes/s.
struct SpeedSample {
    qint64 timeMs = 0;
    float download = 0;
    float upload = 0;
};

// One pixel column of a graph: the speeds of the samples that fell in it
// (or, between two samples close enough, the line joining them).
struct SpeedColumn {
    bool present = false; // false: a gap (the server did not answer)
    float min = 0, avg = 0, max = 0;
};

// The speed totals of one server over the last day, in a bounded ring (one
// sample per poll: 5 s while shown, 30 s while watched in the background),
// kept across restarts in a small binary file. Samples further apart than
// gapMs() have a gap between them. No widgets.
class SpeedHistory : public QObject
{
    Q_OBJECT

public:
    enum Series { Download, Upload };
    static constexpr qint64 kSpanMs = 24LL * 3600 * 1000;
    // A day of 5 s polls and some room for refreshes after commands.
    static constexpr int kCapacity = 24 * 3600 / 4;
    // Two missed 30 s watches and a little more make a gap.
    static constexpr qint64 kGapMs = 75 * 1000;

    explicit SpeedHistory(QObject *parent = nullptr);
    ~SpeedHistory() override;

    // Adds a poll's totals (texts as the NAS formats them). A total that
    // cannot be read adds nothing. A sample within 1 s of the last replaces
    // it (a refresh right after a command).
    bool addTexts(qint64 timeMs, const QString &download, const QString &upload);
    void add(const SpeedSample &s);
    const QList<SpeedSample> &samples() const { return m_samples; }
    bool isEmpty() const { return m_samples.isEmpty(); }
    void clear();

    // The samples with from <= time <= to.
    QList<SpeedSample> window(qint64 fromMs, qint64 toMs) const;
    // The window [fromMs, toMs) cut into `columns` equal columns.
    QList<SpeedColumn> columns(Series series, qint64 fromMs, qint64 toMs, int columns) const;

    // Current, average and peak of a window (none when it has no sample).
    struct Summary {
        float current = 0, average = 0, peak = 0;
        qint64 peakTimeMs = 0;
    };
    std::optional<Summary> summary(Series series, qint64 fromMs, qint64 toMs) const;

    // Persistence. A file that is not one of ours, is cut short or holds
    // impossible values is ignored (the history starts empty) and replaced
    // by the next save.
    void setFile(const QString &path);
    // Loads path and keeps the history there: saved saveDelayMs after a
    // change, when the application quits, and when the history goes with a
    // save still pending.
    void keepIn(const QString &path, int saveDelayMs = 5 * 60 * 1000);
    QString file() const { return m_file; }
    bool load();
    bool save() const;
    static QByteArray serialize(const QList<SpeedSample> &samples);
    static std::optional<QList<SpeedSample>> deserialize(const QByteArray &bytes);

    // "1.50 MB/s", "512 B/s", "0", "3 KB" → bytes per second (1024-based
    // units); none for anything else.
    static std::optional<double> parseSpeedText(const QString &text);

signals:
    void changed();

private:
    void dropOld(qint64 nowMs);

    QList<SpeedSample> m_samples; // oldest first
    QString m_file;
    QTimer *m_saveTimer = nullptr;
};

} // namespace flk
