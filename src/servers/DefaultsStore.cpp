// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DefaultsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flk {

namespace {

std::function<bool(const QString &)> &beforeRenameHook()
{
    static std::function<bool(const QString &)> hook;
    return hook;
}

QString errnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// Creates dir and any missing parents; folders made here get mode 0700.
bool makePrivateDir(const QString &dir)
{
    QFileInfo info(dir);
    if (info.isDir())
        return true;
    if (!makePrivateDir(info.absolutePath()))
        return false;
    return ::mkdir(QFile::encodeName(dir).constData(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// An exclusive lock on a file beside the defaults, held while it lives:
// saves of several processes take turns, and a temporary file is only ever
// removed by the process that holds it.
class DirLock
{
public:
    explicit DirLock(const QString &dir)
    {
        m_fd = ::open(QFile::encodeName(dir + QStringLiteral("/.defaults.lock")).constData(),
            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) { }
    }
    ~DirLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Which saved server a record is, across processes.
QString recordId(const QJsonValue &v)
{
    const QJsonObject o = v.toObject();
    auto text = [&](const char *key) {
        const QJsonValue x = o.value(QLatin1String(key));
        return x.isString() ? x.toString() : QString::number(x.toDouble());
    };
    const QJsonValue cloud = o.value(QLatin1String("is_cloud_id"));
    const bool isCloud = cloud.isBool() ? cloud.toBool() : cloud.toVariant().toInt() != 0;
    return text("host").toLower() + QLatin1Char('\x1f') + text("port") + QLatin1Char('\x1f')
        + text("account") + QLatin1Char('\x1f') + (isCloud ? u'1' : u'0');
}

bool isDefaultRecord(const QJsonValue &v)
{
    const QJsonValue d = v.toObject().value(QLatin1String("default"));
    return d.isBool() ? d.toBool() : d.toVariant().toInt() != 0;
}

QJsonArray mergeRecords(const QJsonArray &base, const QJsonArray &ours, const QJsonArray &theirs)
{
    QHash<QString, QJsonValue> baseById, oursById;
    for (const QJsonValue &v : base)
        baseById.insert(recordId(v), v);
    for (const QJsonValue &v : ours)
        oursById.insert(recordId(v), v);
    QSet<QString> theirIds;
    QJsonArray out;
    QString ourDefault;
    for (const QJsonValue &v : ours)
        if (isDefaultRecord(v) && baseById.value(recordId(v)) != v)
            ourDefault = recordId(v);
    for (const QJsonValue &t : theirs) {
        const QString id = recordId(t);
        theirIds.insert(id);
        const bool inBase = baseById.contains(id), inOurs = oursById.contains(id);
        if (inBase && !inOurs)
            continue; // removed here
        if (inOurs && oursById.value(id) != baseById.value(id))
            out.append(oursById.value(id)); // changed (or added) here
        else
            out.append(t);
    }
    for (const QJsonValue &o : ours) {
        const QString id = recordId(o);
        if (theirIds.contains(id))
            continue;
        // Added here, or changed here while another process removed it.
        if (!baseById.contains(id) || baseById.value(id) != o)
            out.append(o);
    }
    // One default at most: the one chosen here, else the first.
    int defaults = 0;
    for (const QJsonValue &v : out)
        defaults += isDefaultRecord(v) ? 1 : 0;
    if (defaults > 1) {
        bool kept = false;
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (!isDefaultRecord(out[i]))
                continue;
            const bool keep
                = !kept && (ourDefault.isEmpty() ? true : recordId(out[i]) == ourDefault);
            if (keep) {
                kept = true;
                continue;
            }
            QJsonObject o = out[i].toObject();
            o.insert(QStringLiteral("default"), false);
            out[i] = o;
        }
    }
    return out;
}

} // namespace

std::optional<QJsonObject> DefaultsStore::parse(const QByteArray &data)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

QJsonObject DefaultsStore::merge(
    const QJsonObject &base, const QJsonObject &ours, const QJsonObject &theirs)
{
    QJsonObject result = theirs;
    QSet<QString> keys;
    for (const QString &k : base.keys())
        keys.insert(k);
    for (const QString &k : ours.keys())
        keys.insert(k);
    const QString favorites = QLatin1String(kDefaultsFavoritesKey);
    for (const QString &k : keys) {
        const QJsonValue b = base.value(k), o = ours.value(k), t = theirs.value(k);
        if (o == b)
            continue; // not changed here: the disk's stands
        if (k == favorites && o.isArray() && (b.isArray() || b.isUndefined())
            && (t.isArray() || t.isUndefined()))
            result.insert(k, mergeRecords(b.toArray(), o.toArray(), t.toArray()));
        else if (o.isUndefined())
            result.remove(k);
        else
            result.insert(k, o);
    }
    return result;
}

DefaultsStore::DefaultsStore(const QString &path) : m_path(path)
{
    load();
}

QString DefaultsStore::targetPath() const
{
    const QFileInfo info(m_path);
    // symLinkTarget follows the whole chain; a dangling link names where the
    // file is to be.
    return info.isSymLink() ? info.symLinkTarget() : m_path;
}

void DefaultsStore::removeStaleTemporaries(const QString &dir)
{
    // Left by a save that was killed: only under the lock, which a save in
    // progress would hold.
    DirLock lock(dir);
    if (!lock.held())
        return;
    const QStringList names = QDir(dir).entryList(
        { QStringLiteral(".defaults-??????") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &n : names) {
        const QString path = dir + QLatin1Char('/') + n;
        if (!QFileInfo(path).isSymLink())
            QFile::remove(path);
    }
}

QString DefaultsStore::standardPath()
{
    const QString explicitPath = qEnvironmentVariable("FERRYLINK_DEFAULTS");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/ferrylink/defaults.json");
}

DefaultsStore *DefaultsStore::standardDefaults()
{
    static DefaultsStore store(standardPath());
    return &store;
}

void DefaultsStore::load()
{
    const QString dir = QFileInfo(targetPath()).absolutePath();
    if (QFileInfo(dir).isDir())
        removeStaleTemporaries(dir);
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readOnly = true;
        m_lastError = QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString());
        qWarning("Ferrylink defaults: %s; settings will not be saved", qPrintable(m_lastError));
        return;
    }
    const QByteArray data = file.readAll();
    file.close();
    if (const std::optional<QJsonObject> read = parse(data)) {
        m_root = *read;
        m_base = m_root;
        return;
    }
    QJsonParseError err;
    QJsonDocument::fromJson(data, &err);
    // Keep the damaged file for the user; start with nothing.
    const QString aside = m_path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(aside).constData())
        == 0) {
        m_setAside = aside;
        qWarning("Ferrylink defaults: %s could not be read (%s); it was kept as %s",
            qPrintable(m_path), qPrintable(err.errorString()), qPrintable(aside));
    } else {
        m_readOnly = true;
        m_lastError = errnoText("cannot move the unreadable defaults file aside");
        qWarning("Ferrylink defaults: %s; settings will not be saved", qPrintable(m_lastError));
    }
}

QJsonValue DefaultsStore::value(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_root.value(key);
}

void DefaultsStore::setValue(const QString &key, const QJsonValue &value)
{
    QMutexLocker lock(&m_mutex);
    m_root.insert(key, value);
}

void DefaultsStore::removeValue(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_root.remove(key);
}

QJsonObject DefaultsStore::snapshot() const
{
    QMutexLocker lock(&m_mutex);
    return m_root;
}

QString DefaultsStore::lastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}

QString DefaultsStore::setAsidePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_setAside;
}

void DefaultsStore::setBeforeRenameHook(std::function<bool(const QString &)> hook)
{
    beforeRenameHook() = std::move(hook);
}

bool DefaultsStore::synchronize()
{
    QMutexLocker lock(&m_mutex);
    if (m_readOnly) {
        qWarning("Ferrylink defaults: not saved, %s", qPrintable(m_lastError));
        return false;
    }
    // Through a link to its target: the temporary file goes beside the target.
    const QString target = targetPath();
    const QString dir = QFileInfo(target).absolutePath();
    auto fail = [this](const QString &why) {
        m_lastError = why;
        qWarning("Ferrylink defaults: cannot save %s: %s", qPrintable(m_path), qPrintable(why));
        return false;
    };
    if (!makePrivateDir(dir))
        return fail(errnoText("cannot create the folder"));

    DirLock dirLock(dir);
    // What another process saved meanwhile is merged, not overwritten.
    QJsonObject toWrite = m_root;
    QFile current(target);
    if (current.open(QIODevice::ReadOnly)) {
        QJsonParseError err;
        const QJsonDocument disk = QJsonDocument::fromJson(current.readAll(), &err);
        current.close();
        if (err.error == QJsonParseError::NoError && disk.isObject() && disk.object() != m_base)
            toWrite = merge(m_base, m_root, disk.object());
    }
    const QByteArray data = QJsonDocument(toWrite).toJson(QJsonDocument::Indented);

    QByteArray tmpl = QFile::encodeName(dir + QStringLiteral("/.defaults-XXXXXX"));
    const int fd = ::mkstemp(tmpl.data()); // mode 0600
    if (fd < 0)
        return fail(errnoText("cannot create a temporary file"));
    const QString tmp = QFile::decodeName(tmpl);
    if (!writeAll(fd, data) || ::fsync(fd) != 0) {
        const QString why = errnoText("cannot write");
        ::close(fd);
        ::unlink(tmpl.constData());
        return fail(why);
    }
    ::close(fd);
    if (auto &hook = beforeRenameHook(); hook && !hook(tmp))
        return fail(QStringLiteral("interrupted before the rename"));
    if (::rename(tmpl.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = errnoText("cannot replace the file");
        ::unlink(tmpl.constData());
        return fail(why);
    }
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    // This process's own view stays as it is (its saved servers are what its
    // windows show); the next save merges against it again, so what another
    // process added is kept rather than taken for a removal here.
    m_base = m_root;
    m_lastError.clear();
    return true;
}

} // namespace flk
