// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskDetails.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"

#include <QJsonArray>

#include <algorithm>

namespace flk {

const QList<QString> &TaskDetails::infoKeys()
{
    static const QList<QString> keys = { QStringLiteral("time_elapsed"),
        QStringLiteral("download_speed"), QStringLiteral("seeds"), QStringLiteral("downloaded"),
        QStringLiteral("share_ratio"), QStringLiteral("download_dir"),
        QStringLiteral("upload_speed"), QStringLiteral("peers"), QStringLiteral("uploaded") };
    return keys;
}

TaskDetails TaskDetails::decode(const QJsonObject &reply, const QString &trackerSortKey,
    const QString &trackerOrder, const CgiCtrl *client)
{
    TaskDetails d;
    for (const QString &key : infoKeys()) {
        const QJsonValue v = reply.value(key);
        d.info.insert(
            key, (v.isUndefined() || v.isNull()) ? QStringLiteral("-") : json::toString(v));
    }
    if (client)
        d.torrentLink = client->get_Torrent_URL(
            json::stringValue(reply, u"name"), json::stringValue(reply, u"torrentFile"));
    for (const QJsonValue &f : json::arrayValue(reply, u"files"))
        if (f.isObject())
            d.files.append(f.toObject());
    const QJsonValue trackers = reply.value(QLatin1String("tracker"));
    d.hasTrackers = !trackers.isUndefined();
    for (const QJsonValue &t : json::toArray(trackers))
        if (t.isObject())
            d.trackers.append(t.toObject());
    sortTrackers(d.trackers, trackerSortKey, trackerOrder);
    return d;
}

void TaskDetails::sortTrackers(
    QList<QJsonObject> &trackers, const QString &key, const QString &order)
{
    const bool asc = order == QLatin1String("asc");
    auto compare = [&key](const QJsonObject &a, const QJsonObject &b) {
        const QJsonValue x = a.value(key), y = b.value(key);
        if (x.isDouble() && y.isDouble())
            return x.toDouble() < y.toDouble() ? -1 : x.toDouble() > y.toDouble() ? 1 : 0;
        // Numbers before texts, texts compared as texts.
        if (x.isDouble() != y.isDouble())
            return x.isDouble() ? -1 : 1;
        return QString::compare(json::toString(x), json::toString(y));
    };
    std::stable_sort(
        trackers.begin(), trackers.end(), [&](const QJsonObject &a, const QJsonObject &b) {
            const int c = compare(a, b);
            return asc ? c < 0 : c > 0;
        });
}

} // namespace flk
