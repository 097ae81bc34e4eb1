// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Saved passwords in the desktop keyring: migration out of the defaults
// file, sign-ins from the keyring, new and removed servers, a keyring that
// is missing or misbehaves; and the real thing, a Secret Service of the
// test's own (gnome-keyring on a private session bus) through QtKeychain.
#include "../desktop/FakeNotifications.h"
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiErrorRules.h"
#include "api/Localization.h"
#include "app/AppDelegate.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/PasswordVault.h"
#include "servers/ReachabilityMonitor.h"

#include <QDBusConnectionInterface>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace flk;

namespace {
// A keyring in memory, with switches for the ways a real one fails.
class FakeSecretStore : public SecretStore
{
public:
    struct State {
        QHash<QString, QString> secrets;
        bool available = true;
        bool refuseWrites = false;
        bool garbleReads = false;
        int reads = 0;
    };
    explicit FakeSecretStore(std::shared_ptr<State> s) : m_s(std::move(s)) { }
    Result read(const QString &key, QString *secret) override
    {
        ++m_s->reads;
        if (!m_s->available)
            return Result::Unavailable;
        if (!m_s->secrets.contains(key))
            return Result::NotFound;
        *secret = m_s->garbleReads ? QStringLiteral("garbled") : m_s->secrets.value(key);
        return Result::Ok;
    }
    Result write(const QString &key, const QString &secret) override
    {
        if (!m_s->available)
            return Result::Unavailable;
        if (m_s->refuseWrites)
            return Result::Failed;
        m_s->secrets.insert(key, secret);
        return Result::Ok;
    }
    Result remove(const QString &key) override
    {
        return m_s->secrets.remove(key) ? Result::Ok : Result::NotFound;
    }
    QString name() const override { return QStringLiteral("fake keyring"); }

private:
    std::shared_ptr<State> m_s;
};
} // namespace

class TestPasswords : public QObject
{
    Q_OBJECT

    AppCgiDelegate rules;
    std::unique_ptr<SimFixture> sim;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<FavoriteManager> store;
    std::unique_ptr<RecordingAlertPresenter> alerts;
    std::shared_ptr<FakeSecretStore::State> keyring;

    QString path() const { return dir->filePath("defaults.json"); }
    QJsonObject record(const QString &password) const
    {
        QJsonObject r { { "host", "127.0.0.1" },
            { "port", QString::number(sim->server().httpPort()) }, { "account", "admin" },
            { "use_https", false }, { "is_cloud_id", false }, { "default", 1 } };
        if (!password.isNull())
            r.insert("password", password);
        return r;
    }
    void writeRecords(const QJsonArray &records)
    {
        DefaultsStore d(path());
        d.setValue(kDefaultsFavoritesKey, records);
        QVERIFY(d.synchronize());
    }
    QJsonArray stored() const
    {
        return QJsonDocument::fromJson(fileBytes(path()))
            .object()
            .value(kDefaultsFavoritesKey)
            .toArray();
    }
    void load(bool withVault = true)
    {
        store.reset();
        defaults = std::make_unique<DefaultsStore>(path());
        store = std::make_unique<FavoriteManager>(defaults.get());
        store->setAppName("Haulhouse");
        store->setAppPackage("haulhouse");
        if (withVault)
            store->setPasswordVault(
                std::make_shared<PasswordVault>(std::make_unique<FakeSecretStore>(keyring)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTranslations());
        CgiCtrl::sharedCgiCtrl()->setDelegate(&rules);
    }
    void init()
    {
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
        dir = std::make_unique<QTemporaryDir>();
        alerts = std::make_unique<RecordingAlertPresenter>();
        alerts->answer = 0;
        keyring = std::make_shared<FakeSecretStore::State>();
    }
    void cleanup()
    {
        store.reset();
        alerts.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sim.reset();
    }

    void passwordsMoveToTheKeyringAndSignInFromThere()
    {
        writeRecords({ record("admin") });
        load();
        QCOMPARE(store->passwordStorage(), FavoriteManager::PasswordStorage::NotKnownYet);
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 1);
        QCOMPARE(store->passwordStorage(), FavoriteManager::PasswordStorage::Keyring);
        // The file holds no password any more; the record says where it is.
        const QJsonObject saved = stored().at(0).toObject();
        QVERIFY(!saved.contains("password"));
        QCOMPARE(saved.value(PasswordVault::kInKeyringMember).toBool(), true);
        QCOMPARE(keyring->secrets.size(), 1);
        QCOMPARE(keyring->secrets.begin().value(), "admin");
        // A new run signs in with the keyring's password.
        load();
        Error e;
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(e.toString()));
        delete c;
        // Moving again moves nothing.
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 0);
    }

    void aRecordWithoutPasswordNeedsTheKeyring()
    {
        // As an older build left it, or a keyring that lost the entry.
        writeRecords({ record(QString()) });
        load();
        Error e;
        QVERIFY(!onWorker([&] { return store->login_Favorite_NAS(0, &e); }));
        QVERIFY(e.isError());
        keyring->secrets.insert(PasswordVault::keyFor(*store->get_Favorite_NAS(0)), "admin");
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(e.toString()));
        delete c;
    }

    void withoutAKeyringTheFileStaysAsItWas()
    {
        writeRecords({ record("admin") });
        const QByteArray before = fileBytes(path());
        keyring->available = false;
        load();
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 0);
        QCOMPARE(store->passwordStorage(), FavoriteManager::PasswordStorage::DefaultsFile);
        QCOMPARE(fileBytes(path()), before);
        QCOMPARE(QFile(path()).permissions() & (QFile::ReadGroup | QFile::ReadOther),
            QFileDevice::Permissions());
        Error e;
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(e.toString()));
        delete c;
        // A keyring that refuses, or gives back something else: the
        // password stays in the file.
        keyring->available = true;
        keyring->refuseWrites = true;
        load();
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 0);
        keyring->refuseWrites = false;
        keyring->garbleReads = true;
        load();
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 0);
        QCOMPARE(stored().at(0).toObject().value("password").toString(), "admin");
        // No vault at all: as before this feature.
        load(false);
        QCOMPARE(store->passwordStorage(), FavoriteManager::PasswordStorage::DefaultsFile);
    }

    void newServersGoToTheKeyringRemovedOnesLeaveIt()
    {
        load();
        Error e;
        const QVariantMap info { { "host", "127.0.0.1" },
            { "port", QString::number(sim->server().httpPort()) }, { "account", "admin" },
            { "password", "admin" }, { "use_https", false }, { "is_cloud_id", false } };
        CgiCtrl *c = onWorker([&] { return store->add_Favorite_NAS(info, &e); });
        QVERIFY2(c, qPrintable(e.toString()));
        delete c;
        QVERIFY(!stored().at(0).toObject().contains("password"));
        QCOMPARE(keyring->secrets.size(), 1);
        QVERIFY(store->removeServer(0));
        waitForNetworkWork();
        QCOMPARE(keyring->secrets.size(), 0);
    }

    void aboutSaysWherePasswordsAre()
    {
        writeRecords({ record("admin") });
        load();
        AppDelegate app(store.get(), defaults.get());
        QVERIFY(app.passwordStorageText().contains(path()));
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 1);
        QCOMPARE(app.passwordStorageText(), localized("ABOUT_PASSWORDS_KEYRING"));
    }

    // Last: the process's session bus becomes the private one.
    void aRealSecretService()
    {
        if (QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty())
            QSKIP("gnome-keyring-daemon is not installed");
        PrivateBus bus;
        if (!bus.ok())
            QSKIP("dbus-daemon could not be started");
        QTemporaryDir home;
        QProcess daemon;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", home.path());
        daemon.setProcessEnvironment(env);
        daemon.start("gnome-keyring-daemon",
            { "--foreground", "--components=secrets", "--unlock", "--control-directory",
                home.path() });
        QVERIFY(daemon.waitForStarted(5000));
        daemon.write("test-password\n");
        daemon.closeWriteChannel();
        // The service is there once its name is on the bus.
        QDBusConnection probe = bus.connect("probe");
        QTRY_VERIFY_WITH_TIMEOUT(
            probe.interface()->isServiceRegistered("org.freedesktop.secrets"), 10000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());

        auto vault = std::make_shared<PasswordVault>(makeKeychainStore());
        QVERIFY(onWorker([vault] { return vault->isAvailable(); }));
        writeRecords({ record("admin") });
        load(false);
        store->setPasswordVault(vault);
        QCOMPARE(onWorker([this] { return store->migratePasswords(); }), 1);
        QVERIFY(!stored().at(0).toObject().contains("password"));
        load(false);
        store->setPasswordVault(vault);
        Error e;
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(e.toString()));
        delete c;
        QVERIFY(store->removeServer(0));
        waitForNetworkWork();
        const QString key = PasswordVault::keyFor(
            *FavoriteManager::recordsFrom(QJsonArray { record(QString()) }).first());
        QCOMPARE(onWorker([key] {
            QString s;
            return makeKeychainStore()->read(key, &s);
        }),
            SecretStore::Result::NotFound);
        daemon.terminate();
        daemon.waitForFinished(3000);
    }
};

QTEST_MAIN(TestPasswords)
#include "tst_passwords.moc"
