// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// How work reaches the simulated unit: torrent uploads, links, torrent URLs,
// and the task dialog's add and set requests.
#include "NasServer.h"
#include "TorrentFile.h"

namespace nassim {

namespace {
bool truthy(const QString &v)
{
    return v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QList<NasTasks::File> filesOf(const TorrentFile &t)
{
    QList<NasTasks::File> files;
    qint64 id = 0;
    for (const TorrentFile::Entry &e : t.files)
        files.append({ id++, e.path, e.length, true });
    return files;
}

// The link a download tool's scheme stands for ("flashget://" and "qqdl://"
// carry it base64-encoded); empty when it cannot be read.
QString translated(const QString &link)
{
    const int sep = link.indexOf(QLatin1String("://"));
    const QString scheme = link.left(sep).toLower();
    if (scheme != QLatin1String("flashget") && scheme != QLatin1String("qqdl"))
        return link;
    QString payload = link.mid(sep + 3);
    payload = payload.section(QLatin1Char('&'), 0, 0);
    if (payload.endsWith(QLatin1Char('/')))
        payload.chop(1);
    QString url = QString::fromUtf8(QByteArray::fromBase64(payload.toLatin1()));
    url.remove(QStringLiteral("[FLASHGET]"));
    return url.contains(QLatin1String("://")) ? url : QString();
}
} // namespace

void NasServer::registerIntake()
{
    const QString btdlm = QStringLiteral("/apps/haulhouse/btdlm.cgi");

    // Uploaded torrents wait for the task dialog when it is asked for, else
    // they start at once in the given folder.
    on(QStringLiteral("/apps/haulhouse/upload.cgi"), QStringLiteral("multi-torrent-upload"), true,
        [this](Call &c) {
            const bool dialog = truthy(c.form.value(QStringLiteral("show_dialog_enabled"),
                c.query.value(QStringLiteral("show_dialog_enabled"))));
            const QString dir
                = c.form.value(QStringLiteral("save_to"), c.query.value(QStringLiteral("save_to")));
            NasTasks &tasks = m_state.tasks();
            QJsonArray list;
            int accepted = 0;
            for (const Call::File &f : c.files) {
                const auto torrent = TorrentFile::parse(f.content);
                if (!torrent)
                    continue;
                ++accepted;
                const QJsonObject pending
                    = tasks.addPending(torrent->name, filesOf(*torrent), {}, torrent->announce);
                if (dialog)
                    list.append(pending);
                else
                    tasks.addTorrent(
                        pending.value(QStringLiteral("torrent")).toString(), dir, false, {});
            }
            if (!accepted)
                return SimReply::fail(5110);
            return SimReply::ok({ { QStringLiteral("torrent_list"), list } });
        });

    // A torrent file's address: the unit fetches it and keeps it waiting.
    on(btdlm, QStringLiteral("torrent-add-url"), true, [this](Call &c) {
        const QString url = c.form.value(QStringLiteral("url"));
        const QUrl u(url);
        if (!u.isValid()
            || (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https"))
            || u.host().contains(QLatin1String("fail")))
            return SimReply::fail(5111);
        QString name = NasTasks::nameFromLink(url);
        if (name.endsWith(QLatin1String(".torrent")))
            name.chop(8);
        const QList<NasTasks::File> files { { 0, name + QStringLiteral(".mkv"), 734003200LL, true },
            { 1, QStringLiteral("Sample/sample.mkv"), 10485760LL, true },
            { 2, QStringLiteral("readme.txt"), 1536LL, true } };
        SimReply r = SimReply::ok(m_state.tasks().addPending(name, files, url));
        return r;
    });

    on(btdlm, QStringLiteral("torrent-add"), true, [this](Call &c) {
        const qint64 id = m_state.tasks().addTorrent(c.form.value(QStringLiteral("torrent")),
            c.form.value(QStringLiteral("download_dir")),
            truthy(c.form.value(QStringLiteral("enable_top_queue"))),
            NasTasks::parseIds(c.form.value(QStringLiteral("file_unwanted"))));
        return id ? SimReply::ok() : SimReply::fail(5112);
    });
    on(btdlm, QStringLiteral("torrent-set"), true, [this](Call &c) {
        return m_state.tasks().setTorrentFiles(c.form.value(QStringLiteral("id")).toLongLong(),
                   NasTasks::parseIds(c.form.value(QStringLiteral("file_wanted"))),
                   NasTasks::parseIds(c.form.value(QStringLiteral("file_unwanted"))))
            ? SimReply::ok()
            : SimReply::fail(5102);
    });

    // Links, one per line: torrents (magnets, .torrent addresses) wait for
    // the task dialog when it is asked for; other links become plain tasks.
    on(btdlm, QStringLiteral("download-add"), true, [this](Call &c) {
        const QString dir = c.form.value(QStringLiteral("save_to"));
        const bool dialog = truthy(c.form.value(QStringLiteral("show_dialog_enabled")));
        const bool translate = truthy(c.form.value(QStringLiteral("auto_torrent_enabled")));
        if (truthy(c.form.value(QStringLiteral("auth_enabled")))
            && (c.form.value(QStringLiteral("auth_account")).isEmpty()
                || c.form.value(QStringLiteral("auth_password")).isEmpty()))
            return SimReply::fail(5113);
        NasTasks &tasks = m_state.tasks();
        QJsonArray list;
        int added = 0;
        for (QString line : c.form.value(QStringLiteral("url")).split(QLatin1Char('\n'))) {
            line = line.trimmed();
            if (line.isEmpty())
                continue;
            if (translate)
                line = translated(line);
            const QString lower = line.toLower();
            const bool torrent = lower.startsWith(QLatin1String("magnet:"))
                || ((lower.startsWith(QLatin1String("http")))
                    && QUrl(line).path().endsWith(QLatin1String(".torrent")));
            const bool plain = lower.startsWith(QLatin1String("http://"))
                || lower.startsWith(QLatin1String("https://"))
                || lower.startsWith(QLatin1String("ftp://"));
            if (line.isEmpty() || (!torrent && !plain))
                continue;
            ++added;
            if (torrent && dialog) {
                list.append(tasks.addPending(NasTasks::nameFromLink(line), {}, line));
            } else if (torrent) {
                tasks.addTorrent(line, dir, false, {});
            } else {
                tasks.addPlain(line, dir);
            }
        }
        if (!added)
            return SimReply::fail(5114);
        return SimReply::ok({ { QStringLiteral("torrent_list"), list } });
    });
}

} // namespace nassim
