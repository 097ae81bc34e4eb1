// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Folder, preference, schedule and search-site operations of CgiCtrl.
#include "CgiCtrl.h"

#include "CgiOperations.h"
#include "JsonUtil.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace flk {

namespace {
const QString btdlm()
{
    return QString::fromLatin1(kCgiPathBtdlm);
}
const QString btsearch()
{
    return QString::fromLatin1(kCgiPathBtsearch);
}

// Every member of a record as a form parameter (booleans "1"/"0", numbers in
// decimal, text unchanged; a nested value as compact JSON).
QVariantMap recordParameters(const QJsonObject &record)
{
    QVariantMap params;
    for (auto it = record.constBegin(); it != record.constEnd(); ++it) {
        const QJsonValue v = it.value();
        if (v.isArray())
            params.insert(it.key(),
                QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)));
        else if (v.isObject())
            params.insert(it.key(),
                QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact)));
        else if (!v.isNull() && !v.isUndefined())
            params.insert(it.key(), v.toVariant());
    }
    return params;
}
} // namespace

std::optional<QJsonValue> CgiCtrl::get_Folder_List(const QString &path, bool root, Error *error)
{
    return _request_Member(QString::fromLatin1(kCgiPathFileExplorer), QStringLiteral("get_tree"),
        { { QStringLiteral("node"), root ? QStringLiteral("share_folders") : path } }, kCgiGetTree,
        root ? QStringLiteral("share_folders") : QStringLiteral("datas"), error);
}

bool CgiCtrl::create_Folder(const QString &parent, const QString &name, Error *error)
{
    return _request_Ok(QString::fromLatin1(kCgiPathFileExplorer), QStringLiteral("createdir"),
        { { QStringLiteral("dest_path"), parent }, { QStringLiteral("dest_folder"), name } },
        kCgiCreateDir, error);
}

CgiCtrl::Reply CgiCtrl::get_User_Preference(Error *error)
{
    return _request_Reply(btdlm(), QStringLiteral("get-user-pref"), {}, kCgiGetUserPref, error);
}

bool CgiCtrl::set_User_Preference(const QJsonObject &record, Error *error)
{
    return _request_Ok(
        btdlm(), QStringLiteral("set-pref"), recordParameters(record), kCgiSetPref, error);
}

bool CgiCtrl::set_User_Initial_Preference(const QString &folder, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("set-user-initial-pref"),
        { { QStringLiteral("default_dl_dir"), folder },
            { QStringLiteral("enable_auto_remove"), false },
            { QStringLiteral("enable_watch"), false }, { QStringLiteral("watch_dir"), folder },
            { QStringLiteral("ignore_other_user"), false } },
        kCgiSetUserInitialPref, error);
}

CgiCtrl::Reply CgiCtrl::get_Torrent_Schedule(Error *error)
{
    return _request_Reply(
        btdlm(), QStringLiteral("torrent-scheduler-get"), {}, kCgiSchedulerGet, error);
}

bool CgiCtrl::set_Torrent_Schedule(const QJsonObject &record, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("torrent-scheduler-set"), recordParameters(record),
        kCgiSchedulerSet, error);
}

QString CgiCtrl::encodeScheduleDay(const QList<int> &hours)
{
    QString out;
    for (int h = 0; h < 24; ++h) {
        if (h)
            out += QLatin1Char(',');
        out += QString::number(h < hours.size() ? hours[h] : 0);
    }
    return out;
}

QList<int> CgiCtrl::decodeScheduleDay(const QJsonValue &day)
{
    const QJsonArray values = json::toArray(day);
    QList<int> hours;
    hours.reserve(24);
    for (int h = 0; h < 24; ++h)
        hours << int(json::toInt(json::at(values, h)));
    return hours;
}

std::optional<QJsonArray> CgiCtrl::get_Search_Site_List(Error *error)
{
    const auto items = _request_Member(btsearch(), QStringLiteral("torrent-search-site-list"), {},
        kCgiSearchSiteList, QStringLiteral("items"), error);
    if (!items)
        return std::nullopt;
    return json::toArray(*items);
}

bool CgiCtrl::enable_Search_Site(const QString &name, bool enable, Error *error)
{
    return _request_Ok(btsearch(), QStringLiteral("torrent-search-site-enable"),
        { { QStringLiteral("name"), name }, { QStringLiteral("enable"), enable } },
        kCgiSearchSiteEnable, error);
}

bool CgiCtrl::add_Search_Site(const QString &file, Error *error)
{
    Error err;
    const Reply reply = upload_Files(QString::fromLatin1(kCgiPathUpload),
        QStringLiteral("torrent-add-search-engine"), std::nullopt, { file }, &err);
    // A plug-in the unit refuses is a failure with its own text, not a
    // success that adds nothing.
    if (!err.isError()) {
        err = _get_Error_Code(kCgiSearchEngineAdd, reply);
        if (err.isError() && showErrorAlert())
            _handle_Error_Code(err);
    } else {
        _report_Upload_Failure(err, { file });
    }
    setError(error, err);
    return !err.isError();
}

bool CgiCtrl::delete_Search_Site(const QString &name, Error *error)
{
    return _request_Ok(btsearch(), QStringLiteral("torrent-delete-search-engine"),
        { { QStringLiteral("name"), name } }, kCgiSearchEngineDelete, error);
}

CgiCtrl::Reply CgiCtrl::get_Search_Site_Info(const QString &name, Error *error)
{
    return _request_Reply(btsearch(), QStringLiteral("torrent-get-search-engine"),
        { { QStringLiteral("name"), name } }, kCgiSearchEngineGet, error);
}

bool CgiCtrl::set_Search_Site_Info(const QString &name, const QJsonObject &settings, Error *error)
{
    QVariantMap params = recordParameters(settings);
    params.insert(QStringLiteral("name"), name);
    return _request_Ok(btsearch(), QStringLiteral("torrent-set-search-engine"), params,
        kCgiSearchEngineSet, error);
}

bool CgiCtrl::test_Search_Site_Auth(
    const QString &name, const QString &account, const QString &password, Error *error)
{
    return _request_Ok(btsearch(), QStringLiteral("torrent-test-search-engine-account"),
        { { QStringLiteral("name"), name }, { QStringLiteral("account"), account },
            { QStringLiteral("passwd"), password } },
        kCgiSearchEngineTestAccount, error);
}

} // namespace flk
