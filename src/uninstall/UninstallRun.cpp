// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "UninstallRun.h"

#include "api/Localization.h"
#include "servers/DefaultsStore.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <memory>

namespace sweepdeck {

UninstallRun::UninstallRun(
    const Installation &installation, const UninstallKeys &keys, QObject *parent)
    : QObject(parent),
      m_installation(installation),
      m_keys(keys),
      m_client(new PurgehandClient(this))
{
    connect(m_client, &PurgehandClient::started, this,
        [this](PurgehandClient::Start outcome, const QString &detail) {
            if (m_state != State::Authorising)
                return;
            if (outcome == PurgehandClient::Start::Ready) {
                setState(State::Running);
                buildStages();
                runStage(0);
                return;
            }
            if (outcome != PurgehandClient::Start::Dismissed)
                qWarning("fail: %s", qPrintable(detail));
            setState(State::Idle);
            emit authorisationEnded(outcome, detail);
        });
}

void UninstallRun::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void UninstallRun::start()
{
    if (m_state != State::Idle)
        return;
    m_failures.clear();
    m_removed = 0;
    m_packages.clear();
    m_owned.clear();
    m_progress = 0;
    setState(State::Checking);
    queryPackages();
}

// ---- files of a distribution package ---------------------------------------

void UninstallRun::queryPackages()
{
    QStringList paths = m_installation.targetFiles() + m_installation.ownFiles();
    if (m_installation.hasManifest())
        paths << m_installation.manifestPath();
    if (paths.isEmpty()) {
        onPackages({});
        return;
    }
    m_query = new QProcess(this);
    m_query->setStandardErrorFile(QProcess::nullDevice());
    connect(m_query, &QProcess::finished, this, [this] {
        const QByteArray out = m_query->readAllStandardOutput();
        m_query->deleteLater();
        m_query = nullptr;
        onPackages(out);
    });
    connect(m_query, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        // No package manager here: nothing belongs to one.
        m_query->deleteLater();
        m_query = nullptr;
        onPackages({});
    });
    m_query->start(m_packageQuery, QStringList { QStringLiteral("-S") } + paths);
}

void UninstallRun::onPackages(const QByteArray &output)
{
    // "package[, package...]: /path"; diversions are not ownership.
    QSet<QString> packages;
    for (const QByteArray &raw : output.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("diversion "))
            || line.contains(QLatin1String("diversion by")))
            continue;
        const qsizetype sep = line.indexOf(QLatin1String(": /"));
        if (sep <= 0)
            continue;
        m_owned.insert(line.mid(sep + 2));
        for (QString p : line.left(sep).split(QLatin1Char(','))) {
            p = p.trimmed().section(QLatin1Char(':'), 0, 0); // without ":amd64"
            if (!p.isEmpty())
                packages.insert(p);
        }
    }
    m_packages = QStringList(packages.begin(), packages.end());
    m_packages.sort();
    authorise();
}

// ---- the helper --------------------------------------------------------------

void UninstallRun::authorise()
{
    QStringList installed = m_installation.targetFiles() + m_installation.ownFiles();
    if (m_installation.hasManifest())
        installed << m_installation.manifestPath();
    m_helperWanted = false;
    for (const QString &p : installed)
        m_helperWanted = m_helperWanted || !m_owned.contains(p);
    if (!m_helperWanted) {
        // Nothing of ours needs an administrator: the user's files only.
        setState(State::Running);
        buildStages();
        runStage(0);
        return;
    }
    setState(State::Authorising);
    m_client->start(m_installation.helperPath(), m_usePkexec);
}

// ---- the run -----------------------------------------------------------------

void UninstallRun::buildStages()
{
    auto unowned = [this](const QStringList &paths) {
        QStringList out;
        for (const QString &p : paths)
            if (!m_owned.contains(p))
                out << p;
        return out;
    };
    auto nothing = [](std::function<void()> next) { next(); };
    const QString id = m_keys.targetBundleIdentifier;
    const QStringList target = unowned(m_installation.targetFiles());
    const QStringList receipt
        = m_installation.hasManifest() ? unowned({ m_installation.manifestPath() }) : QStringList();
    const QStringList own = unowned(m_installation.ownFiles());
    const QStringList folders = m_installation.productFolders(id);

    m_stages.clear();
    m_stages << Stage { 0, nothing };
    m_stages << Stage { 10, [this, target](auto next) { removeInstalled(target, false, next); } };
    m_stages << Stage { 20,
        [this, id](auto next) {
            // Finished-task lists, and the instance folder
            // used where no runtime folder is.
            removeOwnEntries(Installation::userCacheDir(id),
                { QStringLiteral("finished-*.json"), QStringLiteral("finished-*.json.*") },
                { { QStringLiteral("run"), { QStringLiteral("ferrylink-*") } } });
            next();
        } };
    m_stages << Stage { 30, [this, receipt](auto next) { removeInstalled(receipt, false, next); } };
    if (m_removePreferences) {
        m_stages << Stage { 40, [this, id](auto next) {
                               // The passwords first: the settings file names their keys.
                               const QString defaults = Installation::userConfigDir(id)
                                   + QStringLiteral("/defaults.json");
                               removeKeyringEntries(defaults, [this, defaults, next] {
                                   removeUserFile(defaults);
                                   next();
                               });
                           } };
        m_stages << Stage { 50,
            [this, id](auto next) {
                removeOwnEntries(Installation::userConfigDir(id),
                    { QStringLiteral("defaults.json"), QStringLiteral("defaults.json.unreadable-*"),
                        QStringLiteral(".defaults.lock"), QStringLiteral(".defaults-*"),
                        QStringLiteral(".defaults.json.instance"),
                        QStringLiteral(".defaults.json.instance.lock") });
                // The remembered window layout.
                removeOwnEntries(Installation::userStateDir(id),
                    { QStringLiteral("state.json"), QStringLiteral("state.json.*") });
                next();
            } };
    } else {
        m_stages << Stage { 40, nothing };
    }
    m_stages << Stage { 60, [this, own](auto next) { removeInstalled(own, false, next); } };
    // Nothing on this system keeps per-folder view files: the stage sends
    // nothing.
    m_stages << Stage { 70, nothing };
    m_stages << Stage { 80, [this](auto next) {
                           // Sweepdeck keeps nothing there itself: only an
                           // empty folder of that name goes.
                           removeOwnEntries(
                               Installation::userCacheDir(QStringLiteral("sweepdeck")), {});
                           next();
                       } };
    m_stages << Stage { 90, [this, folders](auto next) { removeInstalled(folders, true, next); } };
}

void UninstallRun::runStage(int index)
{
    if (index >= m_stages.size()) {
        m_progress = 100;
        emit progressChanged(m_progress);
        m_client->finish();
        setState(State::Finished);
        emit finished(m_failures.isEmpty());
        return;
    }
    m_progress = m_stages[index].progress;
    emit progressChanged(m_progress);
    m_stages[index].work([this, index] { runStage(index + 1); });
}

void UninstallRun::removeInstalled(
    const QStringList &paths, bool folders, std::function<void()> next)
{
    if (paths.isEmpty() || (!m_helperWanted && folders)) {
        next();
        return;
    }
    // All requests go out at once; the answers come back in order.
    auto left = std::make_shared<qsizetype>(paths.size());
    for (const QString &path : paths) {
        m_client->remove(
            path, [this, path, folders, left, next](const QString &code, const QString &text) {
                // Gone already, or a folder that still holds other files: fine.
                const bool fine = code.isEmpty() || code == QLatin1String("ENOENT")
                    || (folders && code == QLatin1String("ENOTEMPTY"));
                if (!fine)
                    m_failures << QStringLiteral("%1: %2").arg(path, text);
                else if (code.isEmpty())
                    ++m_removed;
                if (--*left == 0)
                    next();
            });
    }
}

void UninstallRun::removeUserFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    QFile f(path);
    if (!f.remove())
        m_failures << QStringLiteral("%1: %2").arg(path, f.errorString());
    else
        ++m_removed;
}

void UninstallRun::removeKeyringEntries(const QString &defaultsFile, std::function<void()> next)
{
    QStringList keys;
    QFile f(defaultsFile);
    const QFileInfo info(defaultsFile);
    // A settings file is small; anything else in its place is not read.
    if (info.isFile() && info.size() < 64 * 1024 * 1024 && f.open(QIODevice::ReadOnly)) {
        const QJsonObject defaults = QJsonDocument::fromJson(f.readAll()).object();
        keys = flk::PasswordVault::keysInStore(
            defaults.value(QLatin1String(flk::kDefaultsFavoritesKey)));
    }
    if (keys.isEmpty()) {
        next();
        return;
    }
    StoreFactory factory = m_storeFactory ? m_storeFactory : StoreFactory(flk::makeKeychainStore);
    auto failed = std::make_shared<QStringList>();
    auto removed = std::make_shared<int>(0);
    QThread *worker = QThread::create([factory, keys, failed, removed] {
        const std::unique_ptr<flk::SecretStore> store = factory();
        for (const QString &key : keys) {
            const flk::SecretStore::Result r = store->remove(key);
            if (r == flk::SecretStore::Result::Ok)
                ++*removed;
            else if (r != flk::SecretStore::Result::NotFound)
                *failed << key;
        }
    });
    connect(worker, &QThread::finished, this, [this, worker, failed, removed, next] {
        worker->deleteLater();
        m_removed += *removed;
        for (const QString &key : *failed)
            m_failures << flk::stringWithKSTFormat(
                flk::localized("UNINSTALL_KEYRING_NOT_REMOVED"), { key });
        next();
    });
    worker->start();
}

void UninstallRun::removeOwnEntries(const QString &folder, const QStringList &patterns,
    const QList<QPair<QString, QStringList>> &subfolders)
{
    const QFileInfo info(folder);
    if (!info.exists() || info.isSymLink() || !info.isDir())
        return; // a link or a file in its place is not ours to walk into
    QDir dir(folder);
    for (const auto &[name, inner] : subfolders)
        removeOwnEntries(dir.filePath(name), inner);
    const QFileInfoList entries
        = dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (QDir::match(patterns, entry.fileName()))
            removeUserFile(entry.filePath());
    }
    // Only when nothing else is left: the user's own files keep their folder.
    QDir().rmdir(folder);
}

} // namespace sweepdeck
