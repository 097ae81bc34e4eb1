// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Folder tree, preferences, schedule, search sites and torrent-file
// downloads on the simulated unit.
#include "NasServer.h"

namespace nassim {

namespace {
bool truthy(const QString &v)
{
    return v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
        || v.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

// Form values typed as the stored record's members are; a value that does not
// fit its member's type refuses the whole record.
std::optional<QJsonObject> typedRecord(const QJsonObject &shape, const QMap<QString, QString> &form)
{
    QJsonObject out = shape;
    for (auto it = shape.constBegin(); it != shape.constEnd(); ++it) {
        if (!form.contains(it.key()))
            continue;
        const QString v = form.value(it.key());
        if (it->isBool()) {
            out.insert(it.key(), truthy(v));
        } else if (it->isDouble()) {
            bool ok = false;
            const qint64 n = v.toLongLong(&ok);
            if (!ok || n < 0)
                return std::nullopt;
            out.insert(it.key(), n);
        } else {
            out.insert(it.key(), v);
        }
    }
    return out;
}
// Members of the preference record that only administrators change.
constexpr const char *kServiceWideMembers[]
    = { "max_dl_number", "enable_share_ratio", "share_ratio", "port", "enable_encryption",
          "enable_dht", "enable_max_dl_rate", "max_dl_rate", "enable_max_up_rate", "max_up_rate",
          "max_conn", "max_conn_per_peer", "enable_http_ftp_speed_limit", "http_ftp_speed_limit" };
constexpr int kNotAdministrator = 5325;
} // namespace

void NasServer::registerSettings()
{
    const QString explorer = QStringLiteral("/portal/apis/fileExplorer/fileExplorer.cgi");
    const QString btdlm = QStringLiteral("/apps/haulhouse/btdlm.cgi");
    const QString btsearch = QStringLiteral("/apps/haulhouse/btsearch.cgi");

    on(explorer, QStringLiteral("get_tree"), true, [this](Call &c) {
        const QString node = c.form.value(QStringLiteral("node"));
        NasSettings &s = m_state.settings();
        if (node == QLatin1String("share_folders"))
            return SimReply::ok({ { QStringLiteral("share_folders"), s.shareFolders() } });
        const auto children = s.subfolders(node);
        if (!children)
            return SimReply::fail(5300);
        return SimReply::ok({ { QStringLiteral("datas"), *children } });
    });
    on(explorer, QStringLiteral("createdir"), true, [this](Call &c) {
        const int code = m_state.settings().createFolder(
            c.form.value(QStringLiteral("dest_path")), c.form.value(QStringLiteral("dest_folder")));
        return code ? SimReply::fail(code) : SimReply::ok();
    });

    on(btdlm, QStringLiteral("set-pref"), true, [this](Call &c) {
        const QJsonObject current = m_state.preferences(c.account).value_or(
            NasState::defaultPreferences(QStringLiteral("/Download")));
        auto record = typedRecord(current, c.form);
        if (!record)
            return SimReply::fail(5200);
        // A listening port the unit could not open.
        const qint64 port = record->value(QStringLiteral("port")).toInteger(-1);
        if (record->contains(QStringLiteral("port")) && (port < 1 || port > 65535))
            return SimReply::fail(5200);
        // The service-wide settings are the administrators'; other accounts
        // send them back as read, and the unit keeps its own.
        if (!m_state.isAdministrator(c.account)) {
            for (const char *member : kServiceWideMembers)
                record->insert(
                    QString::fromLatin1(member), current.value(QString::fromLatin1(member)));
        }
        const QString dir = record->value(QStringLiteral("default_dl_dir")).toString();
        if (!m_state.settings().folderExists(dir))
            return SimReply::fail(5201);
        m_state.setPreferences(c.account, *record);
        return SimReply::ok();
    });
    on(btdlm, QStringLiteral("set-user-initial-pref"), true, [this](Call &c) {
        const QString dir = c.form.value(QStringLiteral("default_dl_dir"));
        if (!m_state.settings().folderExists(dir))
            return SimReply::fail(5201);
        QJsonObject record = NasState::defaultPreferences(dir);
        record.insert(QStringLiteral("watch_dir"), c.form.value(QStringLiteral("watch_dir"), dir));
        for (const char *flag : { "enable_auto_remove", "enable_watch", "ignore_other_user" }) {
            const QString key = QString::fromLatin1(flag);
            record.insert(key, truthy(c.form.value(key)));
        }
        m_state.setPreferences(c.account, record);
        return SimReply::ok();
    });
    on(btdlm, QStringLiteral("torrent-scheduler-get"), true, [this](Call &) {
        SimReply r;
        r.json = m_state.settings().schedule();
        return r;
    });
    on(btdlm, QStringLiteral("torrent-scheduler-set"), true, [this](Call &c) {
        // Only administrators change the schedule; others' (unchanged) copy is
        // taken without effect.
        if (!m_state.isAdministrator(c.account))
            return SimReply::ok();
        const int code = m_state.settings().setSchedule(c.form);
        return code ? SimReply::fail(code) : SimReply::ok();
    });
    // The .torrent file of a task, for a browser: no JSON.
    on(btdlm, QStringLiteral("torrent-get"), true, [this](Call &c) {
        const QString path = c.form.value(
            QStringLiteral("torrentFile"), c.query.value(QStringLiteral("torrentFile")));
        const auto file = m_state.tasks().torrentFile(path);
        if (!file)
            return SimReply::fail(5100);
        SimReply r;
        r.body = *file;
        r.contentType = "application/x-bittorrent";
        QString name = c.form.value(QStringLiteral("name"), c.query.value(QStringLiteral("name")));
        name.remove(QLatin1Char('"'));
        r.headers.append(
            { "Content-Disposition", "attachment; filename=\"" + name.toUtf8() + ".torrent\"" });
        return r;
    });

    on(btsearch, QStringLiteral("torrent-search-site-list"), true, [this](Call &) {
        return SimReply::ok({ { QStringLiteral("items"), m_state.settings().sites() } });
    });
    on(btsearch, QStringLiteral("torrent-search-site-enable"), true, [this](Call &c) {
        return m_state.settings().enableSite(c.form.value(QStringLiteral("name")),
                   truthy(c.form.value(QStringLiteral("enable"))))
            ? SimReply::ok()
            : SimReply::fail(5320);
    });
    on(btsearch, QStringLiteral("torrent-delete-search-engine"), true, [this](Call &c) {
        if (!m_state.isAdministrator(c.account))
            return SimReply::fail(kNotAdministrator);
        return m_state.settings().deleteSite(c.form.value(QStringLiteral("name")))
            ? SimReply::ok()
            : SimReply::fail(5322);
    });
    on(btsearch, QStringLiteral("torrent-get-search-engine"), true, [this](Call &c) {
        const auto info = m_state.settings().siteInfo(c.form.value(QStringLiteral("name")));
        if (!info)
            return SimReply::fail(5322);
        SimReply r;
        r.json = *info;
        return r;
    });
    on(btsearch, QStringLiteral("torrent-set-search-engine"), true, [this](Call &c) {
        return m_state.settings().setSiteAccount(c.form.value(QStringLiteral("name")),
                   c.form.value(QStringLiteral("account")), c.form.value(QStringLiteral("pwd")))
            ? SimReply::ok()
            : SimReply::fail(5323);
    });
    on(btsearch, QStringLiteral("torrent-test-search-engine-account"), true, [this](Call &c) {
        return m_state.settings().testSiteAccount(c.form.value(QStringLiteral("name")),
                   c.form.value(QStringLiteral("account")), c.form.value(QStringLiteral("passwd")))
            ? SimReply::ok()
            : SimReply::fail(5324);
    });
    on(QStringLiteral("/apps/haulhouse/upload.cgi"), QStringLiteral("torrent-add-search-engine"),
        true, [this](Call &c) {
            if (c.files.isEmpty())
                return SimReply::fail(5320);
            const int code
                = m_state.settings().addSite(c.files.first().filename, c.files.first().content);
            return code ? SimReply::fail(code) : SimReply::ok();
        });
}

} // namespace nassim
