// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskIntake.h"

#include "TaskLinks.h"
#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"

namespace flk {

TaskIntake::Request TaskIntake::fromSheet(const QVariantMap &result)
{
    return result.contains(QStringLiteral("auto_torrent_enabled")) ? downloadLinks(result)
                                                                   : torrentFiles(result);
}

TaskIntake::Request TaskIntake::torrentFiles(const QVariantMap &result)
{
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    const QStringList files = result.value(QStringLiteral("items")).toStringList();
    const bool dialog = result.value(QStringLiteral("show_dialog_enabled")).toInt() != 0;
    return [files, dialog, saveTo](CgiCtrl *c, Error *e) -> std::optional<QJsonArray> {
        if (const auto uploaded = c->upload_Torrent(files, dialog, saveTo, e))
            return json::toArray(*uploaded);
        return std::nullopt;
    };
}

TaskIntake::Request TaskIntake::downloadLinks(const QVariantMap &result)
{
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    const QString text = TaskLinks::linkText(result.value(QStringLiteral("items")).toStringList());
    QVariantMap options;
    for (const char *key : { "auto_torrent_enabled", "show_dialog_enabled", "auth_enabled",
             "auth_account", "auth_password" })
        options.insert(QString::fromLatin1(key), result.value(QString::fromLatin1(key)));
    return [text, saveTo, options](CgiCtrl *c, Error *e) -> std::optional<QJsonArray> {
        if (const auto added = c->add_Download(text, saveTo, options, e))
            return json::toArray(*added);
        return std::nullopt;
    };
}

TaskIntake::Request TaskIntake::handedOver(const QStringList &files, const QStringList &links)
{
    const QString text = TaskLinks::linkText(links);
    return [files, text](CgiCtrl *c, Error *failure) -> std::optional<QJsonArray> {
        Error e;
        const std::optional<QString> folder = defaultFolder(c, &e);
        if (!folder) {
            if (e.is(kCgiErrorDomain, kCgiErrorNoPreference) && failure)
                *failure = e;
            return std::nullopt;
        }
        QJsonArray all;
        if (!files.isEmpty()) {
            if (const auto uploaded = c->upload_Torrent(files, true, *folder, failure))
                for (const QJsonValue &v : json::toArray(*uploaded))
                    all.append(v);
        }
        if (!text.isEmpty()) {
            Error le;
            const auto added = c->add_Download(text, *folder,
                { { QStringLiteral("show_dialog_enabled"), 1 },
                    { QStringLiteral("auto_torrent_enabled"), 0 },
                    { QStringLiteral("auth_enabled"), 0 },
                    { QStringLiteral("auth_account"), QString() },
                    { QStringLiteral("auth_password"), QString() } },
                &le);
            if (added)
                for (const QJsonValue &v : json::toArray(*added))
                    all.append(v);
        }
        return all;
    };
}

TaskIntake::Items TaskIntake::handedOverItems(const QStringList &items)
{
    Items out;
    for (const QString &item : items)
        (TaskLinks::isValidLink(item) ? out.links : out.files) << item;
    return out;
}

TaskIntake::Items TaskIntake::dropped(const QMimeData *mime)
{
    Items items;
    TaskLinks::droppedWork(mime, &items.files, &items.links);
    return items;
}

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

std::optional<QJsonObject> NewTaskChain::start(const QJsonArray &torrents, int index)
{
    if (index < 0 || index >= torrents.size()) {
        clear();
        return std::nullopt;
    }
    m_torrents = torrents;
    m_index = index;
    return json::toObject(m_torrents.at(index));
}

std::optional<QJsonObject> NewTaskChain::next()
{
    if (m_index < 0 || m_index + 1 >= m_torrents.size()) {
        clear();
        return std::nullopt;
    }
    ++m_index;
    return json::toObject(m_torrents.at(m_index));
}

void NewTaskChain::clear()
{
    m_torrents = {};
    m_index = -1;
}

} // namespace flk
