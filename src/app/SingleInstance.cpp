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
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <memory>
#include <optional>
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

QString SingleInstance::serverName(const QString &defaultsPath)
{
    const QByteArray profile = QFileInfo(defaultsPath).absoluteFilePath().toUtf8();
    const QByteArray hash
        = QCryptographicHash::hash(profile, QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("ferrylink-%1-%2").arg(uint(getuid())).arg(QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{ }

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + m_name + QStringLiteral(".lock");
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
        socket.connectToServer(m_name);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return HandOver::NotAnswered;
        QThread::msleep(100);
    }
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
