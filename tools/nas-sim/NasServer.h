// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "NasState.h"
#include "SelfSignedCertificate.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace nassim {

// One parsed CGI request.
struct Call {
    QString method;
    QString path;
    QString act;
    QString rawQuery;
    QMap<QString, QString> query;
    QMap<QString, QString> form;
    struct File {
        QString field, filename, contentType;
        QByteArray content;
    };
    QList<File> files;
    QByteArray cookie;
    QString sid; // from the URL, else from the session cookie
    QString account; // set when the session is live
    int remotePort = 0; // the client's end of the connection
};

struct SimReply {
    int status = 200;
    QJsonObject json;
    // With a charset the front does not compress it (large lists stay fast).
    QByteArray contentType = "application/json; charset=utf-8";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body; // when set, sent instead of the JSON

    static SimReply ok(QJsonObject members = {});
    static SimReply fail(int errorCode);
};

// Switches that sit between the HTTP front and the model.
struct Faults {
    int delayMs = 0; // every CGI reply waits this long
    int dropNext = 0; // next N replies: headers, part of a body, then the connection drops
    QString dropAct; // only replies to this act count for dropNext (empty: any)
    int nonJsonNext = 0; // next N replies are an HTML page
    int statusNext = 0; // next N replies carry HTTP status `status`
    int status = 500;
    int trickleMs = 0; // reply bodies come one byte every this many ms
    QString trickleAct; // only replies to this act trickle (empty: any)
    qint64 uploadLimit = 0; // larger uploads: 413 before the body is read, connection closed
};

// The HTTP/HTTPS front of the simulated NAS, bound to loopback only.
class NasServer
{
public:
    using Handler = std::function<SimReply(Call &)>;

    explicit NasServer(NasState &state);
    ~NasServer();

    // Ports: 0 picks a free one; httpsPort < 0 serves no HTTPS.
    bool start(
        const QString &host = QStringLiteral("127.0.0.1"), int httpPort = 0, int httpsPort = 0);
    void stop();
    // Serves HTTPS on the same port with another certificate: a new key (a
    // replaced or impersonated unit), or the same key with a certificate
    // that has expired.
    enum class Reissue { NewKey, ExpiredSameKey };
    bool reissueCertificate(Reissue how);
    int httpPort() const { return m_httpPort; }
    int httpsPort() const { return m_httpsPort; }
    QString httpBase() const;
    QString httpsBase() const;

    NasState &state() { return m_state; }

    Faults faults() const;
    void setFaults(const Faults &f);
    // Applies one control setting by name (the same names as the command line
    // and the /__sim/control endpoint). Returns false for an unknown name or value.
    bool applyControl(const QString &name, const QString &value);

    // Request log: every CGI request as one JSON object.
    QList<QJsonObject> requestLog() const;
    // Upload requests that arrived, counted before their body is read (an
    // upload refused early is not in the request log).
    int uploadAttempts() const { return m_uploadAttempts; }
    QList<QJsonObject> requestsFor(const QString &act) const;
    // The most requests of one act that were being answered at the same
    // time since the log was last cleared (a client's overlapping requests).
    int maxInFlight(const QString &act) const;
    void clearLog();
    bool setLogFile(const QString &path);

    // Registers the handler of (path, act).
    void on(const QString &path, const QString &act, bool needsSession, Handler handler);

private:
    struct Route {
        bool needsSession;
        Handler handler;
    };
    void install(httplib::Server &server);
    void handle(const httplib::Request &req, httplib::Response &res);
    void control(const httplib::Request &req, httplib::Response &res);
    void log(const Call &call);
    void registerPortal();
    void registerTasks();
    void registerSettings();
    void registerIntake();
    void registerRss();
    void registerSearch();
    // Pages the unit serves itself (an RSS item's page); true when handled.
    bool servePage(const std::string &path, httplib::Response &res);

    NasState &m_state;
    std::unique_ptr<SelfSignedCertificate> m_cert;
    std::unique_ptr<httplib::Server> m_http, m_https;
    std::thread m_httpThread, m_httpsThread;
    int m_httpPort = 0, m_httpsPort = 0;
    QString m_host;

    mutable QMutex m_mutex;
    QHash<QString, int> m_inFlight, m_maxInFlight; // by act, under m_mutex
    Faults m_faults;
    QList<QJsonObject> m_log;
    std::atomic<int> m_uploadAttempts { 0 };
    std::unique_ptr<QFile> m_logFile;
    QHash<QString, Route> m_routes; // "path act" -> route
};

} // namespace nassim
