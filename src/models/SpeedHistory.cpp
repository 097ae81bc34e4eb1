// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SpeedHistory.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace flk {

namespace {
constexpr char kMagic[] = "FLKSPEED1";
constexpr qsizetype kRecordBytes = 8 + 4 + 4;
constexpr qsizetype kMaxFileBytes = 16 + qsizetype(SpeedHistory::kCapacity) * kRecordBytes;
constexpr float kMaxSpeed = 1e12f; // 1 TB/s: anything above is not a reading

bool plausible(float v)
{
    return std::isfinite(v) && v >= 0 && v <= kMaxSpeed;
}

float valueOf(const SpeedSample &s, SpeedHistory::Series series)
{
    return series == SpeedHistory::Download ? s.download : s.upload;
}
} // namespace

SpeedHistory::SpeedHistory(QObject *parent) : QObject(parent) { }

std::optional<double> SpeedHistory::parseSpeedText(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([0-9]+(?:[.,][0-9]+)?)\\s*([kKmMgGtT]?)(i?)([bB]?)(?:/s|ps)?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString number = m.captured(1);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    double v = number.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const QString unit = m.captured(2).toUpper();
    // A bare number is bytes; a prefix without "B" ("5 k") is taken as bytes too.
    static const QString prefixes = QStringLiteral("KMGT");
    const int power = unit.isEmpty() ? 0 : int(prefixes.indexOf(unit)) + 1;
    v *= std::pow(1024.0, power);
    if (!std::isfinite(v) || v > double(kMaxSpeed))
        return std::nullopt;
    return v;
}

bool SpeedHistory::addTexts(qint64 timeMs, const QString &download, const QString &upload)
{
    const auto dl = parseSpeedText(download);
    const auto ul = parseSpeedText(upload);
    if (!dl || !ul)
        return false;
    add({ timeMs, float(*dl), float(*ul) });
    return true;
}

void SpeedHistory::add(const SpeedSample &s)
{
    if (!plausible(s.download) || !plausible(s.upload))
        return;
    if (!m_samples.isEmpty()) {
        const SpeedSample &last = m_samples.last();
        if (s.timeMs < last.timeMs - kGapMs) {
            // The clock was set back: what seems to lie ahead goes, so the
            // history keeps its order and records again at once.
            const auto from = std::upper_bound(m_samples.begin(), m_samples.end(), s.timeMs,
                [](qint64 t, const SpeedSample &x) { return t < x.timeMs; });
            m_samples.erase(from, m_samples.end());
        } else if (s.timeMs < last.timeMs) {
            return; // a poll that overtook another: keep the order
        }
        if (!m_samples.isEmpty() && s.timeMs - m_samples.last().timeMs < 1000) {
            m_samples.last() = s;
            emit changed();
            return;
        }
    }
    m_samples.append(s);
    dropOld(s.timeMs);
    emit changed();
}

void SpeedHistory::clear()
{
    m_samples.clear();
    emit changed();
}

void SpeedHistory::dropOld(qint64 nowMs)
{
    qsizetype drop = 0;
    while (drop < m_samples.size() && m_samples[drop].timeMs < nowMs - kSpanMs)
        ++drop;
    drop = std::max(drop, m_samples.size() - kCapacity);
    if (drop > 0)
        m_samples.remove(0, drop);
}

QList<SpeedSample> SpeedHistory::window(qint64 fromMs, qint64 toMs) const
{
    const auto lo = std::lower_bound(m_samples.cbegin(), m_samples.cend(), fromMs,
        [](const SpeedSample &s, qint64 t) { return s.timeMs < t; });
    const auto hi = std::upper_bound(
        lo, m_samples.cend(), toMs, [](qint64 t, const SpeedSample &s) { return t < s.timeMs; });
    return QList<SpeedSample>(lo, hi);
}

QList<SpeedColumn> SpeedHistory::columns(Series series, qint64 fromMs, qint64 toMs, int count) const
{
    QList<SpeedColumn> out(std::max(count, 0));
    if (count <= 0 || toMs <= fromMs || m_samples.isEmpty())
        return out;
    const double width = double(toMs - fromMs) / count;
    QList<double> sums(count, 0.0);
    QList<int> counts(count, 0);
    // The samples in each column.
    auto it = std::lower_bound(m_samples.cbegin(), m_samples.cend(), fromMs,
        [](const SpeedSample &s, qint64 t) { return s.timeMs < t; });
    for (; it != m_samples.cend() && it->timeMs < toMs; ++it) {
        const int c = std::clamp(int(double(it->timeMs - fromMs) / width), 0, count - 1);
        const float v = valueOf(*it, series);
        SpeedColumn &col = out[c];
        if (!col.present) {
            col.present = true;
            col.min = col.max = v;
        } else {
            col.min = std::min(col.min, v);
            col.max = std::max(col.max, v);
        }
        sums[c] += v;
        ++counts[c];
    }
    for (int c = 0; c < count; ++c) {
        if (counts[c] > 0)
            out[c].avg = float(sums[c] / counts[c]);
    }
    // Columns between two samples close enough take the line joining them;
    // those between samples further apart stay gaps.
    for (int c = 0; c < count; ++c) {
        if (out[c].present)
            continue;
        const qint64 t = fromMs + qint64((c + 0.5) * width);
        const auto next = std::lower_bound(m_samples.cbegin(), m_samples.cend(), t,
            [](const SpeedSample &s, qint64 tt) { return s.timeMs < tt; });
        if (next == m_samples.cbegin() || next == m_samples.cend())
            continue;
        const SpeedSample &b = *next;
        const SpeedSample &a = *(next - 1);
        if (b.timeMs - a.timeMs > kGapMs)
            continue;
        const double f = double(t - a.timeMs) / double(std::max<qint64>(b.timeMs - a.timeMs, 1));
        const float v = float(valueOf(a, series) + f * (valueOf(b, series) - valueOf(a, series)));
        out[c] = { true, v, v, v };
    }
    return out;
}

std::optional<SpeedHistory::Summary> SpeedHistory::summary(
    Series series, qint64 fromMs, qint64 toMs) const
{
    const QList<SpeedSample> w = window(fromMs, toMs);
    if (w.isEmpty())
        return std::nullopt;
    Summary s;
    double sum = 0;
    for (const SpeedSample &x : w) {
        const float v = valueOf(x, series);
        sum += v;
        if (v >= s.peak) {
            s.peak = v;
            s.peakTimeMs = x.timeMs;
        }
    }
    s.average = float(sum / w.size());
    s.current = valueOf(w.last(), series);
    return s;
}

// ---- persistence ----------------------------------------------------------

QByteArray SpeedHistory::serialize(const QList<SpeedSample> &samples)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    ds.setByteOrder(QDataStream::LittleEndian);
    ds.setFloatingPointPrecision(QDataStream::SinglePrecision);
    ds.writeRawData(kMagic, int(sizeof kMagic - 1));
    ds << quint32(samples.size());
    for (const SpeedSample &s : samples)
        ds << qint64(s.timeMs) << s.download << s.upload;
    return out;
}

std::optional<QList<SpeedSample>> SpeedHistory::deserialize(const QByteArray &bytes)
{
    const qsizetype head = qsizetype(sizeof kMagic - 1) + 4;
    if (bytes.size() < head || !bytes.startsWith(kMagic))
        return std::nullopt;
    QDataStream ds(bytes);
    ds.setByteOrder(QDataStream::LittleEndian);
    ds.setFloatingPointPrecision(QDataStream::SinglePrecision);
    ds.skipRawData(int(sizeof kMagic - 1));
    quint32 n = 0;
    ds >> n;
    if (n > quint32(kCapacity) || bytes.size() != head + qsizetype(n) * kRecordBytes)
        return std::nullopt;
    QList<SpeedSample> out;
    out.reserve(n);
    for (quint32 i = 0; i < n; ++i) {
        SpeedSample s;
        qint64 t = 0;
        ds >> t >> s.download >> s.upload;
        s.timeMs = t;
        if (ds.status() != QDataStream::Ok || !plausible(s.download) || !plausible(s.upload)
            || (!out.isEmpty() && t < out.last().timeMs))
            return std::nullopt;
        out.append(s);
    }
    return out;
}

void SpeedHistory::setFile(const QString &path)
{
    m_file = path;
}

SpeedHistory::~SpeedHistory()
{
    if (m_saveTimer && m_saveTimer->isActive())
        save();
}

void SpeedHistory::keepIn(const QString &path, int saveDelayMs)
{
    setFile(path);
    load();
    if (!m_saveTimer) {
        m_saveTimer = new QTimer(this);
        m_saveTimer->setSingleShot(true);
        connect(m_saveTimer, &QTimer::timeout, this, [this] { save(); });
        connect(this, &SpeedHistory::changed, m_saveTimer, [this] {
            if (!m_saveTimer->isActive())
                m_saveTimer->start();
        });
        if (QCoreApplication::instance())
            connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
                m_saveTimer->stop();
                save();
            });
    }
    m_saveTimer->setInterval(saveDelayMs);
}

bool SpeedHistory::load()
{
    QFile f(m_file);
    if (m_file.isEmpty() || !f.open(QIODevice::ReadOnly))
        return false;
    const QFileInfo info(f);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        return false;
    const auto samples = deserialize(f.read(kMaxFileBytes + 1));
    if (!samples)
        return false;
    m_samples = *samples;
    if (!m_samples.isEmpty())
        dropOld(m_samples.last().timeMs);
    emit changed();
    return true;
}

bool SpeedHistory::save() const
{
    if (m_file.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.write(serialize(m_samples));
    return f.commit();
}

} // namespace flk
