// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskIntake.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"

namespace flk {

std::optional<QString> TaskIntake::defaultFolder(CgiCtrl *c, Error *e)
{
    Error local;
    Error *err = e ? e : &local;
    const auto prefs = c->get_User_Preference(err);
    if (!prefs || err->isError())
        return std::nullopt;
    const QJsonValue dir = prefs->value(QLatin1String("default_dl_dir"));
    if (dir.isString() && !dir.toString().isEmpty())
        return dir.toString();
    return QString::fromLatin1(kStandardFolder);
}

QJsonObject TaskIntake::torrentOrLink(
    CgiCtrl *c, const QString &torrentUrl, const QString &fallback)
{
    Error e;
    const CgiCtrl::Reply reply = c->add_Torrent_Url(torrentUrl, &e);
    if (reply && !e.isError())
        return *reply;
    return { { QStringLiteral("url"), fallback.isEmpty() ? torrentUrl : fallback } };
}

QList<QJsonObject> TaskIntake::addBatch(
    CgiCtrl *c, const QJsonArray &torrents, bool manual, uint type)
{
    QList<QJsonObject> records;
    if (!c || type != 1)
        return records;
    const bool alerts = c->showErrorAlert();
    // Failures are shown per row, not as alerts.
    c->setShowErrorAlert(false);
    Error e;
    const std::optional<QString> dir = defaultFolder(c, &e);
    for (const QJsonValue &v : dir ? torrents : QJsonArray()) {
        const QJsonObject element = json::toObject(v);
        const QString link = json::stringValue(element, u"torrent");
        const QString magnet = json::stringValue(element, u"magnet");
        Error ue;
        const auto fetched = c->add_Torrent_Url(link, &ue);
        QJsonObject record;
        if (fetched && !ue.isError()) {
            if (manual) {
                record = *fetched;
            } else {
                const QString handle = fetched->contains(QLatin1String("torrent"))
                    ? json::stringValue(*fetched, u"torrent")
                    : json::stringValue(*fetched, u"url");
                Error ae;
                const bool ok = c->add_Torrent(handle, *dir, true, QString(), &ae);
                record = { { QStringLiteral("success"), ok },
                    { QStringLiteral("name"), json::stringValue(*fetched, u"name") } };
            }
        } else if (!magnet.isEmpty()) {
            if (manual) {
                record = { { QStringLiteral("success"), true }, { QStringLiteral("name"), magnet },
                    { QStringLiteral("url"), magnet } };
            } else {
                Error ae;
                const bool ok = c->add_Torrent(magnet, *dir, true, QString(), &ae);
                record = { { QStringLiteral("success"), ok }, { QStringLiteral("name"), magnet } };
            }
        } else {
            record = { { QStringLiteral("success"), false }, { QStringLiteral("name"), link } };
        }
        records.append(record);
    }
    c->setShowErrorAlert(alerts);
    return records;
}

} // namespace flk
