// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The defaults file: the only copy of the saved servers, so it must never be
// torn, overwritten while unreadable, or readable by others.
#include "TestUtil.h"

#include "servers/DefaultsStore.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace flk;

namespace {
int mode(const QString &path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestDefaultsStore : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DefaultsStore::setBeforeRenameHook(nullptr); }

    void standardPathFollowsEnvironment()
    {
        qputenv("FERRYLINK_DEFAULTS", "/tmp/x/profile.json");
        QCOMPARE(DefaultsStore::standardPath(), QStringLiteral("/tmp/x/profile.json"));
        qunsetenv("FERRYLINK_DEFAULTS");
        qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
        QCOMPARE(DefaultsStore::standardPath(), QStringLiteral("/tmp/cfg/ferrylink/defaults.json"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(
            DefaultsStore::standardPath(), QDir::homePath() + "/.config/ferrylink/defaults.json");
    }

    void nothingWrittenUntilSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sub/defaults.json");
        DefaultsStore store(path);
        QVERIFY(store.value("com.kestrel.flk.favorites").isUndefined());
        store.setValue("k", 1);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QDir(dir.filePath("sub")).exists());
    }

    void saveIsPrivateAndRoundTrips()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a/b/defaults.json");
        {
            DefaultsStore store(path);
            store.setValue("com.kestrel.flk.favorites",
                QJsonArray { QJsonObject { { "host", "nas" }, { "default", 1 } } });
            QVERIFY(store.synchronize());
        }
        QCOMPARE(mode(path), 0600);
        QCOMPARE(mode(dir.filePath("a/b")), 0700);
        QCOMPARE(mode(dir.filePath("a")), 0700);
        DefaultsStore again(path);
        QCOMPARE(again.value("com.kestrel.flk.favorites")
                     .toArray()
                     .first()
                     .toObject()
                     .value("host")
                     .toString(),
            QStringLiteral("nas"));
        // No temporary files are left behind (the lock of the saves stays).
        QCOMPARE(QDir(dir.filePath("a/b")).entryList(QDir::Files | QDir::Hidden),
            (QStringList { ".defaults.lock", "defaults.json" }));
    }

    void unknownKeysSurviveASave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        writeFile(
            path, "{\"from_a_newer_version\": {\"x\": [1, 2]}, \"open_with\": [\"/a.torrent\"]}");
        DefaultsStore store(path);
        store.setValue("com.kestrel.flk.favorites", QJsonArray());
        QVERIFY(store.synchronize());
        const QJsonObject saved = QJsonDocument::fromJson(fileBytes(path)).object();
        QCOMPARE(saved.value("from_a_newer_version").toObject().value("x").toArray().size(), 2);
        QCOMPARE(
            saved.value("open_with").toArray().first().toString(), QStringLiteral("/a.torrent"));
    }

    void damagedFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("torn") << QByteArray("{\"com.kestrel.flk.favorites\": [{\"host\": \"n");
        QTest::newRow("not an object") << QByteArray("[1, 2]");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe garbage", 12);
    }
    void damagedFileIsKeptAside()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        writeFile(path, content);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read.*kept as"));
        DefaultsStore store(path);
        QVERIFY(store.snapshot().isEmpty());
        const QString aside = store.setAsidePath();
        QVERIFY(!aside.isEmpty());
        QCOMPARE(fileBytes(aside), content);
        store.setValue("k", "v");
        QVERIFY(store.synchronize());
        QCOMPARE(fileBytes(aside), content); // never overwritten
        QCOMPARE(QJsonDocument::fromJson(fileBytes(path)).object().value("k").toString(),
            QStringLiteral("v"));
    }

    void unreadablePathIsNeverOverwritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        QVERIFY(QDir().mkdir(path)); // something that exists but cannot be read as a file
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("will not be saved"));
        DefaultsStore store(path);
        store.setValue("k", "v");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not saved"));
        QVERIFY(!store.synchronize());
        QVERIFY(QFileInfo(path).isDir());
    }

    void saveInterruptedBeforeRenameKeepsPreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        DefaultsStore store(path);
        store.setValue(
            "com.kestrel.flk.favorites", QJsonArray { QJsonObject { { "host", "first" } } });
        QVERIFY(store.synchronize());
        const QByteArray before = fileBytes(path);

        QString tempSeen;
        DefaultsStore::setBeforeRenameHook([&](const QString &tmp) {
            tempSeen = tmp;
            // The new content is complete and flushed before the rename.
            const QJsonObject pending = QJsonDocument::fromJson(fileBytes(tmp)).object();
            return pending.value("com.kestrel.flk.favorites").toArray().size() != 2;
        });
        store.setValue("com.kestrel.flk.favorites",
            QJsonArray {
                QJsonObject { { "host", "first" } }, QJsonObject { { "host", "second" } } });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("interrupted before the rename"));
        QVERIFY(!store.synchronize());
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QFileInfo(tempSeen).absolutePath(), QFileInfo(path).absolutePath());
        // A later save goes through.
        DefaultsStore::setBeforeRenameHook(nullptr);
        QVERIFY(store.synchronize());
        QCOMPARE(QJsonDocument::fromJson(fileBytes(path))
                     .object()
                     .value("com.kestrel.flk.favorites")
                     .toArray()
                     .size(),
            2);
    }

    // Two processes of the same user on the same file: neither undoes what
    // the other saved.
    void savesOfAnotherProcessAreMergedNotUndone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        const QString key = "com.kestrel.flk.favorites";
        auto server = [](const char *host, bool isDefault = false) {
            return QJsonObject { { "host", host }, { "port", "8000" }, { "account", "admin" },
                { "is_cloud_id", false }, { "default", isDefault ? 1 : 0 } };
        };
        {
            DefaultsStore first(path);
            first.setValue(key, QJsonArray { server("a", true), server("b"), server("c") });
            first.setValue("open_with", QJsonArray { "x.torrent" });
            QVERIFY(first.synchronize());
        }
        DefaultsStore one(path), two(path);
        // The second removes b and hands over nothing any more.
        two.setValue(key, QJsonArray { server("a", true), server("c") });
        two.removeValue("open_with");
        QVERIFY(two.synchronize());
        // The first then changes a server of its own (its list still has b).
        QJsonObject renamed = server("c");
        renamed.insert("server_name", "renamed");
        one.setValue(key, QJsonArray { server("a", true), server("b"), renamed });
        QVERIFY(one.synchronize());
        QJsonObject onDisk = QJsonDocument::fromJson(fileBytes(path)).object();
        // b stays removed, c carries the rename, open_with stays gone.
        QCOMPARE(onDisk.value(key).toArray(), (QJsonArray { server("a", true), renamed }));
        QVERIFY(!onDisk.contains("open_with"));

        // The second adds a server; the first, which never saw it, saves
        // again with a new default: the added server stays, one default.
        two.setValue(key, QJsonArray { server("a", true), server("c"), server("d") });
        QVERIFY(two.synchronize());
        one.setValue(key, QJsonArray { server("a"), server("b"), QJsonObject(renamed) });
        QJsonArray withDefault = one.value(key).toArray();
        QJsonObject c = withDefault[2].toObject();
        c.insert("default", 1);
        withDefault[2] = c;
        one.setValue(key, withDefault);
        QVERIFY(one.synchronize());
        onDisk = QJsonDocument::fromJson(fileBytes(path)).object();
        const QJsonArray merged = onDisk.value(key).toArray();
        QStringList hosts;
        int defaults = 0;
        for (const QJsonValue &v : merged) {
            hosts << v["host"].toString();
            defaults += v["default"].toInt();
        }
        QCOMPARE(hosts, (QStringList { "a", "c", "d" }));
        QCOMPARE(defaults, 1);
        QCOMPARE(merged[1]["default"].toInt(), 1);
    }

    void aLinkedFileIsWrittenThrough()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("real"));
        const QString target = dir.filePath("real/defaults.json");
        writeFile(target, R"({"com.kestrel.flk.favorites":[{"host":"old"}]})");
        const QString link = dir.filePath("defaults.json");
        QVERIFY(QFile::link(target, link));
        DefaultsStore store(link);
        QCOMPARE(store.targetPath(), target);
        store.setValue(
            "com.kestrel.flk.favorites", QJsonArray { QJsonObject { { "host", "new" } } });
        QVERIFY(store.synchronize());
        // Still a link, and the target holds the new servers.
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QJsonDocument::fromJson(fileBytes(target))
                     .object()
                     .value("com.kestrel.flk.favorites")[0]["host"]
                     .toString(),
            QStringLiteral("new"));
        QCOMPARE(mode(target), 0600);
    }

    void temporariesOfAKilledSaveAreRemovedAtStart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        {
            DefaultsStore store(path);
            store.setValue("k", 1);
            QVERIFY(store.synchronize());
            // A save killed before its rename leaves its temporary file.
            DefaultsStore::setBeforeRenameHook([](const QString &) { return false; });
            store.setValue("k", 2);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("interrupted before the rename"));
            QVERIFY(!store.synchronize());
            DefaultsStore::setBeforeRenameHook(nullptr);
        }
        writeFile(dir.filePath(".defaults-abcdef"), "{}");
        writeFile(dir.filePath(".defaults-other-name"), "kept");
        QCOMPARE(
            QDir(dir.path()).entryList({ ".defaults-??????" }, QDir::Files | QDir::Hidden).size(),
            2);
        DefaultsStore again(path);
        QCOMPARE(again.value("k").toInt(), 1);
        QVERIFY(QDir(dir.path())
                    .entryList({ ".defaults-??????" }, QDir::Files | QDir::Hidden)
                    .isEmpty());
        QVERIFY(QFile::exists(dir.filePath(".defaults-other-name")));
    }
};

QTEST_MAIN(TestDefaultsStore)
#include "tst_defaultsstore.moc"
