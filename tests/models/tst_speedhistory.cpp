// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The speed history: reading the NAS's speed texts, the bounded ring, gaps,
// the aggregation per pixel column and the state file.
#include "models/SpeedHistory.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace flk;

namespace {
constexpr qint64 kT0 = 1'800'000'000'000; // some day in 2027, in ms
constexpr qint64 kSec = 1000;
} // namespace

class TestSpeedHistory : public QObject
{
    Q_OBJECT

private slots:
    void readsTheNasSpeedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("bytes"); // -1: not a reading
        QTest::newRow("bare zero") << "0" << 0.0;
        QTest::newRow("bytes") << "512 B/s" << 512.0;
        QTest::newRow("kilobytes") << "1.50 KB/s" << 1536.0;
        QTest::newRow("megabytes, no /s") << "2 MB" << 2.0 * 1024 * 1024;
        QTest::newRow("binary prefix") << "1 GiB/s" << 1024.0 * 1024 * 1024;
        QTest::newRow("decimal comma") << "1,5 KB/s" << 1536.0;
        QTest::newRow("dash") << "--" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("negative") << "-3 KB/s" << -1.0;
        QTest::newRow("words") << "fast" << -1.0;
        QTest::newRow("absurd") << "99999999 TB/s" << -1.0;
    }
    void readsTheNasSpeedTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, bytes);
        const auto v = SpeedHistory::parseSpeedText(text);
        if (bytes < 0)
            QVERIFY(!v);
        else
            QCOMPARE(v.value_or(-1), bytes);
    }

    void theRingKeepsADayAndNoMore()
    {
        SpeedHistory h;
        // Two days of polls every 5 s.
        for (qint64 t = 0; t <= 48 * 3600; t += 5)
            h.add({ kT0 + t * kSec, float(t), 1 });
        QVERIFY(h.samples().size() <= SpeedHistory::kCapacity);
        QVERIFY(h.samples().first().timeMs >= h.samples().last().timeMs - SpeedHistory::kSpanMs);
        QCOMPARE(h.samples().last().timeMs, kT0 + 48 * 3600 * kSec);
        // The same number of samples however fast they come: the ring is bounded.
        SpeedHistory fast;
        for (int i = 0; i < SpeedHistory::kCapacity + 500; ++i)
            fast.add({ kT0 + i * 1100, 1, 1 });
        QCOMPARE(fast.samples().size(), qsizetype(SpeedHistory::kCapacity));
    }

    void aRefreshRightAfterAPollReplacesIt()
    {
        SpeedHistory h;
        h.add({ kT0, 10, 1 });
        h.add({ kT0 + 400, 20, 2 });
        QCOMPARE(h.samples().size(), 1);
        QCOMPARE(h.samples().first().download, 20.0f);
        h.add({ kT0 - 10 * kSec, 5, 5 }); // a poll that overtook another: ignored
        QCOMPARE(h.samples().size(), 1);
        // The clock set back an hour: the history records again at once.
        h.add({ kT0 + 5 * kSec, 21, 2 });
        h.add({ kT0 - 3600 * kSec, 7, 7 });
        QCOMPARE(h.samples().size(), 1);
        QCOMPARE(h.samples().last().download, 7.0f);
        h.add({ kT0 - 3595 * kSec, 8, 8 });
        QCOMPARE(h.samples().size(), 2);
        QVERIFY(!h.addTexts(kT0 - 3500 * kSec, "n/a", "0"));
        QCOMPARE(h.samples().size(), 2);
    }

    void columnsTakeMinAverageAndMaxAndShowGaps()
    {
        SpeedHistory h;
        // 0–60 s: a poll every 5 s, 10 and 30 in turn; then nothing until
        // 300 s (the server did not answer); then 100.
        for (int i = 0; i <= 12; ++i)
            h.add({ kT0 + i * 5 * kSec, i % 2 ? 30.0f : 10.0f, 0 });
        h.add({ kT0 + 300 * kSec, 100, 0 });
        h.add({ kT0 + 305 * kSec, 100, 0 });
        // Six columns of 60 s.
        const QList<SpeedColumn> c = h.columns(SpeedHistory::Download, kT0, kT0 + 360 * kSec, 6);
        QCOMPARE(c.size(), 6);
        QVERIFY(c[0].present);
        QCOMPARE(c[0].min, 10.0f);
        QCOMPARE(c[0].max, 30.0f);
        QCOMPARE(c[0].avg, 20.0f); // six of each in 0–55 s
        QVERIFY(c[1].present); // the poll at 60 s
        for (int i = 2; i < 5; ++i)
            QVERIFY2(!c[i].present, qPrintable(QString::number(i)));
        QVERIFY(c[5].present);
        QCOMPARE(c[5].max, 100.0f);
    }

    void narrowColumnsBetweenPollsFollowTheLine()
    {
        SpeedHistory h;
        h.add({ kT0, 0, 0 });
        h.add({ kT0 + 10 * kSec, 100, 0 });
        // Ten columns of 1 s: only two hold a sample; the others lie on the line.
        const QList<SpeedColumn> c = h.columns(SpeedHistory::Download, kT0, kT0 + 10 * kSec, 10);
        for (const SpeedColumn &col : c)
            QVERIFY(col.present);
        QCOMPARE(c[0].avg, 0.0f);
        QVERIFY(qAbs(c[5].avg - 55.0f) < 0.01f);
        // Before the first sample and after the last there is nothing to show.
        const QList<SpeedColumn> wide
            = h.columns(SpeedHistory::Download, kT0 - 20 * kSec, kT0 + 40 * kSec, 6);
        QVERIFY(!wide[0].present);
        QVERIFY(!wide[5].present);
        QVERIFY(h.columns(SpeedHistory::Download, kT0, kT0, 10).size() == 10);
        QVERIFY(SpeedHistory().columns(SpeedHistory::Upload, kT0, kT0 + 1, 3).size() == 3);
    }

    void summarySaysCurrentAverageAndPeak()
    {
        SpeedHistory h;
        QVERIFY(!h.summary(SpeedHistory::Download, kT0, kT0 + kSec));
        h.add({ kT0, 10, 1 });
        h.add({ kT0 + 5 * kSec, 50, 2 });
        h.add({ kT0 + 10 * kSec, 30, 3 });
        const auto s = h.summary(SpeedHistory::Download, kT0, kT0 + 10 * kSec);
        QVERIFY(s);
        QCOMPARE(s->current, 30.0f);
        QCOMPARE(s->average, 30.0f);
        QCOMPARE(s->peak, 50.0f);
        QCOMPARE(s->peakTimeMs, kT0 + 5 * kSec);
    }

    void theStateFileRoundTripsAndACorruptOneIsIgnored()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("speeds/server.bin");
        SpeedHistory h;
        h.setFile(path);
        for (int i = 0; i < 100; ++i)
            h.add({ kT0 + i * 5 * kSec, float(i * 1024), float(i) });
        QVERIFY(h.save());
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup),
            QFile::Permissions());

        SpeedHistory back;
        back.setFile(path);
        QVERIFY(back.load());
        QCOMPARE(back.samples().size(), 100);
        QCOMPARE(back.samples()[42].download, 42.0f * 1024);
        QCOMPARE(back.samples()[42].timeMs, kT0 + 42 * 5 * kSec);

        const QByteArray good = SpeedHistory::serialize(h.samples());
        QByteArray nan = good;
        const float bad = std::numeric_limits<float>::quiet_NaN();
        memcpy(nan.data() + 13 + 8, &bad, 4);
        QByteArray backwards = SpeedHistory::serialize({ { kT0, 1, 1 }, { kT0 - 1, 1, 1 } });
        for (const QByteArray &corrupt : { QByteArray("not ours"), good.left(good.size() - 3),
                 good + "x", nan, backwards, QByteArray() }) {
            QVERIFY(!SpeedHistory::deserialize(corrupt));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(corrupt);
            f.close();
            SpeedHistory c;
            c.setFile(path);
            QVERIFY(!c.load());
            QVERIFY(c.isEmpty());
        }
        // Kept in a file: a change is saved after the delay.
        {
            SpeedHistory kept;
            kept.keepIn(path, 10);
            QVERIFY(kept.isEmpty()); // the corrupt file above was ignored
            kept.add({ kT0, 1, 2 });
            QTRY_VERIFY(SpeedHistory::deserialize([&] {
                QFile f(path);
                return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            }())
                            .value_or(QList<SpeedSample>())
                            .size()
                == 1);
        }
        SpeedHistory none;
        none.setFile(dir.filePath("missing.bin"));
        QVERIFY(!none.load());
    }
};

QTEST_GUILESS_MAIN(TestSpeedHistory)
#include "tst_speedhistory.moc"
