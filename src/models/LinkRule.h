// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace flk {

// What may be done with a link that came from the NAS (a feed item's or a
// search result's): web pages open in the browser, magnet links are offered
// as new tasks, anything else (file:, javascript:, smb:, a desktop file, a
// made-up scheme) is refused and named.
struct SortedLinks {
    QList<QUrl> web;
    QStringList magnets;
    QStringList refusedSchemes; // each scheme once, in the order met
    // The magnet links as the multi-download wizard takes them.
    QJsonArray magnetTorrents() const;
};

namespace LinkRule {
SortedLinks sort(const QStringList &links);
} // namespace LinkRule

} // namespace flk
