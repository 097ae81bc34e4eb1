// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "CgiCtrlDelegate.h"
#include "CgiTransport.h"
#include "Error.h"
#include "Work.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QSslCertificate;
class QTimer;

namespace flk {

// Identifiers of the request layer's error alerts, handed to blockAlert when
// one closes. Delegates number their own from kAlertFirstCustom on.
enum AlertID : int {
    kAlertPlain = 0,
    kAlertNoReply = 10000,
    kAlertSessionTimeout = 10001,
    kAlertFirstCustom = 10002,
};

// The client of a NAS's CGI interface: the operations by name over a
// transport (CgiTransport, on the network thread), the request encoding
// (CgiEncoding) and the error rules and their alerts (CgiCtrl_Errors.cpp).
// Every operation blocks its caller until the reply is in: a worker-thread
// caller waits on a semaphore the network thread releases, a GUI-thread
// caller keeps the event loop turning (tests only; see
// setGuiThreadWaitAllowed). The object itself and its timers live on the GUI
// thread; its replies are decoded by the thread that waits for them.
class CgiCtrl : public QObject
{
    Q_OBJECT

public:
    using Reply = std::optional<QJsonObject>;
    // Turns a reply body into the object the request is judged by (none:
    // not a usable reply). The default is Qt's JSON parser.
    using BodyParser = std::function<std::optional<QJsonObject>(const QByteArray &)>;
    // While alive, requests made on this thread parse their bodies with
    // parser (on this thread). Lets a caller decode a big reply in one pass
    // into its own form and hand back only the members that judge it.
    class ScopedBodyParser
    {
    public:
        explicit ScopedBodyParser(BodyParser parser);
        ~ScopedBodyParser();
        ScopedBodyParser(const ScopedBodyParser &) = delete;
        ScopedBodyParser &operator=(const ScopedBodyParser &) = delete;

    private:
        BodyParser m_previous;
    };
    using BlockAlert = std::function<void(int alertID, bool flag)>;

    // init: alerts off, transport set up.
    explicit CgiCtrl(QObject *parent = nullptr);
    ~CgiCtrl() override;

    static CgiCtrl *sharedCgiCtrl();

    // The application never lets the GUI thread wait for a reply: its work
    // goes through runWork or a CommandOverlay. Debug builds assert that no
    // operation reaches the GUI-thread waiting path unless it is allowed
    // here (tests of that path, benchmarks).
    static void setGuiThreadWaitAllowed(bool allowed);
    static bool guiThreadWaitAllowed();

    // Session and configuration properties (safe to read from any thread).
    QString host() const;
    void setHost(const QString &v);
    QString sid() const;
    void setSid(const QString &v);
    QString hostID() const;
    void setHostID(const QString &v);
    QString account() const;
    void setAccount(const QString &v);
    QString kosVersion() const;
    void setKosVersion(const QString &v);
    bool administrator() const { return m_administrator; }
    void setAdministrator(bool v) { m_administrator = v; }
    bool logon() const { return m_logon; }
    void setLogon(bool v) { m_logon = v; }
    bool sessionTimeout() const { return m_sessionTimeout; }
    void setSessionTimeout(bool v) { m_sessionTimeout = v; }
    bool isWebServer() const { return m_isWebServer; }
    void setIsWebServer(bool v) { m_isWebServer = v; }
    bool showErrorAlert() const { return m_showErrorAlert; }
    void setShowErrorAlert(bool v) { m_showErrorAlert = v; }
    // The saved server's name its alerts name (empty: they name none).
    QString serverName() const;
    void setServerName(const QString &name);
    CgiCtrlDelegate *delegate() const { return m_delegate; }
    void setDelegate(CgiCtrlDelegate *d) { m_delegate = d; }
    BlockAlert blockAlert() const;
    void setBlockAlert(BlockAlert b);
    // The "Cookie" header sent with every request (empty when none).
    QByteArray cookieHeader() const;
    // The "Cookie" header from a Set-Cookie value: the name=value pairs only.
    static QByteArray cookiePairs(const QByteArray &setCookie);

    // Transport tuning (defaults: 60 s transfer time-out, 240 s keep-alive).
    void setTransferTimeout(int ms) { m_transport.setTransferTimeout(ms); }
    int transferTimeout() const { return m_transport.transferTimeout(); }
    // Whole-request deadlines (defaults: 120 s per request, 15 min per
    // upload). The transfer time-out only fires on silence; a reply that
    // trickles in fails as timed out at its deadline instead.
    void setRequestDeadline(int ms) { m_transport.setRequestDeadline(ms); }
    int requestDeadline() const { return m_transport.requestDeadline(); }
    void setUploadDeadline(int ms) { m_transport.setUploadDeadline(ms); }

    // What a sign-in reply carries; none when it is not a usable one (no
    // session id as text).
    struct LoginReply {
        QString sid, hostID, version;
        bool administrator = false;
    };
    static std::optional<LoginReply> readLoginReply(const QJsonObject &reply);

    // Trust on first use over HTTPS: the SHA-256 of the server's public key
    // (empty: none pinned yet). A connection whose key differs is closed
    // right after the handshake, before anything is sent, and its request
    // fails with kTransportKeyChanged (userInfo "pinned" and "observed", as
    // hex). The key seen at the last handshake is observedKey().
    void setPinnedKey(const QByteArray &sha256);
    QByteArray pinnedKey() const;
    QByteArray observedKey() const;
    static QByteArray publicKeyHash(const QSslCertificate &certificate);
    // "AB:CD:…" for showing a key hash to the user.
    static QString fingerprintText(const QByteArray &sha256);
    void setReviveInterval(int ms) { m_reviveIntervalMs = ms; }

    // Lets go of the transport's connections; the next request opens anew.
    void setup_Manager();

    // POST to host (every API operation goes through it).
    Reply send_Request(const QString &path, const QString &action,
        const std::optional<QVariantMap> &post, int function, Error *error);
    // GET to host, parameters in the URL.
    Reply send_Request_Get(const QString &path, const QString &action,
        const std::optional<QVariantMap> &get, int function, Error *error);
    // Sends to a ready URL.
    Reply send_Request_URL(const QString &url, const QString &method, const QVariantMap &params,
        int function, Error *error);
    Reply _prepare_Request(const QString &host, const QString &path, const QString &action,
        const QString &method, std::optional<QVariantMap> params, int function, Error *error);
    Reply _send_Request(const QString &url, const QString &method, const QVariantMap &params,
        int function, Error *error);
    // Every key and value of the query is percent-encoded; unreserved text
    // stays as it is.
    QString generate_Cgi_URL(const QString &host, const QString &path, const QString &action,
        const std::optional<QVariantMap> &params) const;
    void cancel_Cgi(int function);
    // Cancels every request queued or running on this controller.
    void _cancel_All_Requests();
    // Number of requests queued or running.
    int pendingRequestCount() const;

    // Multipart upload of local files (field "files") to host, through a fresh
    // client without the cookie, streamed once (never resent). The reply is not evaluated; failures
    // are the transport's own errors. Call from a worker thread.
    Reply upload_Files(const QString &path, const QString &action,
        const std::optional<QVariantMap> &query, const QStringList &files, Error *error);

    Error _get_Error_Code(int function, const Reply &response);

    // Download tasks. Ids of several tasks or files come joined by the caller.
    Reply get_Torrent_List(int category, const QString &sort, const QString &order,
        const QString &filter, Error *error);
    Reply get_Torrent_Info(qint64 taskId, const QString &sort, const QString &order, Error *error);
    // The reply's "torrent_list"; failures are the transport's own. Worker thread.
    std::optional<QJsonValue> upload_Torrent(
        const QStringList &files, bool showTaskDialog, const QString &saveTo, Error *error);
    Reply add_Torrent_Url(const QString &url, Error *error);
    bool add_Torrent(const QString &torrent, const QString &dir, bool topQueue,
        const QString &unwanted, Error *error);
    bool set_Torrent(const QString &taskId, const QString &dir, const QString &wanted,
        const QString &unwanted, Error *error);
    bool remove_Torrent(const QString &ids, int mode, Error *error);
    bool start_Torrent(const QString &ids, Error *error);
    bool stop_Torrent(const QString &ids, Error *error);
    bool change_Torrent_Order(const QString &ids, const QString &direction, Error *error);
    // The link that downloads a task's torrent file (nothing is sent).
    QString get_Torrent_URL(const QString &name, const QString &torrentPath) const;
    bool add_Torrent_Tracker(qint64 taskId, const QString &tracker, Error *error);
    bool remove_Torrent_Tracker(qint64 taskId, const QString &trackerIds, Error *error);
    // options: show_dialog_enabled, auto_torrent_enabled, auth_enabled,
    // auth_account, auth_password. Returns the reply's "torrent_list".
    std::optional<QJsonValue> add_Download(
        const QString &url, const QString &dir, const QVariantMap &options, Error *error);
    bool remove_Download(const QString &ids, int mode, Error *error);
    bool start_Download(const QString &ids, Error *error);
    bool stop_Download(const QString &ids, Error *error);

    // Folders, preferences, schedule, search sites.
    // root: the reply's "share_folders"; otherwise its "datas".
    std::optional<QJsonValue> get_Folder_List(const QString &path, bool root, Error *error);
    bool create_Folder(const QString &parent, const QString &name, Error *error);
    // The user's download preferences (the whole reply), or none on error.
    Reply get_User_Preference(Error *error);
    bool set_User_Preference(const QJsonObject &record, Error *error);
    bool set_User_Initial_Preference(const QString &folder, Error *error);
    Reply get_Torrent_Schedule(Error *error);
    bool set_Torrent_Schedule(const QJsonObject &record, Error *error);
    // A day of the schedule as sent ("v0,v1,...,v23") and as received (24 integers).
    static QString encodeScheduleDay(const QList<int> &hours);
    static QList<int> decodeScheduleDay(const QJsonValue &day);
    std::optional<QJsonArray> get_Search_Site_List(Error *error);
    bool enable_Search_Site(const QString &name, bool enable, Error *error);
    // Uploads a search-site plug-in; true when the unit took it.
    bool add_Search_Site(const QString &file, Error *error);
    bool delete_Search_Site(const QString &name, Error *error);
    Reply get_Search_Site_Info(const QString &name, Error *error);
    bool set_Search_Site_Info(const QString &name, const QJsonObject &settings, Error *error);
    bool test_Search_Site_Auth(
        const QString &name, const QString &account, const QString &password, Error *error);

    // Search on the NAS.
    Reply get_Search_Key_List(Error *error);
    bool send_Search_Request(const QString &query, Error *error);
    bool delete_Search_Key(const QString &query, Error *error);
    // The reply's "items".
    std::optional<QJsonValue> get_Search_Category_List(const QString &query, Error *error);
    // category: the localised "SEARCH_CATE_ALL" text asks for every category
    // (sent empty).
    Reply get_Search_Response(const QString &query, const QString &sort, const QString &order,
        const QString &filter, const QString &category, Error *error);

    // RSS. The list operations return the reply's "items".
    std::optional<QJsonValue> get_RSS_Feed_List(
        const QString &sort, const QString &order, Error *error);
    std::optional<QJsonValue> get_RSS_Item_List(
        qint64 feedId, const QString &sort, const QString &order, Error *error);
    bool add_RSS_Feed(const QString &url, uint updateInterval, Error *error);
    // No interval: the feed keeps the one the NAS has.
    bool edit_RSS_Feed(
        qint64 feedId, const QString &url, std::optional<uint> updateInterval, Error *error);
    // feedIds: one id, or several joined by "," ("3,5,12").
    bool update_RSS_Feed(const QString &feedIds, Error *error);
    bool delete_RSS_Feed(qint64 feedId, Error *error);
    std::optional<QJsonValue> get_RSS_Filter_List(Error *error);
    // Sends the 30 members of a new filter (newRssFilter).
    bool add_RSS_Filter(const QString &name, const QString &saveAs, Error *error);
    // Every member of info, then name and id (which win over same-named members).
    bool edit_RSS_Filter(
        qint64 filterId, const QString &name, const QVariantMap &info, Error *error);
    bool delete_RSS_Filter(qint64 filterId, Error *error);
    // The quality names of a filter, in the quality menu's order.
    static const QStringList &rssQualityNames();
    // The members a new filter is created with.
    static QVariantMap newRssFilter(const QString &name, const QString &saveAs);

    // Session.
    Reply login_Server(const QString &server, const QString &user, const QString &password,
        bool webServer, Error *error);
    bool login_Server_With_CgiCtrl(CgiCtrl *other);
    bool logout_Server(Error *error);
    bool logout_Server();
    bool is_App_Accessible(const QString &name, Error *error);
    Reply get_App_Info(const QString &name, Error *error);
    bool check_Session_Timeout(Error *error);
    bool is_KOS_Version_Newer(const QString &version) const;
    void start_Revive();
    void stop_Revive();
    bool is_Reviving() const { return m_reviving; }
    void _Keep_Revive();
    // detail: a line added to the message (the files of an upload).
    void _handle_Error_Code(const Error &error, const QString &detail = QString());
    // An upload that did not reach the NAS (or got no usable answer): one
    // alert naming the files. Unreadable files and cancellations are not
    // reported here.
    void _report_Upload_Failure(const Error &error, const QStringList &files);
    void _show_Pending_Upload_Failures();
    // Whether one of this controller's error alerts is showing.
    bool isAlertShowing() const { return m_alertShowing; }

    // Values of form bodies and queries: numbers as decimal, booleans "1"/"0".
    static QString parameterText(const QVariant &v);
    static QByteArray formBody(const QVariantMap &params);

private:
    // The reply (none on error), success, or one member of the reply.
    Reply _request_Reply(const QString &path, const QString &action, const QVariantMap &params,
        int function, Error *error);
    bool _request_Ok(const QString &path, const QString &action, const QVariantMap &params,
        int function, Error *error);
    std::optional<QJsonValue> _request_Member(const QString &path, const QString &action,
        const QVariantMap &params, int function, const QString &member, Error *error);

    struct Request;
    using Config = TransportKeys;

    bool _logout(bool sendRequest, Error *error);
    // Starts req, waits for it and judges what came back (req->error,
    // req->reply).
    void _exchange(const std::shared_ptr<Request> &req);
    void _parse_Body(const std::shared_ptr<Request> &req);
    void _present_Alert(
        const QString &message, int alertID, bool yesNo, const QString &reason = QString());
    std::shared_ptr<Config> config() const;
    void setCookie(const QByteArray &cookie);

    mutable QMutex m_mutex; // guards the string fields, blockAlert and m_config
    QString m_host, m_sid, m_hostID, m_account, m_kosVersion, m_serverName;
    QStringList m_pendingUploadFailures; // under m_mutex
    std::atomic<bool> m_administrator { false }, m_logon { false }, m_sessionTimeout { false },
        m_isWebServer { false }, m_showErrorAlert { false };
    std::atomic<CgiCtrlDelegate *> m_delegate { nullptr };
    BlockAlert m_blockAlert;
    std::shared_ptr<Config> m_config;

    CgiTransport m_transport;
    std::atomic<int> m_reviveIntervalMs { 240000 };

    mutable QMutex m_queueMutex;
    QList<std::shared_ptr<Request>> m_requests;

    std::atomic<bool> m_alertShowing { false };
    std::atomic<bool> m_keyChangeReported { false };
    std::atomic<bool> m_reviving { false };
    bool m_destroying = false; // guarded by m_queueMutex
    QPointer<QTimer> m_reviveTimer;
    std::shared_ptr<SerialWorkQueue> m_reviveQueue; // keep-alive requests
};

// Holds a client made on a work queue until the GUI takes it; a client
// nobody took (its screen went meanwhile) is deleted on the GUI thread.
class PendingClient
{
public:
    PendingClient() = default;
    PendingClient(const PendingClient &) = delete;
    PendingClient &operator=(const PendingClient &) = delete;
    ~PendingClient()
    {
        if (m_client)
            m_client->deleteLater();
    }
    void set(CgiCtrl *c) { m_client = c; }
    CgiCtrl *get() const { return m_client; }
    CgiCtrl *take()
    {
        CgiCtrl *c = m_client;
        m_client = nullptr;
        return c;
    }

private:
    CgiCtrl *m_client = nullptr;
};

} // namespace flk
