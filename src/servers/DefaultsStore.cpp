#include "DefaultsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

} // namespace

DefaultsStore::DefaultsStore(const QString &path) : m_path(path)
{
    load();
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
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error == QJsonParseError::NoError && doc.isObject()) {
        m_root = doc.object();
        return;
    }
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
    const QByteArray data = QJsonDocument(m_root).toJson(QJsonDocument::Indented);
    const QString dir = QFileInfo(m_path).absolutePath();
    auto fail = [this](const QString &why) {
        m_lastError = why;
        qWarning("Ferrylink defaults: cannot save %s: %s", qPrintable(m_path), qPrintable(why));
        return false;
    };
    if (!makePrivateDir(dir))
        return fail(errnoText("cannot create the folder"));

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
    if (::rename(tmpl.constData(), QFile::encodeName(m_path).constData()) != 0) {
        const QString why = errnoText("cannot replace the file");
        ::unlink(tmpl.constData());
        return fail(why);
    }
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    m_lastError.clear();
    return true;
}

} // namespace flk
