// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace nassim {

// What the unit reads from an uploaded .torrent file: its name and files.
struct TorrentFile {
    struct Entry {
        QString path;
        qint64 length = 0;
    };
    QString name;
    QList<Entry> files;
    QString announce;

    // Parses bencoded data; none when it is not a torrent's metainfo.
    static std::optional<TorrentFile> parse(const QByteArray &data);
    // A small valid torrent (for tests and the demo).
    static QByteArray make(const QString &name, const QList<Entry> &files,
        const QString &announce = QStringLiteral("udp://tracker.example.org:1337/announce"));
};

} // namespace nassim
