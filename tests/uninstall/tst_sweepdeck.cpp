// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Sweepdeck end to end: this build installed into a temporary prefix, the
// window driven offscreen, the installed helper started directly. Also the
// package-manager and authorisation outcomes, and the files it installs.
#include "InstalledPrefix.h"

#include "api/Localization.h"
#include "uninstall/Installation.h"
#include "uninstall/UninstallRun.h"
#include "uninstall/UtilUAppDelegate.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QXmlStreamReader>
#include <QtTest>

using namespace sweepdeck;

namespace {
void writeFile(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void writeScript(const QString &path, const QByteArray &body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A user's home with Ferrylink's cache and settings in it.
struct Home {
    QTemporaryDir dir;
    QString config, cache;
    Home()
    {
        config = dir.path() + "/config";
        cache = dir.path() + "/cache";
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_CACHE_HOME", cache.toUtf8());
        qputenv("XDG_STATE_HOME", (dir.path() + "/state").toUtf8());
        writeFile(config + "/ferrylink/defaults.json", R"({"com.kestrel.flk.favorites":[]})");
        writeFile(cache + "/ferrylink/finished-0123.json", "[]");
        writeFile(cache + "/ferrylink/thumbs/a.png");
        writeFile(cache + "/sweepdeck/state");
        writeFile(dir.path() + "/state/ferrylink/state.json", "{}");
        writeFile(config + "/other-app/keep.conf");
    }
};

// A keyring in memory; refuses every removal when told to.
struct MemoryKeyring {
    struct State {
        QMutex mutex;
        QMap<QString, QString> entries;
        bool refuse = false;
    };
    std::shared_ptr<State> state = std::make_shared<State>();
    struct Store : flk::SecretStore {
        std::shared_ptr<State> s;
        explicit Store(std::shared_ptr<State> st) : s(std::move(st)) { }
        Result read(const QString &key, QString *secret) override
        {
            QMutexLocker lock(&s->mutex);
            if (!s->entries.contains(key))
                return Result::NotFound;
            *secret = s->entries.value(key);
            return Result::Ok;
        }
        Result write(const QString &key, const QString &secret) override
        {
            QMutexLocker lock(&s->mutex);
            s->entries.insert(key, secret);
            return Result::Ok;
        }
        Result remove(const QString &key) override
        {
            QMutexLocker lock(&s->mutex);
            if (s->refuse)
                return Result::Failed;
            return s->entries.remove(key) ? Result::Ok : Result::NotFound;
        }
        QString name() const override { return QStringLiteral("memory"); }
    };
    UninstallRun::StoreFactory factory()
    {
        return [st = state] { return std::make_unique<Store>(st); };
    }
};

// The window over an installation, its helper started directly.
struct Window {
    Installation installation;
    UtilUAppDelegate w;
    QList<int> progress;
    explicit Window(const QString &prefix)
        : installation(prefix), w(installation, UninstallKeys::load(installation.keysPath()))
    {
        if (w.run()) {
            w.run()->setUsePkexec(false);
            QObject::connect(
                w.run(), &UninstallRun::progressChanged, [this](int p) { progress << p; });
        }
        w.show();
    }
    bool uninstall(bool preferences)
    {
        w.chkRemovePrefer()->setChecked(preferences);
        QSignalSpy done(w.run(), &UninstallRun::finished);
        w.btnUninstall()->click();
        return done.wait(20000);
    }
};
} // namespace

class TestSweepdeck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(flk::installTranslations()); }

    void removesEverythingItInstalled()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        const QStringList manifest = inst.manifest();
        QVERIFY(manifest.contains("bin/ferrylink"));
        QVERIFY(manifest.contains("libexec/ferrylink/purgehand"));
        QCOMPARE(manifest.last(), QStringLiteral("share/ferrylink/install-manifest.txt"));
        QStringList sorted = manifest;
        sorted.sort();
        QCOMPARE(inst.files(), sorted);

        Home home;
        Window win(inst.prefix);
        QCOMPARE(win.w.windowTitle(), QStringLiteral("Sweepdeck"));
        QCOMPARE(win.w.txtDesc()->text(),
            flk::stringWithKSTFormat(flk::localized("UNINSTALL_DESC"), { "Ferrylink" }));
        QVERIFY(win.uninstall(true));
        QCOMPARE(
            win.w.tabUninstall()->currentWidget()->objectName(), QStringLiteral("TabProgress"));
        QCOMPARE(win.progress, (QList<int> { 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100 }));
        QVERIFY2(win.w.run()->failures().isEmpty(), qPrintable(win.w.run()->failures().join('\n')));
        // Every installed file and the manifest are gone, and Ferrylink's own
        // folders with them; shared folders stay.
        QVERIFY2(inst.files().isEmpty(), qPrintable(inst.files().join(' ')));
        QVERIFY(!QFileInfo::exists(inst.path("share/ferrylink")));
        QVERIFY(!QFileInfo::exists(inst.path("libexec/ferrylink")));
        QVERIFY(QFileInfo(inst.path("share/applications")).isDir());
        // What Ferrylink made for the user went too (as the user), by name;
        // files it did not make stay, and their folders with them.
        QVERIFY(!QFileInfo::exists(home.config + "/ferrylink"));
        QVERIFY(!QFileInfo::exists(home.cache + "/ferrylink/finished-0123.json"));
        QVERIFY(QFileInfo::exists(home.cache + "/ferrylink/thumbs/a.png"));
        QVERIFY(QFileInfo::exists(home.cache + "/sweepdeck/state"));
        QVERIFY(!QFileInfo::exists(home.dir.path() + "/state/ferrylink"));
        QVERIFY(QFileInfo::exists(home.config + "/other-app/keep.conf"));
        // The success text names the target, and OK closes.
        QCOMPARE(win.w.txtUninstalling()->text(),
            flk::stringWithKSTFormat(flk::localized("UNINSTALL_SUCCESS"), { "Ferrylink" }));
        QVERIFY(win.w.btnOk()->isEnabled());
        QVERIFY(!win.w.listFailures()->isVisible());
        win.w.btnOk()->click();
        QVERIFY(!win.w.isVisible());
    }

    void listsWhatWillGoAndEscapeQuits()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        Window win(inst.prefix);
        const QString listed = win.w.listWillRemove()->toPlainText();
        QVERIFY(listed.contains(inst.path("bin/ferrylink")));
        QVERIFY(listed.contains("finished-*.json"));
        QVERIFY(!listed.contains("defaults.json"));
        win.w.chkRemovePrefer()->setChecked(true);
        QVERIFY(win.w.listWillRemove()->toPlainText().contains(
            home.config + "/ferrylink/defaults.json"));
        // Uninstall is never the default button; Escape quits.
        QVERIFY(!win.w.btnUninstall()->isDefault() && !win.w.btnUninstall()->autoDefault());
        QVERIFY(win.w.btnQuit()->isDefault());
        QTest::keyClick(&win.w, Qt::Key_Escape);
        QVERIFY(!win.w.isVisible());
        QCOMPARE(inst.files().size(), inst.manifest().size()); // nothing removed
    }

    void settingsStayUnlessAsked()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        // Another file in Ferrylink's folder keeps the folder (and the file).
        writeFile(inst.path("share/ferrylink/notes.txt"), "mine");
        Window win(inst.prefix);
        QVERIFY(win.uninstall(false));
        QCOMPARE(win.progress, (QList<int> { 0, 10, 20, 30, 40, 60, 70, 80, 90, 100 }));
        QVERIFY(win.w.run()->failures().isEmpty());
        QVERIFY(QFileInfo::exists(home.config + "/ferrylink/defaults.json"));
        QVERIFY(QFileInfo::exists(home.dir.path() + "/state/ferrylink/state.json"));
        QVERIFY(!QFileInfo::exists(home.cache + "/ferrylink/finished-0123.json"));
        QCOMPARE(inst.files(), QStringList { "share/ferrylink/notes.txt" });
    }

    void keyringPasswordsGoWithTheSettings()
    {
        Home home;
        // One server's password in the keyring, one in the file.
        writeFile(home.config + "/ferrylink/defaults.json",
            R"({"com.kestrel.flk.favorites":[
                {"host":"nas.local","port":"8080","account":"admin","password_in_keyring":true},
                {"host":"other","port":"80","account":"guest","password":"p"}]})");
        const QString ours = "admin@nas.local:8080", theirs = "someone-else";
        for (bool preferences : { false, true }) {
            InstalledPrefix inst;
            QVERIFY2(inst.ok, qPrintable(inst.log));
            MemoryKeyring keyring;
            keyring.state->entries = { { ours, "secret" }, { theirs, "x" } };
            Window win(inst.prefix);
            win.w.run()->setSecretStoreFactory(keyring.factory());
            QVERIFY(win.uninstall(preferences));
            QVERIFY(win.w.run()->failures().isEmpty());
            // Without "remove my settings" the keyring is not touched.
            QCOMPARE(keyring.state->entries.contains(ours), !preferences);
            QVERIFY(keyring.state->entries.contains(theirs));
        }

        // A keyring that refuses: the settings still go, the entry is named.
        InstalledPrefix again;
        QVERIFY2(again.ok, qPrintable(again.log));
        writeFile(home.config + "/ferrylink/defaults.json",
            R"({"com.kestrel.flk.favorites":[
                {"host":"nas.local","port":"8080","account":"admin","password_in_keyring":true}]})");
        MemoryKeyring refusing;
        refusing.state->entries = { { ours, "secret" } };
        refusing.state->refuse = true;
        Window win(again.prefix);
        win.w.run()->setSecretStoreFactory(refusing.factory());
        QVERIFY(win.uninstall(true));
        QCOMPARE(win.w.run()->failures().size(), 1);
        QVERIFY(win.w.run()->failures().first().contains(ours));
        QVERIFY(!QFileInfo::exists(home.config + "/ferrylink/defaults.json"));
    }

    void plantedLinksAndFailuresAreReported()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        QTemporaryDir outside;
        writeFile(outside.path() + "/secret.txt", "keep");
        writeFile(outside.path() + "/metainfo/com.kestrel.Ferrylink.metainfo.xml", "keep");
        writeFile(outside.path() + "/cache-target/data", "keep");
        const QString desktop = inst.path("share/applications/com.kestrel.Ferrylink.desktop");
        QVERIFY(QFile::remove(desktop));
        QVERIFY(QFile::link(outside.path() + "/secret.txt", desktop));
        QVERIFY(QDir(inst.path("share/metainfo")).removeRecursively());
        QVERIFY(QFile::link(outside.path() + "/metainfo", inst.path("share/metainfo")));
        // A link in the user's cache is removed as a link too.
        QVERIFY(QFile::link(outside.path() + "/cache-target", home.cache + "/ferrylink/linked"));
        // Already gone before the run: not a failure.
        QVERIFY(QFile::remove(
            inst.path("share/icons/hicolor/scalable/apps/com.kestrel.Ferrylink.svg")));

        Window win(inst.prefix);
        QVERIFY(win.uninstall(true));
        QVERIFY(!QFileInfo(desktop).isSymLink());
        QCOMPARE(QFile(outside.path() + "/secret.txt").size(), 4);
        QVERIFY(QFile::exists(outside.path() + "/metainfo/com.kestrel.Ferrylink.metainfo.xml"));
        QVERIFY(QFile::exists(outside.path() + "/cache-target/data"));
        const QStringList failures = win.w.run()->failures();
        QCOMPARE(failures.size(), 1);
        QVERIFY(
            failures[0].startsWith(inst.path("share/metainfo/com.kestrel.Ferrylink.metainfo.xml")));
        // The last page says what is left.
        QCOMPARE(win.w.txtUninstalling()->text(),
            flk::stringWithKSTFormat(flk::localized("UNINSTALL_INCOMPLETE"), { "Ferrylink" }));
        QVERIFY(win.w.listFailures()->isVisible());
        QVERIFY(win.w.listFailures()->toPlainText().contains("com.kestrel.Ferrylink.metainfo.xml"));
    }

    void aRunThatRemovesNothingSaysSo()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        QVERIFY(QFile::remove(home.cache + "/ferrylink/finished-0123.json"));
        // A helper that starts and then refuses every removal.
        const QString helper = inst.dir.path() + "/pkexec-refuses-all";
        writeScript(helper,
            "echo 'READY 1'\nwhile read l; do echo 'ERR EROFS Read-only file system'; done\n");
        Window win(inst.prefix);
        win.w.run()->setUsePkexec(true);
        win.w.run()->setPkexecProgram(helper);
        QVERIFY(win.uninstall(false));
        QCOMPARE(win.w.run()->removedCount(), 0);
        QVERIFY(!win.w.run()->failures().isEmpty());
        QCOMPARE(win.w.txtUninstalling()->text(),
            flk::stringWithKSTFormat(flk::localized("UNINSTALL_NOTHING_REMOVED"), { "Ferrylink" }));
        QVERIFY(win.w.listFailures()->toPlainText().contains("Read-only file system"));
    }

    void packageFilesAreLeftToThePackageManager()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        // A package manager that owns the program.
        const QString query = inst.dir.path() + "/dpkg-query";
        writeScript(query,
            "for p in \"$@\"; do case \"$p\" in */bin/ferrylink) echo \"ferrylink:amd64: $p\";; "
            "esac; done\nexit 1\n");
        Window win(inst.prefix);
        win.w.run()->setPackageQueryProgram(query);
        QVERIFY(win.uninstall(false));
        QVERIFY(QFile::exists(inst.path("bin/ferrylink")));
        QVERIFY(!QFile::exists(inst.path("bin/sweepdeck")));
        QCOMPARE(win.w.run()->packages(), QStringList { "ferrylink" });
        QVERIFY(win.w.run()->failures().isEmpty());
        QVERIFY(win.w.txtPackages()->isVisible());
        QVERIFY(win.w.txtPackages()->text().contains("sudo apt remove ferrylink"));

        // Everything owned: no helper at all, the user's files only.
        InstalledPrefix all;
        QVERIFY2(all.ok, qPrintable(all.log));
        const QString owner = all.dir.path() + "/dpkg-query";
        writeScript(owner, "shift; for p in \"$@\"; do echo \"ferrylink: $p\"; done\n");
        Window win2(all.prefix);
        win2.w.run()->setPackageQueryProgram(owner);
        win2.w.run()->setPkexecProgram("/nonexistent/pkexec");
        win2.w.run()->setUsePkexec(true);
        QVERIFY(win2.uninstall(false));
        QCOMPARE(all.files(), [&] {
            QStringList m = all.manifest();
            m.sort();
            return m;
        }());
        QVERIFY(win2.w.run()->failures().isEmpty());
    }

    void authorisationOutcomes()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        Home home;
        Window win(inst.prefix);
        win.w.run()->setUsePkexec(true);
        QSignalSpy ended(win.w.run(), &UninstallRun::authorisationEnded);

        // Cancelling the dialog: back, quietly.
        const QString dismiss = inst.dir.path() + "/pkexec-dismiss";
        writeScript(dismiss, "exit 126\n");
        win.w.run()->setPkexecProgram(dismiss);
        win.w.btnUninstall()->click();
        QVERIFY(ended.wait(10000));
        QCOMPARE(win.w.tabUninstall()->currentIndex(), 0);
        QVERIFY(!win.w.txtError()->isVisible());
        QVERIFY(win.w.btnUninstall()->isEnabled());

        // Refused: said so.
        const QString refuse = inst.dir.path() + "/pkexec-refuse";
        writeScript(refuse, "exit 127\n");
        win.w.run()->setPkexecProgram(refuse);
        win.w.btnUninstall()->click();
        QVERIFY(ended.wait(10000));
        QVERIFY(win.w.txtError()->isVisible());
        QCOMPARE(win.w.txtError()->text(),
            flk::stringWithKSTFormat(flk::localized("UNINSTALL_AUTH_REFUSED"), { "Ferrylink" }));

        // No authentication agent: pkexec's own words, not "refused".
        const QString noAgent = inst.dir.path() + "/pkexec-no-agent";
        writeScript(noAgent,
            "echo 'Error executing command as another user: No authentication agent found.' >&2\n"
            "exit 127\n");
        win.w.run()->setPkexecProgram(noAgent);
        win.w.btnUninstall()->click();
        QVERIFY(ended.wait(10000));
        QCOMPARE(
            ended.last().at(0).value<PurgehandClient::Start>(), PurgehandClient::Start::Failed);
        QVERIFY(win.w.txtError()->text().contains("No authentication agent found."));

        // pkexec missing: the helper could not start.
        win.w.run()->setPkexecProgram("/nonexistent/pkexec");
        win.w.btnUninstall()->click();
        QVERIFY(ended.wait(10000));
        QVERIFY(win.w.txtError()->text().startsWith("Ferrylink was not removed"));
        // Nothing was removed meanwhile.
        QVERIFY(QFileInfo::exists(home.config + "/ferrylink/defaults.json"));
        QCOMPARE(inst.files(), [&] {
            QStringList m = inst.manifest();
            m.sort();
            return m;
        }());

        // Granted (a pkexec that runs the helper): the run goes ahead.
        const QString grant = inst.dir.path() + "/pkexec-grant";
        writeScript(grant, "exec \"$1\"\n");
        win.w.run()->setPkexecProgram(grant);
        QVERIFY(win.uninstall(false));
        QVERIFY(inst.files().isEmpty());
    }

    void withoutKeysNothingIsOffered()
    {
        QTemporaryDir empty;
        const Installation installation(empty.path());
        QString error;
        const auto keys = UninstallKeys::load(installation.keysPath(), &error);
        QVERIFY(!keys);
        UtilUAppDelegate w(installation, keys, error);
        QVERIFY(!w.run());
        QVERIFY(!w.btnUninstall()->isEnabled());
        QVERIFY(w.txtError()->text().contains(installation.keysPath()));

        // An identifier that is a path is not accepted.
        writeFile(empty.path() + "/k.keys", "TargetAppName=X\nTargetBundleIdentifier=../..\n");
        QVERIFY(!UninstallKeys::load(empty.path() + "/k.keys"));
    }

    void installedFilesValidate()
    {
        InstalledPrefix inst;
        QVERIFY2(inst.ok, qPrintable(inst.log));
        for (const char *entry : { "share/applications/sweepdeck.desktop",
                 "share/applications/com.kestrel.Ferrylink.desktop" }) {
            QProcess v;
            v.setProcessChannelMode(QProcess::MergedChannels);
            v.start("desktop-file-validate", { inst.path(entry) });
            QVERIFY2(v.waitForFinished(10000), "desktop-file-validate is missing");
            QVERIFY2(v.exitCode() == 0 && v.readAll().trimmed().isEmpty(), entry);
        }
        QFile policy(inst.path("share/polkit-1/actions/com.kestrel.purgehand.policy"));
        QVERIFY(policy.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&policy);
        QString execPath, allowActive;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"annotate"
                && xml.attributes().value("key") == u"org.freedesktop.policykit.exec.path")
                execPath = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == u"allow_active")
                allowActive = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(execPath.endsWith("/libexec/ferrylink/purgehand"));
        // Asked every time: no authorisation is kept for later removals.
        QCOMPARE(allowActive, QStringLiteral("auth_admin"));
        const auto keys = UninstallKeys::load(inst.path("share/ferrylink/sweepdeck.keys"));
        QVERIFY(keys);
        QCOMPARE(keys->targetAppName, QStringLiteral("Ferrylink"));
        // The icon goes by the application's desktop id, and is installed so.
        QCOMPARE(keys->targetIconFile, QStringLiteral("com.kestrel.Ferrylink"));
        QVERIFY(QFile::exists(
            inst.path("share/icons/hicolor/scalable/apps/com.kestrel.Ferrylink.svg")));
        QCOMPARE(keys->targetBundleIdentifier, QStringLiteral("ferrylink"));
        QCOMPARE(keys->bundleName, QStringLiteral("Sweepdeck"));
    }
};

QTEST_MAIN(TestSweepdeck)
#include "tst_sweepdeck.moc"
