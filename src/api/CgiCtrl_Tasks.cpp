// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Download-task operations of CgiCtrl: thin wrappers over the request layer.
#include "CgiCtrl.h"

#include "CgiOperations.h"

#include <QFileInfo>

namespace flk {

namespace {
const QString btdlm()
{
    return QString::fromLatin1(kCgiPathBtdlm);
}
} // namespace

CgiCtrl::Reply CgiCtrl::_request_Reply(const QString &path, const QString &action,
    const QVariantMap &params, int function, Error *error)
{
    Error err;
    Reply reply = send_Request(path, action, params, function, &err);
    setError(error, err);
    return err.isError() ? std::nullopt : reply;
}

bool CgiCtrl::_request_Ok(const QString &path, const QString &action, const QVariantMap &params,
    int function, Error *error)
{
    Error err;
    send_Request(path, action, params, function, &err);
    setError(error, err);
    return !err.isError();
}

std::optional<QJsonValue> CgiCtrl::_request_Member(const QString &path, const QString &action,
    const QVariantMap &params, int function, const QString &member, Error *error)
{
    const Reply reply = _request_Reply(path, action, params, function, error);
    if (!reply)
        return std::nullopt;
    return reply->value(member);
}

CgiCtrl::Reply CgiCtrl::get_Torrent_List(
    int category, const QString &sort, const QString &order, const QString &filter, Error *error)
{
    return _request_Reply(btdlm(), QStringLiteral("torrent-list"),
        { { QStringLiteral("type"), category }, { QStringLiteral("sortby"), sort },
            { QStringLiteral("orderby"), order }, { QStringLiteral("filter"), filter } },
        kCgiTorrentList, error);
}

CgiCtrl::Reply CgiCtrl::get_Torrent_Info(
    qint64 taskId, const QString &sort, const QString &order, Error *error)
{
    return _request_Reply(btdlm(), QStringLiteral("torrent-info"),
        { { QStringLiteral("id"), taskId }, { QStringLiteral("sortby"), sort },
            { QStringLiteral("orderby"), order } },
        kCgiTorrentInfo, error);
}

std::optional<QJsonValue> CgiCtrl::upload_Torrent(
    const QStringList &files, bool showTaskDialog, const QString &saveTo, Error *error)
{
    Error failed;
    const Reply reply
        = upload_Files(QString::fromLatin1(kCgiPathUpload), QStringLiteral("multi-torrent-upload"),
            QVariantMap { { QStringLiteral("show_dialog_enabled"), showTaskDialog },
                { QStringLiteral("save_to"), saveTo } },
            files, &failed);
    if (!reply) {
        // Not sent, refused by the web server, dropped: said, with the files.
        _report_Upload_Failure(failed, files);
        setError(error, failed);
        return std::nullopt;
    }
    // A unit that refuses the files (not torrents, no room, ...) says so in
    // the reply; that is a failure like any other request's, with its text.
    const Error refused = _get_Error_Code(kCgiMultiTorrentUpload, reply);
    if (refused.isError()) {
        QStringList names;
        for (const QString &f : files)
            names << QFileInfo(f).fileName();
        if (showErrorAlert())
            _handle_Error_Code(refused, names.join(QStringLiteral(", ")));
        setError(error, refused);
        return std::nullopt;
    }
    return reply->value(QLatin1String("torrent_list"));
}

CgiCtrl::Reply CgiCtrl::add_Torrent_Url(const QString &url, Error *error)
{
    return _request_Reply(btdlm(), QStringLiteral("torrent-add-url"),
        { { QStringLiteral("url"), url } }, kCgiTorrentAddUrl, error);
}

bool CgiCtrl::add_Torrent(const QString &torrent, const QString &dir, bool topQueue,
    const QString &unwanted, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-add"),
        { { QStringLiteral("torrent"), torrent }, { QStringLiteral("download_dir"), dir },
            { QStringLiteral("enable_top_queue"), topQueue },
            { QStringLiteral("file_unwanted"), unwanted } },
        kCgiTorrentAdd, error);
}

bool CgiCtrl::set_Torrent(const QString &taskId, const QString &dir, const QString &wanted,
    const QString &unwanted, Error *error)
{
    QVariantMap form { { QStringLiteral("id"), taskId }, { QStringLiteral("file_wanted"), wanted },
        { QStringLiteral("file_unwanted"), unwanted } };
    // A null folder is one the caller never read: the task stays where it is.
    if (!dir.isNull())
        form.insert(QStringLiteral("download_dir"), dir);
    return _request_Ok(btdlm(), QStringLiteral("torrent-set"), form, kCgiTorrentSet, error);
}

bool CgiCtrl::remove_Torrent(const QString &ids, int mode, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-remove"),
        { { QStringLiteral("id"), ids }, { QStringLiteral("mode"), mode } }, kCgiTorrentRemove,
        error);
}

bool CgiCtrl::start_Torrent(const QString &ids, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-start"), { { QStringLiteral("id"), ids } },
        kCgiTorrentStart, error);
}

bool CgiCtrl::stop_Torrent(const QString &ids, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-stop"), { { QStringLiteral("id"), ids } },
        kCgiTorrentStop, error);
}

bool CgiCtrl::change_Torrent_Order(const QString &ids, const QString &direction, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-queue"),
        { { QStringLiteral("id"), ids }, { QStringLiteral("direction"), direction } },
        kCgiTorrentQueue, error);
}

QString CgiCtrl::get_Torrent_URL(const QString &name, const QString &torrentPath) const
{
    return generate_Cgi_URL(host(), btdlm(), QStringLiteral("torrent-get"),
        QVariantMap {
            { QStringLiteral("name"), name }, { QStringLiteral("torrentFile"), torrentPath } });
}

bool CgiCtrl::add_Torrent_Tracker(qint64 taskId, const QString &tracker, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("tracker-add"),
        { { QStringLiteral("id"), taskId }, { QStringLiteral("tracker"), tracker } },
        kCgiTrackerAdd, error);
}

bool CgiCtrl::remove_Torrent_Tracker(qint64 taskId, const QString &trackerIds, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("tracker-remove"),
        { { QStringLiteral("id"), taskId }, { QStringLiteral("tracker_id"), trackerIds } },
        kCgiTrackerRemove, error);
}

std::optional<QJsonValue> CgiCtrl::add_Download(
    const QString &url, const QString &dir, const QVariantMap &options, Error *error)
{
    QVariantMap params;
    for (const char *key : { "show_dialog_enabled", "auto_torrent_enabled", "auth_enabled",
             "auth_account", "auth_password" }) {
        const QString k = QString::fromLatin1(key);
        if (options.contains(k))
            params.insert(k, options.value(k));
    }
    params.insert(QStringLiteral("url"), url);
    params.insert(QStringLiteral("save_to"), dir);
    return _request_Member(btdlm(), QStringLiteral("download-add"), params, kCgiDownloadAdd,
        QStringLiteral("torrent_list"), error);
}

bool CgiCtrl::remove_Download(const QString &ids, int mode, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("download-delete"),
        { { QStringLiteral("id"), ids }, { QStringLiteral("mode"), mode } }, kCgiDownloadDelete,
        error);
}

bool CgiCtrl::start_Download(const QString &ids, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("download-start"), { { QStringLiteral("id"), ids } },
        kCgiDownloadStart, error);
}

bool CgiCtrl::stop_Download(const QString &ids, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("download-stop"), { { QStringLiteral("id"), ids } },
        kCgiDownloadStop, error);
}

} // namespace flk
