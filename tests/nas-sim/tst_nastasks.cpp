// The simulated unit's tasks: categories, counts, sorting, filtering, the
// commands of both task kinds, trackers, and progress over time.
#include "SimFixture.h"

#include "api/CgiCtrl.h"

#include <QJsonArray>
#include <QtTest>

using namespace flk;

namespace {
QStringList names(const QJsonObject &reply)
{
    QStringList out;
    for (const QJsonValue &v : reply.value("files").toArray())
        out << v.toObject().value("name").toString();
    return out;
}
} // namespace

class TestNasTasks : public QObject
{
    Q_OBJECT

private slots:
    void categoriesCountsAndTotals()
    {
        nassim::NasTasks tasks;
        const QJsonObject all = tasks.list(0, "position", "asc", "", 0);
        QCOMPARE(all.value("files").toArray().size(), tasks.count());
        QCOMPARE(all.value("all").toInt(), tasks.count());
        int sum = 0;
        for (int c = 1; c <= 4; ++c) {
            const QJsonObject one = tasks.list(c, "position", "asc", "", 0);
            const char *keys[] = { "", "downloading", "completed", "active", "inactive" };
            QCOMPARE(one.value("files").toArray().size(), all.value(keys[c]).toInt());
            sum += c == 1 || c == 2 ? one.value("files").toArray().size() : 0;
        }
        QVERIFY(sum > 0);
        QVERIFY(all.value("total_download_speed").toString().endsWith("/s"));
        const QJsonObject first = all.value("files").toArray().first().toObject();
        for (const char *key : { "id", "type", "name", "position", "size", "percent", "download",
                 "upload", "eta", "queuePosition_active", "complete_time", "status", "owner" })
            QVERIFY2(first.contains(key), key);
    }

    void sortingAndFiltering()
    {
        nassim::NasTasks tasks;
        const QStringList asc = names(tasks.list(0, "name", "asc", "", 0));
        QStringList sorted = asc;
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(asc, sorted);
        QStringList desc = names(tasks.list(0, "name", "desc", "", 0));
        std::reverse(desc.begin(), desc.end());
        QCOMPARE(desc, asc);
        const QStringList iso = names(tasks.list(0, "position", "asc", "ISO", 0));
        QVERIFY(!iso.isEmpty());
        for (const QString &n : iso)
            QVERIFY(n.contains("iso", Qt::CaseInsensitive));
    }

    void progressMovesWithTheClock()
    {
        nassim::NasTasks tasks;
        const qint64 t0 = QDateTime::currentSecsSinceEpoch();
        const auto percentOf = [&](qint64 now) {
            return tasks.list(0, "position", "asc", "", now)
                .value("files")
                .toArray()
                .first()
                .toObject()
                .value("percent")
                .toString();
        };
        const QString before = percentOf(t0);
        QVERIFY(percentOf(t0 + 60) != before);
        // A task that finishes becomes completed with a completion time.
        const QJsonObject later = tasks.list(2, "position", "asc", "", t0 + 100000);
        QVERIFY(later.value("completed").toInt() >= 3);
    }

    void syntheticLists()
    {
        nassim::NasTasks tasks;
        tasks.makeSynthetic(10000);
        QCOMPARE(tasks.count(), 10000);
        const QJsonObject reply = tasks.list(0, "position", "asc", "", 0);
        QCOMPARE(reply.value("files").toArray().size(), 10000);
        QCOMPARE(reply.value("all").toInt(), 10000);
    }

    void commandsOverHttp()
    {
        SimFixture sim;
        CgiCtrl c;
        Error e;
        QVERIFY(c.login_Server(sim.http(), "admin", "admin", false, &e));
        auto reply = c.get_Torrent_List(0, "position", "asc", "", &e);
        QVERIFY(reply);
        const QJsonArray files = reply->value("files").toArray();
        QString btPaused, http;
        for (const QJsonValue &v : files) {
            const QJsonObject t = v.toObject();
            if (t.value("type") == "BT" && t.value("status") == "Paused")
                btPaused = QString::number(t.value("id").toInteger());
            if (t.value("type") == "HTTP/FTP" && http.isEmpty())
                http = QString::number(t.value("id").toInteger());
        }
        QVERIFY(!btPaused.isEmpty() && !http.isEmpty());
        QVERIFY(c.start_Torrent(btPaused, &e));
        // The same id under the other kind's acts is unknown.
        QVERIFY(!c.start_Download(btPaused, &e));
        QVERIFY(c.stop_Download(http, &e));
        QVERIFY(c.change_Torrent_Order(btPaused, "up", &e));
        const qint64 id = btPaused.toLongLong();
        QVERIFY(c.add_Torrent_Tracker(id, "udp://new.tracker.example:80", &e));
        auto info = c.get_Torrent_Info(id, "file_id", "asc", &e);
        QVERIFY(info);
        const QJsonArray trackers = info->value("tracker").toArray();
        QCOMPARE(trackers.size(), 3);
        QVERIFY(c.remove_Torrent_Tracker(id, "1,3", &e));
        info = c.get_Torrent_Info(id, "file_id", "asc", &e);
        QCOMPARE(info->value("tracker").toArray().size(), 1);
        QVERIFY(!c.get_Torrent_Info(id + 1000, "file_id", "asc", &e));
        QVERIFY(c.remove_Torrent(btPaused, 0, &e));
        QVERIFY(c.remove_Download(http, 1, &e));
        reply = c.get_Torrent_List(0, "position", "asc", "", &e);
        QCOMPARE(reply->value("files").toArray().size(), files.size() - 2);
        QVERIFY(sim.server().applyControl("tasks", "250"));
        reply = c.get_Torrent_List(0, "position", "asc", "", &e);
        QCOMPARE(reply->value("all").toInt(), 250);
    }
};

QTEST_MAIN(TestNasTasks)
#include "tst_nastasks.moc"
