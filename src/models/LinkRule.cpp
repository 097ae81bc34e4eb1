// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "LinkRule.h"

#include <QJsonObject>

namespace flk {

QJsonArray SortedLinks::magnetTorrents() const
{
    QJsonArray torrents;
    for (const QString &m : magnets)
        torrents.append(QJsonObject { { QStringLiteral("torrent"), m } });
    return torrents;
}

} // namespace flk

namespace flk::LinkRule {

SortedLinks sort(const QStringList &links)
{
    SortedLinks out;
    for (const QString &text : links) {
        const QString link = text.trimmed();
        if (link.isEmpty())
            continue;
        const QUrl url(link, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && url.isValid()
            && !url.host().isEmpty()) {
            out.web << url;
        } else if (scheme == QLatin1String("magnet")
            && link.startsWith(QLatin1String("magnet:?"), Qt::CaseInsensitive)) {
            out.magnets << link;
        } else {
            // What it calls itself, capped: the text is the NAS's.
            QString named = scheme.isEmpty() ? link.section(QLatin1Char(':'), 0, 0) : scheme;
            if (named.isEmpty() || named == link)
                named = link;
            named = named.left(40);
            if (!out.refusedSchemes.contains(named))
                out.refusedSchemes << named;
        }
    }
    return out;
}

} // namespace flk::LinkRule
