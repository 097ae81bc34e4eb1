// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

namespace flk {

class CgiCtrl;

// The details of one torrent task as the tabs show them, prepared off the
// GUI thread from a "torrent-info" reply.
struct TaskDetails {
    // Information values by reply key; "-" where the reply has none.
    QHash<QString, QString> info;
    QString torrentLink;
    QList<QJsonObject> files; // in reply order (the NAS sorts them)
    bool hasTrackers = false;
    QList<QJsonObject> trackers; // sorted on the client

    // The information tab's reply keys, in the tab's order.
    static const QList<QString> &infoKeys();
    static TaskDetails decode(const QJsonObject &reply, const QString &trackerSortKey,
        const QString &trackerOrder, const CgiCtrl *client);
    // Sorts by the value under key: numbers as numbers, texts as texts;
    // ascending for "asc", descending otherwise. Stable.
    static void sortTrackers(
        QList<QJsonObject> &trackers, const QString &key, const QString &order);
};

} // namespace flk
