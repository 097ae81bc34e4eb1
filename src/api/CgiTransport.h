// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSemaphore>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSslCertificate;
class QThread;

namespace flk {

// What a session shares with its transport: the "Cookie" header and the
// server's key (pinned on first use, and the one seen last).
struct TransportKeys {
    mutable QMutex mutex;
    QByteArray cookie;
    QByteArray pinnedKey, observedKey;
};

// The HTTP side of one controller: one pipeline for form requests and
// uploads, with deadlines, one retry on a dropped keep-alive connection
// (never for uploads) and the pinned server key. Its network manager lives
// on the process's network thread, which runs all network I/O; a caller
// waiting for an exchange is woken by that thread directly. No widgets.
class CgiTransport
{
public:
    // One request and, once done, what came back. The caller fills the
    // request part, starts it and waits; the outcome is read after the wait.
    struct Exchange {
        QString url;
        bool post = false;
        QByteArray body;
        QByteArray contentType;
        QByteArray cookie; // sent as the "Cookie" header unless empty
        // An upload: a fresh client for this one request, its body streamed
        // once (an upload the NAS dropped is reported, never sent again) and
        // the upload deadline.
        bool upload = false;
        std::shared_ptr<TransportKeys> keys; // whose key it checks; may be null

        // The outcome. transportCode 0: raw holds the body.
        int transportCode = 0;
        QByteArray raw;
        QByteArray setCookie;
        int httpStatus = 0;
        QString httpReason, errorString;
        bool keyMismatch = false;
        bool deadlineHit = false;

        std::atomic<bool> done { false };
        std::atomic<bool> cancelRequested { false };

        // The network thread's own.
        QPointer<QNetworkReply> netReply;
        QNetworkAccessManager *ownManager = nullptr; // an upload's fresh client
        int attempt = 0;
        bool guiWaiter = false;
        QSemaphore semaphore;
    };

    CgiTransport() = default;
    ~CgiTransport();
    CgiTransport(const CgiTransport &) = delete;
    CgiTransport &operator=(const CgiTransport &) = delete;

    // The thread all network I/O runs on (started on first use, stopped when
    // the application object goes).
    static QThread *networkThread();

    // Defaults: 60 s of silence ends a transfer; a request ends at 120 s and
    // an upload at 15 min however slowly its reply still trickles in.
    void setTransferTimeout(int ms) { m_transferTimeoutMs = ms; }
    int transferTimeout() const { return m_transferTimeoutMs; }
    void setRequestDeadline(int ms) { m_requestDeadlineMs = ms; }
    int requestDeadline() const { return m_requestDeadlineMs; }
    void setUploadDeadline(int ms) { m_uploadDeadlineMs = ms; }

    // Any thread.
    void start(const std::shared_ptr<Exchange> &x);
    void cancel(const std::shared_ptr<Exchange> &x);
    // Until x is done: a worker sleeps on its semaphore; the GUI thread keeps
    // its event loop turning.
    static void wait(Exchange &x);
    // Drops the network manager (its connections); the next request makes a
    // new one.
    void resetManager();
    // Ends every exchange (cancelled) and lets go of the connections; returns
    // once the network thread did so. Nothing starts afterwards.
    void shutdown();

    static QByteArray publicKeyHash(const QSslCertificate &certificate);

private:
    // Runs fn on the network thread (directly when already there); false
    // when that thread is gone (the application is ending).
    static bool runOnNetwork(std::function<void()> fn, bool blocking = false);
    void startAttempt(const std::shared_ptr<Exchange> &x);
    void finished(const std::shared_ptr<Exchange> &x, QNetworkReply *reply);
    void complete(const std::shared_ptr<Exchange> &x);
    QNetworkAccessManager *manager();
    static void watchPeerKey(QNetworkReply *reply, const std::shared_ptr<Exchange> &x);

    std::atomic<int> m_transferTimeoutMs { 60000 };
    std::atomic<int> m_requestDeadlineMs { 120000 };
    std::atomic<int> m_uploadDeadlineMs { 15 * 60000 };
    std::atomic<bool> m_shutDown { false };
    // Network thread only.
    QNetworkAccessManager *m_manager = nullptr;
    QList<std::shared_ptr<Exchange>> m_running;
};

} // namespace flk
