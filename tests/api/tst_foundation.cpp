// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Shared helpers: text formatting, the string table, null-safe JSON reading and
// the notification center.
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QXmlStreamReader>
#include <QtTest>

using namespace flk;

namespace {

QHash<QString, QString> tableEntries()
{
    QHash<QString, QString> out;
    QFile f(QStringLiteral(FERRYLINK_SOURCE_DIR "/translations/ferrylink_en.ts"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&f);
    QString id;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("message"))
            id = xml.attributes().value("id").toString();
        else if (xml.isStartElement() && xml.name() == QLatin1String("translation"))
            out.insert(id, xml.readElementText());
    }
    return out;
}

} // namespace

class TestFoundation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }

    void kstFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in order") << "{0} of {1}" << QStringList { "a", "b" } << "a of b";
        QTest::newRow("reordered") << "{1} before {0}" << QStringList { "a", "b" } << "b before a";
        QTest::newRow("repeated") << "{0}{0}" << QStringList { "x" } << "xx";
        QTest::newRow("ten") << "{9}"
                             << QStringList { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9" }
                             << "9";
        QTest::newRow("missing arg") << "[{2}]" << QStringList { "a" } << "[]";
        QTest::newRow("arg holds placeholder")
            << "{0}/{1}" << QStringList { "{1}", "b" } << "{1}/b";
        QTest::newRow("not a placeholder") << "{a} {10} %@" << QStringList { "x" } << "{a} {10} %@";
        QTest::newRow("no placeholders") << "plain" << QStringList { "x" } << "plain";
    }
    void kstFormat()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(stringWithKSTFormat(format, args), expected);
    }

    void everyKeyInCodeIsInTheTable()
    {
        const QHash<QString, QString> table = tableEntries();
        QVERIFY(table.size() > 250);
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));

        const QRegularExpression use(
            QStringLiteral("(?:qtTrId|QT_TRID_NOOP|localized)\\(\\s*\"([^\"]+)\""));
        QSet<QString> missing;
        int found = 0;
        for (const char *dir : { "/src", "/tests" }) {
            QDirIterator it(QStringLiteral(FERRYLINK_SOURCE_DIR) + QLatin1String(dir),
                { "*.cpp", "*.h" }, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString text = QString::fromUtf8(f.readAll());
                for (const auto &m : use.globalMatch(text)) {
                    ++found;
                    if (!table.contains(m.captured(1)))
                        missing.insert(m.captured(1));
                }
            }
        }
        QVERIFY(found > 30);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringList(missing.values()).join(", ")));
    }

    void translatorServesTheTable()
    {
        QCOMPARE(localized("TXT_RE_CONNECT_NAS"), tableEntries().value("TXT_RE_CONNECT_NAS"));
        QVERIFY(localized("TXT_RE_CONNECT_NAS") != QLatin1String("TXT_RE_CONNECT_NAS"));
    }

    void nullMembersReadAsEmpty()
    {
        const QJsonObject o = QJsonDocument::fromJson(
            "{\"n\": null, \"s\": \"12abc\", \"b\": \"true\", \"d\": 2.5, \"a\": [1], "
            "\"o\": {\"k\": 1}}")
                                  .object();
        QTest::ignoreMessage(QtInfoMsg, "Error operation for NSNull");
        QCOMPARE(json::intValue(o, u"n"), 0);
        QTest::ignoreMessage(QtInfoMsg, "Error operation for NSNull");
        QCOMPARE(json::stringValue(o, u"n"), QString());
        QTest::ignoreMessage(QtInfoMsg, "Error operation for NSNull");
        QVERIFY(json::arrayValue(o, u"n").isEmpty());
        QTest::ignoreMessage(QtInfoMsg, "Error operation for NSNull");
        QVERIFY(json::objectValue(o, u"n").isEmpty());
        QTest::ignoreMessage(QtInfoMsg, "Error operation for NSNull");
        QCOMPARE(json::doubleValue(o, u"n"), 0.0);
        // Wrong types and absent members read as empty, without a log line.
        QCOMPARE(json::intValue(o, u"s"), 12);
        QVERIFY(json::boolValue(o, u"b"));
        QCOMPARE(json::intValue(o, u"d"), 2);
        QCOMPARE(json::stringValue(o, u"d"), QStringLiteral("2.5"));
        QVERIFY(json::arrayValue(o, u"o").isEmpty());
        QVERIFY(json::objectValue(o, u"a").isEmpty());
        QCOMPARE(json::intValue(o, u"absent"), 0);
        QCOMPARE(json::intValue(o, u"a"), 0);
        QCOMPARE(json::objectForKey(o, u"absent", 7).toInt(), 7);
        QVERIFY(json::objectForKey(o, u"n", 7).isNull());
        QVERIFY(json::at(json::arrayValue(o, u"a"), 5).isUndefined());
    }

    void notificationsReachOnlyTheirSender()
    {
        auto *center = NotificationCenter::defaultCenter();
        QObject hostA, hostB, paneA, paneB;
        QStringList heard;
        center->addObserver(
            "n", &hostA,
            [&](const Notification &n) { heard << "A:" + n.userInfo.value("v").toString(); },
            &paneA);
        center->addObserver(
            "n", &hostB,
            [&](const Notification &n) { heard << "B:" + n.userInfo.value("v").toString(); },
            &paneB);
        QObject any;
        center->addObserver("n", &any, [&](const Notification &) { heard << "any"; });
        center->post("n", &paneA, { { "v", 1 } });
        QCOMPARE(heard, (QStringList { "A:1", "any" }));
        heard.clear();
        center->post("other", &paneA);
        QVERIFY(heard.isEmpty());
        center->removeObserver(&any);
        center->post("n", &paneB, { { "v", 2 } });
        QCOMPARE(heard, QStringList { "B:2" });
    }

    void destroyedObserversAndSendersAreForgotten()
    {
        auto *center = NotificationCenter::defaultCenter();
        const int before = center->observationCount();
        int calls = 0;
        {
            QObject observer;
            center->addObserver("gone", &observer, [&](const Notification &) { ++calls; });
            QCOMPARE(center->observationCount(), before + 1);
        }
        QCOMPARE(center->observationCount(), before);
        center->post("gone");
        QCOMPARE(calls, 0);

        QObject observer;
        auto *sender = new QObject;
        center->addObserver(
            "gone", &observer, [&](const Notification &) { ++calls; }, sender);
        delete sender;
        QCOMPARE(center->observationCount(), before);

        // An observer destroyed by an earlier callback of the same post hears nothing.
        auto *second = new QObject;
        QObject first;
        center->addObserver("chain", &first, [&](const Notification &) {
            delete second;
            second = nullptr;
        });
        center->addObserver("chain", second, [&](const Notification &) { ++calls; });
        center->post("chain");
        QCOMPARE(calls, 0);
        center->removeObserver(&first);
    }

    void deliveryIsOnThePostingThread()
    {
        auto *center = NotificationCenter::defaultCenter();
        QObject observer;
        QThread *seen = nullptr;
        center->addObserver(
            "thread", &observer, [&](const Notification &) { seen = QThread::currentThread(); });
        QThread *worker = QThread::create([&] { center->post("thread"); });
        worker->start();
        QVERIFY(worker->wait(5000));
        QCOMPARE(seen, worker);
        delete worker;
    }
};

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
