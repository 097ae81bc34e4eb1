// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The desktop keyring through QtKeychain. QtKeychain's jobs are
// asynchronous; each call here runs its job to the end in a local event
// loop of the calling worker thread.
#include "PasswordVault.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <qt6keychain/keychain.h>

namespace flk {

namespace {
const QString kService = QStringLiteral("Ferrylink");

SecretStore::Result resultOf(const QKeychain::Job &job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return SecretStore::Result::Ok;
    case QKeychain::EntryNotFound:
        return SecretStore::Result::NotFound;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return SecretStore::Result::Unavailable;
    default:
        return SecretStore::Result::Failed;
    }
}

void runToEnd(QKeychain::Job &job)
{
    Q_ASSERT_X(QThread::currentThread() != QCoreApplication::instance()->thread(), "keychain",
        "the keyring is asked on workers only");
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

class KeychainSecretStore : public SecretStore
{
public:
    Result read(const QString &key, QString *secret) override
    {
        QKeychain::ReadPasswordJob job(kService);
        job.setKey(key);
        runToEnd(job);
        const Result r = resultOf(job);
        if (r == Result::Ok && secret)
            *secret = job.textData();
        return r;
    }
    Result write(const QString &key, const QString &secret) override
    {
        QKeychain::WritePasswordJob job(kService);
        job.setKey(key);
        job.setTextData(secret);
        runToEnd(job);
        return resultOf(job);
    }
    Result remove(const QString &key) override
    {
        QKeychain::DeletePasswordJob job(kService);
        job.setKey(key);
        runToEnd(job);
        return resultOf(job);
    }
    QString name() const override { return QStringLiteral("the desktop keyring"); }
};
} // namespace

std::unique_ptr<SecretStore> makeKeychainStore()
{
    return std::make_unique<KeychainSecretStore>();
}

} // namespace flk
