// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <memory>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flk {

namespace {
// Frames: a 32-bit length, then a QDataStream of a QStringList; the reply is
// one byte "1" once the whole list arrived.
constexpr quint32 kMaxFrame = SingleInstance::kMaxHandOverBytes;

// The items of a frame, read by hand: a count and strings that must all fit
// in the bytes received (QDataStream would first reserve whatever count a
// malformed frame claims).
std::optional<QStringList> decodeItems(const QByteArray &payload)
{
    QDataStream in(payload);
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > quint32(payload.size() / 4))
        return std::nullopt;
    QStringList items;
    items.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        quint32 bytes = 0;
        in >> bytes;
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        if (bytes == 0xFFFFFFFFu) {
            items << QString();
            continue;
        }
        const qint64 left = in.device()->bytesAvailable();
        if (bytes % 2 != 0 || qint64(bytes) > left)
            return std::nullopt;
        QString s;
        in.device()->seek(in.device()->pos() - 4);
        in >> s;
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        items << s;
    }
    if (!in.atEnd())
        return std::nullopt;
    return items;
}
} // namespace

namespace {
// A folder only this user can enter: a real folder (not a link), owned by
// the user, with no rights for group or others.
bool isPrivateFolder(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool makePrivateFolder(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    return isPrivateFolder(path);
}

// The user id of the process at the other end of a local socket.
std::optional<uid_t> peerUid(qintptr descriptor)
{
    struct ucred cred;
    socklen_t length = sizeof(cred);
    if (descriptor < 0
        || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return std::nullopt;
    return cred.uid;
}
} // namespace

QString SingleInstance::privateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    // A folder of the user's own; one someone else made under that name is
    // not used.
    const QString temp = QDir::tempPath() + QStringLiteral("/ferrylink-%1").arg(uint(::getuid()));
    if (makePrivateFolder(temp))
        return temp;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/ferrylink/run");
    if (makePrivateFolder(cache))
        return cache;
    return QString();
}

QString SingleInstance::realPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

QString SingleInstance::serverName(const QString &defaultsPath)
{
    const QByteArray profile = realPath(defaultsPath).toUtf8();
    const QByteArray hash
        = QCryptographicHash::hash(profile, QCryptographicHash::Sha256).toHex().left(16);
    const QString folder = privateFolder();
    const QString name
        = QStringLiteral("ferrylink-%1-%2").arg(uint(::getuid())).arg(QString::fromLatin1(hash));
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

SingleInstance::SingleInstance(const QString &name, const QString &defaultsPath, QObject *parent)
    : QObject(parent), m_name(name), m_defaultsPath(defaultsPath)
{ }

SingleInstance::~SingleInstance()
{
    if (m_primary && !m_defaultsPath.isEmpty())
        QFile::remove(addressPath());
}

QString SingleInstance::lockPath() const
{
    if (!m_defaultsPath.isEmpty()) {
        const QFileInfo real(realPath(m_defaultsPath));
        return real.absolutePath() + QStringLiteral("/.") + real.fileName()
            + QStringLiteral(".instance.lock");
    }
    const QString base = m_name.contains(QLatin1Char('/')) ? m_name
        : privateFolder().isEmpty() ? QDir::tempPath() + QLatin1Char('/') + m_name
                                    : privateFolder() + QLatin1Char('/') + m_name;
    return base + QStringLiteral(".lock");
}

QString SingleInstance::addressPath() const
{
    if (m_defaultsPath.isEmpty())
        return QString();
    const QFileInfo real(realPath(m_defaultsPath));
    return real.absolutePath() + QStringLiteral("/.") + real.fileName()
        + QStringLiteral(".instance");
}

bool SingleInstance::tryBecomePrimary()
{
    if (m_primary)
        return true;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // Stale only when its process is gone, never because it is old.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_error = m_lock->error() == QLockFile::LockFailedError
            ? QStringLiteral("another instance is running")
            : QStringLiteral("cannot create %1").arg(lockPath());
        m_lock.reset();
        return false;
    }
    m_primary = true;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, a socket of that name can only be a dead instance's.
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name)) {
        m_error = m_server->errorString();
        return false;
    }
    // Later launches, whatever their runtime folder, find the socket here.
    if (!m_defaultsPath.isEmpty()) {
        QSaveFile address(addressPath());
        if (address.open(QIODevice::WriteOnly)) {
            address.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            address.write(m_server->fullServerName().toUtf8());
            address.commit();
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

SingleInstance::HandOver SingleInstance::sendToRunning(
    const QStringList &items, int timeoutMs) const
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << items;
    }
    if (quint64(payload.size()) > kMaxFrame)
        return HandOver::TooLarge;
    QByteArray frame;
    {
        QDataStream out(&frame, QIODevice::WriteOnly);
        out << quint32(payload.size());
    }
    frame += payload;

    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running instance may still be starting: try until the deadline.
    for (;;) {
        // The socket the running instance named beside the lock, else ours.
        QString target = m_name;
        if (!m_defaultsPath.isEmpty()) {
            QFile address(addressPath());
            if (address.open(QIODevice::ReadOnly)) {
                const QString named = QString::fromUtf8(address.read(4096)).trimmed();
                if (!named.isEmpty())
                    target = named;
            }
        }
        socket.connectToServer(target);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return HandOver::NotAnswered;
        QThread::msleep(100);
    }
    // Nothing goes to a socket another user listens on.
    if (peerUid(socket.socketDescriptor()) != std::optional<uid_t>(::getuid()))
        return HandOver::NotAnswered;
    socket.write(frame);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired()
            || !socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
            return HandOver::NotAnswered;
    }
    // The running instance answers once it has the items; the confirmation
    // tells it this launch is still there to hear it.
    if (!socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))
        || socket.read(1) != "1")
        return HandOver::NotAnswered;
    socket.write("2");
    if (!socket.waitForBytesWritten(2000))
        return HandOver::NotAnswered;
    socket.waitForDisconnected(2000);
    return HandOver::Delivered;
}

void SingleInstance::onConnection()
{
    // Per connection: the frame as it arrives, then the items while the
    // sender confirms it is still there ("2" after our "1"). A sender that
    // gave up (and told its user so) never confirms: its items are dropped,
    // so a hand-over either arrives or is reported as not taken, never both.
    struct Incoming {
        QByteArray buffer;
        std::optional<QStringList> items;
    };
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Only this user's launches hand items over.
        if (peerUid(socket->socketDescriptor()) != std::optional<uid_t>(::getuid())) {
            socket->abort();
            continue;
        }
        auto in = std::make_shared<Incoming>();
        QPointer<SingleInstance> self(this);
        connect(socket, &QLocalSocket::readyRead, this, [self, socket, in] {
            in->buffer += socket->readAll();
            if (in->items) {
                if (in->buffer.startsWith('2')) {
                    const QStringList items = *in->items;
                    in->items.reset();
                    in->buffer.clear();
                    socket->disconnectFromServer();
                    if (self)
                        emit self->received(items);
                }
                return;
            }
            if (in->buffer.size() < 4)
                return;
            quint32 length = 0;
            {
                QDataStream header(in->buffer);
                header >> length;
            }
            if (length > kMaxFrame) {
                socket->abort();
                return;
            }
            if (quint32(in->buffer.size()) < 4 + length)
                return;
            const std::optional<QStringList> items = decodeItems(in->buffer.mid(4, length));
            in->buffer.remove(0, 4 + length);
            if (!items) {
                socket->abort();
                return;
            }
            in->items = *items;
            socket->write("1");
            socket->flush();
        });
    }
}

QStringList SingleInstance::normalizedArguments(const QStringList &args, const QString &workingDir)
{
    QStringList out;
    for (const QString &a : args) {
        if (a.isEmpty() || a.startsWith(QLatin1Char('-')))
            continue;
        if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(a);
            if (url.isLocalFile())
                out << QDir::cleanPath(url.toLocalFile());
            continue;
        }
        if (a.contains(QLatin1String("://"))
            || a.startsWith(QLatin1String("magnet:"), Qt::CaseInsensitive)) {
            out << a;
            continue;
        }
        out << QDir::cleanPath(QDir(workingDir).absoluteFilePath(a));
    }
    return out;
}

} // namespace flk
