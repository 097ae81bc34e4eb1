// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The speed graph paints whatever the history holds (nothing, one poll, a
// day) and says it in words; the schedule's limits at a moment.
#include "api/Localization.h"
#include "models/SpeedHistory.h"
#include "preferences/SpeedLimitSchedule.h"
#include "ui/SpeedGraph.h"

#include <QApplication>
#include <QJsonArray>
#include <QtTest>

using namespace flk;

namespace {
constexpr qint64 kNow = 1'800'000'000'000;

// How many pixels of the image have roughly this colour.
int pixelsNear(const QImage &image, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (qAbs(p.red() - c.red()) < 40 && qAbs(p.green() - c.green()) < 40
                && qAbs(p.blue() - c.blue()) < 40)
                ++n;
        }
    return n;
}
} // namespace

class TestSpeedGraph : public QObject
{
    Q_OBJECT

    SpeedHistory history;
    QImage render(SpeedGraph &g)
    {
        g.resize(400, 200);
        QImage image(g.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        g.render(&image);
        return image;
    }

private slots:
    void paintsNothingOnePointAndADay()
    {
        SpeedGraph g;
        g.setNowForTesting(kNow);
        const QColor download(0x1c, 0x71, 0xd8); // the light palette's blue
        QPalette light = g.palette();
        light.setColor(QPalette::Window, Qt::white);
        light.setColor(QPalette::Base, Qt::white);
        g.setPalette(light);

        // No history at all, then an empty one: the frame and the words only.
        QCOMPARE(pixelsNear(render(g), download), 0);
        g.setHistory(&history);
        QCOMPARE(pixelsNear(render(g), download), 0);
        QCOMPARE(g.summaryText(), localizedNoData());

        // One poll: a dot's worth, nothing to join.
        history.add({ kNow - 30'000, 2e6f, 1e5f });
        render(g); // must not fail
        QVERIFY(g.summaryText().contains("1.9 MB/s"));

        // A day of polls every 5 s, in the 24-hour view.
        history.clear();
        for (qint64 t = kNow - SpeedHistory::kSpanMs; t <= kNow; t += 5000)
            history.add({ t, float(1e6 + (t / 5000 % 100) * 1e4), 2e5f });
        g.setSpanMs(SpeedHistory::kSpanMs);
        const QImage day = render(g);
        QVERIFY(pixelsNear(day, download) > 200);
        QVERIFY(!g.textAt(200).isEmpty());
    }

    void compactGraphSaysItInItsToolTip()
    {
        SpeedGraph g;
        g.setNowForTesting(kNow);
        g.setCompact(true);
        history.clear();
        history.add({ kNow - 10'000, 1024, 512 });
        g.setHistory(&history);
        QVERIFY(g.toolTip().contains("1.0 KB/s"));
        QCOMPARE(g.accessibleDescription(), g.toolTip());
        QCOMPARE(g.sizeHint().height(), 24);
    }

    void scheduleLimitsAtAMoment()
    {
        // Limited from 01:00 to 07:00, stopped from 19:00 to 21:00, seeding
        // only at 23:00, at the computer's local hours.
        QJsonArray day;
        for (int h = 0; h < 24; ++h)
            day.append(h >= 1 && h < 7 ? 3 : (h == 19 || h == 20) ? 2 : h == 23 ? 4 : 1);
        QJsonObject schedule { { "enable_scheduler", true }, { "max_download_speed", 512 },
            { "max_upload_speed", 128 } };
        for (const char *d : { "sun", "mon", "tue", "wed", "thu", "fri", "sat" })
            schedule.insert(d, day);
        const auto at = [](int hour) {
            return QDateTime(QDate(2027, 3, 3), QTime(hour, 30)).toMSecsSinceEpoch();
        };
        using S = SpeedHistory::Series;
        QCOMPARE(SpeedLimitSchedule::limitAt(schedule, at(3), S::Download), 512.0 * 1024);
        QCOMPARE(SpeedLimitSchedule::limitAt(schedule, at(3), S::Upload), 128.0 * 1024);
        QCOMPARE(SpeedLimitSchedule::limitAt(schedule, at(19), S::Download), 0.0);
        QCOMPARE(SpeedLimitSchedule::limitAt(schedule, at(23), S::Download), 0.0);
        QVERIFY(!SpeedLimitSchedule::limitAt(schedule, at(23), S::Upload));
        QVERIFY(!SpeedLimitSchedule::limitAt(schedule, at(12), S::Download));
        schedule.insert("enable_scheduler", false);
        QVERIFY(!SpeedLimitSchedule::limitAt(schedule, at(3), S::Download));
        schedule.insert("enable_scheduler", true);
        schedule.insert("wed", "1,1,1"); // a day in another form draws nothing
        QVERIFY(!SpeedLimitSchedule::limitAt(schedule, at(3), S::Download));
    }

private:
    static QString localizedNoData();
};

QString TestSpeedGraph::localizedNoData()
{
    return flk::localized("TXT_GRAPH_NO_DATA");
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    if (!flk::installTranslations())
        return 1;
    TestSpeedGraph t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_speedgraph.moc"
