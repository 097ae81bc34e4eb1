// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>

namespace flk {

// The largest file the client uploads. Torrent files are kilobytes to a few
// megabytes (a 100 GB torrent with 16 KiB pieces holds about 130 MB of piece
// hashes, and such torrents use larger pieces); anything larger is not one.
inline constexpr qint64 kMaxUploadFileBytes = 64 * 1024 * 1024;

struct UploadFile {
    QString path;
    QString name; // the file name as sent
    QByteArray data;
};

// Reads a file to upload. Only a regular file is read: a FIFO, a device or a
// socket is refused without blocking (opened non-blocking and checked on the
// open descriptor), as is a file larger than maxBytes. error: why not.
std::optional<UploadFile> readUploadFile(const QString &path, qint64 maxBytes, QString *error);

// A multipart/form-data body of the files (field "files"); boundary is set.
QByteArray multipartBody(const QList<UploadFile> &files, QByteArray *boundary);

// An upload body that can be sent once: sequential, so the network layer
// cannot rewind it and send a non-idempotent upload a second time after a
// dropped connection (it reports the failure instead).
class OneShotBody : public QIODevice
{
    Q_OBJECT

public:
    explicit OneShotBody(QByteArray data, QObject *parent = nullptr);
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool reset() override { return false; }
    qint64 size() const override { return m_data.size(); }

protected:
    qint64 readData(char *out, qint64 max) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

} // namespace flk
