// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "UploadBody.h"

#include "Localization.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flk {

std::optional<UploadFile> readUploadFile(const QString &path, qint64 maxBytes, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<UploadFile> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // Non-blocking: opening a FIFO for reading would otherwise wait for a
    // writer.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(localized("UPLOAD_NOT_A_FILE"));
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        return fail(stringWithKSTFormat(
            localized("UPLOAD_FILE_TOO_LARGE"), { QString::number(maxBytes / (1024 * 1024)) }));
    }
    UploadFile out;
    out.path = path;
    QString name = QFileInfo(path).fileName();
    name.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    name.replace(QLatin1Char('"'), QStringLiteral("%22"));
    out.name = name;
    out.data.reserve(qsizetype(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return fail(why);
        }
        if (n == 0)
            break;
        // A file that grows while it is read is held to the same limit.
        if (out.data.size() + n > maxBytes) {
            ::close(fd);
            return fail(stringWithKSTFormat(
                localized("UPLOAD_FILE_TOO_LARGE"), { QString::number(maxBytes / (1024 * 1024)) }));
        }
        out.data.append(buf, qsizetype(n));
    }
    ::close(fd);
    return out;
}

QByteArray multipartBody(const QList<UploadFile> &files, QByteArray *boundary)
{
    *boundary = "ferrylink-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16)
        + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    QByteArray body;
    for (const UploadFile &f : files) {
        body += "--" + *boundary + "\r\n";
        body += "Content-Disposition: form-data; name=\"files\"; filename=\"" + f.name.toUtf8()
            + "\"\r\n";
        body += "Content-Type: application/octet-stream\r\n\r\n";
        body += f.data;
        body += "\r\n";
    }
    body += "--" + *boundary + "--\r\n";
    return body;
}

OneShotBody::OneShotBody(QByteArray data, QObject *parent)
    : QIODevice(parent), m_data(std::move(data))
{
    open(QIODevice::ReadOnly);
}

qint64 OneShotBody::bytesAvailable() const
{
    return m_data.size() - m_pos + QIODevice::bytesAvailable();
}

qint64 OneShotBody::readData(char *out, qint64 max)
{
    const qint64 n = std::min(max, qint64(m_data.size()) - m_pos);
    if (n <= 0)
        return m_pos >= m_data.size() ? -1 : 0;
    std::memcpy(out, m_data.constData() + m_pos, size_t(n));
    m_pos += n;
    return n;
}

} // namespace flk
