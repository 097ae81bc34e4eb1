// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The download service's task acts on the simulated unit.
#include "NasServer.h"

namespace nassim {

void NasServer::registerTasks()
{
    const QString btdlm = QStringLiteral("/apps/haulhouse/btdlm.cgi");
    on(btdlm, QStringLiteral("torrent-list"), true, [this](Call &c) {
        SimReply r;
        r.json = m_state.tasks().list(c.form.value(QStringLiteral("type")).toInt(),
            c.form.value(QStringLiteral("sortby")), c.form.value(QStringLiteral("orderby")),
            c.form.value(QStringLiteral("filter")), 0);
        return r;
    });
    on(btdlm, QStringLiteral("torrent-info"), true, [this](Call &c) {
        const auto info = m_state.tasks().info(c.form.value(QStringLiteral("id")).toLongLong(),
            c.form.value(QStringLiteral("sortby")), c.form.value(QStringLiteral("orderby")), 0);
        if (!info)
            return SimReply::fail(5100);
        SimReply r;
        r.json = *info;
        return r;
    });
    // Commands: the same act family for each task type.
    struct Command {
        const char *act;
        const char *type;
        int kind; // 0 start, 1 stop, 2 remove, 3 queue
    };
    static const Command commands[] = {
        { "torrent-start", "BT", 0 },
        { "torrent-stop", "BT", 1 },
        { "torrent-remove", "BT", 2 },
        { "torrent-queue", "BT", 3 },
        { "download-start", "HTTP/FTP", 0 },
        { "download-stop", "HTTP/FTP", 1 },
        { "download-delete", "HTTP/FTP", 2 },
    };
    for (const Command &cmd : commands) {
        const QString type = QString::fromLatin1(cmd.type);
        const int kind = cmd.kind;
        on(btdlm, QString::fromLatin1(cmd.act), true, [this, type, kind](Call &c) {
            const QList<qint64> ids = NasTasks::parseIds(c.form.value(QStringLiteral("id")));
            if (ids.isEmpty())
                return SimReply::fail(5101);
            NasTasks &tasks = m_state.tasks();
            bool ok = false;
            switch (kind) {
            case 0:
                ok = tasks.start(type, ids);
                break;
            case 1:
                ok = tasks.stop(type, ids);
                break;
            case 2:
                ok = tasks.remove(type, ids);
                break;
            default:
                ok = tasks.move(
                    type, ids, c.form.value(QStringLiteral("direction")) == QLatin1String("up"));
                break;
            }
            return ok ? SimReply::ok() : SimReply::fail(5102);
        });
    }
    on(btdlm, QStringLiteral("tracker-add"), true, [this](Call &c) {
        const QString url = c.form.value(QStringLiteral("tracker"));
        if (url.isEmpty())
            return SimReply::fail(5103);
        return m_state.tasks().addTracker(c.form.value(QStringLiteral("id")).toLongLong(), url)
            ? SimReply::ok()
            : SimReply::fail(5102);
    });
    on(btdlm, QStringLiteral("tracker-remove"), true, [this](Call &c) {
        return m_state.tasks().removeTrackers(c.form.value(QStringLiteral("id")).toLongLong(),
                   NasTasks::parseIds(c.form.value(QStringLiteral("tracker_id"))))
            ? SimReply::ok()
            : SimReply::fail(5102);
    });
}

} // namespace nassim
