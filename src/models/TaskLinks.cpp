// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskLinks.h"

#include <QMimeData>
#include <QUrl>

namespace flk::TaskLinks {

bool isValidLink(const QString &line)
{
    static const char *const prefixes[]
        = { "http://", "https://", "ftp://", "flashget://", "qqdl://", "magnet:" };
    const QString lower = line.toLower();
    for (const char *p : prefixes)
        if (lower.startsWith(QLatin1String(p)))
            return true;
    return false;
}

bool shouldEnableURL(const QFileInfo &info)
{
    if (info.isDir())
        return true;
    return info.isFile() && info.suffix() == QLatin1String("torrent");
}

QString linkText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        if (line.isEmpty() || !isValidLink(line))
            continue;
        // Spaces and tabs only; anything else is sent as typed.
        qsizetype from = 0, to = line.size();
        while (from < to && (line[from] == QLatin1Char(' ') || line[from] == QLatin1Char('\t')))
            ++from;
        while (to > from && (line[to - 1] == QLatin1Char(' ') || line[to - 1] == QLatin1Char('\t')))
            --to;
        text += line.mid(from, to - from) + QLatin1Char('\n');
    }
    return text;
}

void droppedWork(const QMimeData *mime, QStringList *files, QStringList *links)
{
    if (mime->hasUrls()) {
        for (const QUrl &url : mime->urls()) {
            if (url.isLocalFile()) {
                const QFileInfo info(url.toLocalFile());
                if (info.isFile() && shouldEnableURL(info))
                    *files << info.absoluteFilePath();
            } else if (isValidLink(url.toString())) {
                *links << url.toString();
            }
        }
    } else if (mime->hasText()) {
        for (const QString &line : mime->text().split(QLatin1Char('\n')))
            if (isValidLink(line.trimmed()))
                *links << line.trimmed();
    }
}

} // namespace flk::TaskLinks
