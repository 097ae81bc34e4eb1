#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QUrl>

#include <unistd.h>

namespace flk {

namespace {
// Frames: a 32-bit length, then a QDataStream of a QStringList; the reply is
// one byte "1". Large hand-overs are bounded.
constexpr quint32 kMaxFrame = 4 * 1024 * 1024;
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

bool SingleInstance::sendToRunning(const QStringList &items, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << items;
    }
    QByteArray frame;
    {
        QDataStream out(&frame, QIODevice::WriteOnly);
        out << quint32(payload.size());
    }
    frame += payload;
    socket.write(frame);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running instance answers once it has the items.
    if (!socket.waitForReadyRead(timeoutMs))
        return false;
    return socket.read(1) == "1";
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered on it (sendToRunning failed first): a stale socket.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto *buffer = new QByteArray;
        connect(socket, &QObject::destroyed, socket, [buffer] { delete buffer; });
        QPointer<SingleInstance> self(this);
        connect(socket, &QLocalSocket::readyRead, this, [self, socket, buffer] {
            *buffer += socket->readAll();
            if (buffer->size() < 4)
                return;
            quint32 length = 0;
            {
                QDataStream header(*buffer);
                header >> length;
            }
            if (length > kMaxFrame) {
                socket->abort();
                return;
            }
            if (quint32(buffer->size()) < 4 + length)
                return;
            QStringList items;
            QDataStream in(buffer->mid(4, length));
            in >> items;
            buffer->clear();
            if (in.status() != QDataStream::Ok) {
                socket->abort();
                return;
            }
            socket->write("1");
            socket->flush();
            if (self)
                emit self->received(items);
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
