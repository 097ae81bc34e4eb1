// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The removal helper: its allow-list, deleting without following links, and
// the installed program fed good, hostile and malformed requests.
#include "InstalledPrefix.h"
#include "PurgeRules.h"

#include <QtTest>

#include <sstream>
#include <unistd.h>

namespace {
void writeFile(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The installed helper, started directly (as this user), with its answers.
struct Helper {
    QProcess p;
    explicit Helper(const QString &program, const QStringList &args = {})
    {
        p.start(program, args);
        p.waitForStarted(5000);
    }
    ~Helper()
    {
        if (p.state() != QProcess::NotRunning) {
            p.closeWriteChannel();
            if (!p.waitForFinished(5000))
                p.kill();
        }
    }
    QString line()
    {
        while (!p.canReadLine())
            if (!p.waitForReadyRead(5000))
                return QStringLiteral("<no answer>");
        return QString::fromUtf8(p.readLine()).trimmed();
    }
    QString ask(const QByteArray &request)
    {
        p.write(request + '\n');
        return line();
    }
    int end()
    {
        p.closeWriteChannel();
        if (!p.waitForFinished(5000))
            return -1;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
};
} // namespace

class TestPurgehand : public QObject
{
    Q_OBJECT

private slots:
    void allowListFromManifest()
    {
        std::istringstream manifest("bin/ferrylink\n"
                                    "share/ferrylink/translations/en.qm\r\n"
                                    "../../etc/passwd\n"
                                    "/etc/shadow\n"
                                    "share/./x\n"
                                    "share//y\n"
                                    "\n"
                                    "libexec/ferrylink/purgehand\n");
        const purgehand::AllowList a = purgehand::buildAllowList(
            "/opt/p/", manifest, "share/ferrylink/install-manifest.txt", "ferrylink");
        QCOMPARE(a.prefix, std::string("/opt/p"));
        QCOMPARE(a.files,
            (std::set<std::string> { "/opt/p/bin/ferrylink",
                "/opt/p/share/ferrylink/translations/en.qm", "/opt/p/libexec/ferrylink/purgehand",
                "/opt/p/share/ferrylink/install-manifest.txt" }));
        // Only the product's own folders; never bin, share or libexec.
        QCOMPARE(a.folders,
            (std::set<std::string> { "/opt/p/share/ferrylink",
                "/opt/p/share/ferrylink/translations", "/opt/p/libexec/ferrylink" }));

        using V = purgehand::Verdict;
        QCOMPARE(purgehand::checkPath(a, "/opt/p/bin/ferrylink"), V::File);
        QCOMPARE(purgehand::checkPath(a, "/opt/p/share/ferrylink"), V::Folder);
        QCOMPARE(purgehand::checkPath(a, "/opt/p/share"), V::NotListed);
        QCOMPARE(purgehand::checkPath(a, "/etc/passwd"), V::NotListed);
        QCOMPARE(purgehand::checkPath(a, "bin/ferrylink"), V::Relative);
        QCOMPARE(purgehand::checkPath(a, "/opt/p/share/../bin/ferrylink"), V::DotComponent);
        QCOMPARE(purgehand::checkPath(a, "/opt/p/./bin/ferrylink"), V::DotComponent);
        QCOMPARE(purgehand::checkPath(a, "/opt/p/bin/ferrylink\x01"), V::Malformed);
        QCOMPARE(purgehand::checkPath(a, ""), V::Malformed);

        // A root prefix does not double the slash.
        std::istringstream one("usr/bin/ferrylink\n");
        const auto root = purgehand::buildAllowList("/", one, "m", "ferrylink");
        QVERIFY(root.files.count("/usr/bin/ferrylink"));
    }

    void removalNeverFollowsLinks()
    {
        QTemporaryDir tmp;
        const QString base = QFileInfo(tmp.path()).canonicalFilePath();
        writeFile(base + "/outside/secret.txt", "keep");
        writeFile(base + "/outside/sub/data.txt", "keep");
        QDir().mkpath(base + "/p/share");
        // A file that is a link: the link goes, the target stays.
        QVERIFY(QFile::link(base + "/outside/secret.txt", base + "/p/share/app.txt"));
        QCOMPARE(purgehand::removeNoFollow((base + "/p/share/app.txt").toStdString(), false), 0);
        QVERIFY(!QFileInfo(base + "/p/share/app.txt").isSymLink());
        QVERIFY(QFile::exists(base + "/outside/secret.txt"));
        // A folder on the way that is a link stops the removal.
        QVERIFY(QFile::link(base + "/outside/sub", base + "/p/share/sub"));
        QCOMPARE(purgehand::removeNoFollow((base + "/p/share/sub/data.txt").toStdString(), false),
            ELOOP);
        QVERIFY(QFile::exists(base + "/outside/sub/data.txt"));
        // A link named as a folder is not a folder.
        QCOMPARE(purgehand::removeNoFollow((base + "/p/share/sub").toStdString(), true), ENOTDIR);
        // A plain file where a folder on the way belongs is named as such,
        // not as a link.
        writeFile(base + "/p/plain", "a file");
        QCOMPARE(
            purgehand::removeNoFollow((base + "/p/plain/x.txt").toStdString(), false), ENOTDIR);
        QCOMPARE(purgehand::removeNoFollow((base + "/p/plain").toStdString(), true), ENOTDIR);
        std::string answer;
        purgehand::AllowList allow;
        allow.files.insert((base + "/p/plain/x.txt").toStdString());
        allow.folders.insert((base + "/p/plain").toStdString());
        purgehand::handleRequest(
            allow, ("remove-reply " + base + "/p/plain/x.txt").toStdString(), &answer);
        QCOMPARE(QString::fromStdString(answer),
            QStringLiteral("ERR ENOTDIR a file stands where a folder belongs; left alone"));
        purgehand::handleRequest(
            allow, ("remove-reply " + base + "/p/plain").toStdString(), &answer);
        QVERIFY(QString::fromStdString(answer).startsWith("ERR ENOTDIR a file stands"));
        QVERIFY(QFile::exists(base + "/p/plain"));
        // Folders go only when empty, files are not folders, gone is ENOENT.
        writeFile(base + "/p/own/f.txt");
        QCOMPARE(purgehand::removeNoFollow((base + "/p/own").toStdString(), true), ENOTEMPTY);
        QCOMPARE(purgehand::removeNoFollow((base + "/p/own").toStdString(), false), EISDIR);
        QCOMPARE(purgehand::removeNoFollow((base + "/p/own/f.txt").toStdString(), false), 0);
        QCOMPARE(purgehand::removeNoFollow((base + "/p/own").toStdString(), true), 0);
        QCOMPARE(purgehand::removeNoFollow((base + "/p/own").toStdString(), true), ENOENT);
        QCOMPARE(purgehand::removeNoFollow("relative", false), EINVAL);
    }

    void installedHelperDeletesOnlyItsOwnFiles()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        const QString base = QFileInfo(inst.dir.path()).canonicalFilePath();
        writeFile(base + "/outside/secret.txt", "keep");
        writeFile(base + "/outside/metainfo/com.kestrel.Ferrylink.metainfo.xml", "keep");
        // Plant a link in place of an installed file, and a linked folder.
        const QString desktop = inst.path("share/applications/com.kestrel.Ferrylink.desktop");
        QVERIFY(QFile::remove(desktop));
        QVERIFY(QFile::link(base + "/outside/secret.txt", desktop));
        QVERIFY(QDir(inst.path("share/metainfo")).removeRecursively());
        QVERIFY(QFile::link(base + "/outside/metainfo", inst.path("share/metainfo")));
        const QStringList before = inst.files();

        Helper h(inst.helper());
        QCOMPARE(h.line(), QStringLiteral("READY 1"));
        // Refused: outside, relative, "..", a prefix folder not its own.
        for (const QByteArray &path : { (base + "/outside/secret.txt").toUtf8(),
                 QByteArray("bin/ferrylink"), (inst.prefix + "/share/../bin/ferrylink").toUtf8(),
                 inst.prefix.toUtf8(), (inst.prefix + "/share").toUtf8(), QByteArray("/") })
            QVERIFY2(h.ask("remove-reply " + path).startsWith("ERR EPERM"), path.constData());
        QCOMPARE(inst.files(), before);

        // The planted link goes as a link; its target stays.
        QCOMPARE(h.ask("remove-reply " + desktop.toUtf8()), QStringLiteral("OK"));
        QVERIFY(!QFileInfo(desktop).isSymLink() && !QFile::exists(desktop));
        QVERIFY(QFile::exists(base + "/outside/secret.txt"));
        // Through the linked folder nothing is deleted.
        QVERIFY(h.ask("remove-reply "
                     + inst.path("share/metainfo/com.kestrel.Ferrylink.metainfo.xml").toUtf8())
                    .startsWith("ERR ELOOP"));
        QVERIFY(QFile::exists(base + "/outside/metainfo/com.kestrel.Ferrylink.metainfo.xml"));
        // Gone is ENOENT; a non-empty own folder stays.
        QVERIFY(h.ask("remove-reply " + desktop.toUtf8()).startsWith("ERR ENOENT"));
        QVERIFY(h.ask("remove-reply " + inst.path("share/ferrylink").toUtf8())
                    .startsWith("ERR ENOTEMPTY"));
        // The one-way form answers nothing but removes; answers stay in order.
        h.p.write("remove " + inst.path("bin/ferrylink").toUtf8() + '\n');
        QCOMPARE(
            h.ask("remove-reply " + inst.path("bin/sweepdeck").toUtf8()), QStringLiteral("OK"));
        QVERIFY(!QFile::exists(inst.path("bin/ferrylink")));
        QCOMPARE(h.end(), 0);
    }

    void malformedInputDeletesNothing()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        const QStringList before = inst.files();
        const QByteArray target = inst.path("bin/ferrylink").toUtf8();
        {
            Helper h(inst.helper());
            QCOMPARE(h.line(), QStringLiteral("READY 1"));
            QCOMPARE(h.ask("hello"), QStringLiteral("ERR EINVAL unknown request"));
            QCOMPARE(h.ask(""), QStringLiteral("ERR EINVAL unknown request"));
            QCOMPARE(h.ask("REMOVE-REPLY " + target), QStringLiteral("ERR EINVAL unknown request"));
            QVERIFY(h.ask("remove-reply ").startsWith("ERR EPERM"));
            QVERIFY(h.ask(QByteArray("remove-reply ") + target + QByteArray("\0x", 2))
                        .startsWith("ERR EINVAL"));
            QVERIFY(h.ask("remove-reply " + target + "\x1b[2J").startsWith("ERR EPERM"));
            QVERIFY(h.ask("\xff\xfe\x00garbage").startsWith("ERR EINVAL"));
            // A huge line is refused whole, and the next line is read afresh.
            QCOMPARE(h.ask("remove-reply " + target + QByteArray(200000, 'a')),
                QStringLiteral("ERR EINVAL request too long"));
            QVERIFY(
                h.ask("remove-reply " + inst.prefix.toUtf8() + "/nothing").startsWith("ERR EPERM"));
            // An unfinished request at the end of input is dropped.
            h.p.write("remove-reply " + target);
            QCOMPARE(h.end(), 0);
        }
        QCOMPARE(inst.files(), before);

        // Arguments, or a helper outside an installed prefix, or a manifest
        // others may write: it refuses to start.
        {
            Helper h(inst.helper(), { "/etc/passwd" });
            QVERIFY(h.line().startsWith("ERR ENOTINSTALLED"));
            QCOMPARE(h.end(), 2);
        }
        const QString copy = inst.dir.path() + "/elsewhere/purgehand";
        QDir().mkpath(QFileInfo(copy).path());
        QVERIFY(QFile::copy(inst.helper(), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
        {
            Helper h(copy);
            QVERIFY(h.line().startsWith("ERR ENOTINSTALLED"));
            QCOMPARE(h.end(), 2);
        }
        QFile::setPermissions(inst.manifestPath(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
        {
            Helper h(inst.helper());
            QVERIFY(h.line().startsWith("ERR ENOTINSTALLED"));
            QCOMPARE(h.end(), 2);
        }
        QCOMPARE(inst.files(), before);
    }

    void hostileManifestLinesAreIgnored()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        QTemporaryDir outside;
        writeFile(outside.path() + "/victim.txt", "keep");
        {
            QFile m(inst.manifestPath());
            QVERIFY(m.open(QIODevice::Append));
            m.write(("../../../../../../.." + outside.path() + "/victim.txt\n").toUtf8());
            m.write((outside.path() + "/victim.txt\n").toUtf8());
        }
        Helper h(inst.helper());
        QCOMPARE(h.line(), QStringLiteral("READY 1"));
        QVERIFY(h.ask("remove-reply " + (outside.path() + "/victim.txt").toUtf8())
                    .startsWith("ERR EPERM"));
        QVERIFY(h.ask("remove-reply "
                     + (inst.prefix + "/../../../../../../.." + outside.path() + "/victim.txt")
                           .toUtf8())
                    .startsWith("ERR EPERM"));
        QCOMPARE(h.end(), 0);
        QVERIFY(QFile::exists(outside.path() + "/victim.txt"));
    }
};

QTEST_GUILESS_MAIN(TestPurgehand)
#include "tst_purgehand.moc"
