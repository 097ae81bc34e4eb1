// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CgiTransport.h"

#include "Error.h"
#include "TransportErrors.h"
#include "UploadBody.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace flk {

namespace {

struct NetworkThread {
    QThread *thread = nullptr;
    QObject *context = nullptr; // lives on the thread; queued work goes to it
};

NetworkThread &network()
{
    static NetworkThread n = [] {
        NetworkThread t;
        t.thread = new QThread;
        t.thread->setObjectName(QStringLiteral("ferrylink-network"));
        t.context = new QObject;
        t.context->moveToThread(t.thread);
        QObject::connect(t.thread, &QThread::finished, t.context, &QObject::deleteLater);
        t.thread->start();
        // The thread ends with the application object; whatever is still
        // running then is dropped with it.
        qAddPostRoutine([] {
            QThread *th = network().thread;
            th->quit();
            th->wait();
        });
        return t;
    }();
    return n;
}

bool onGuiThread()
{
    return QCoreApplication::instance()
        && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

QThread *CgiTransport::networkThread()
{
    return network().thread;
}

bool CgiTransport::runOnNetwork(std::function<void()> fn, bool blocking)
{
    NetworkThread &n = network();
    if (QThread::currentThread() == n.thread) {
        fn();
        return true;
    }
    if (!n.thread->isRunning() || n.thread->isFinished())
        return false;
    return QMetaObject::invokeMethod(
        n.context, std::move(fn), blocking ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

CgiTransport::~CgiTransport()
{
    shutdown();
}

QByteArray CgiTransport::publicKeyHash(const QSslCertificate &certificate)
{
    if (certificate.isNull())
        return {};
    return QCryptographicHash::hash(certificate.publicKey().toDer(), QCryptographicHash::Sha256);
}

QNetworkAccessManager *CgiTransport::manager()
{
    if (!m_manager) {
        m_manager = new QNetworkAccessManager;
        m_manager->setCookieJar(nullptr);
    }
    return m_manager;
}

void CgiTransport::resetManager()
{
    runOnNetwork([this] {
        if (m_manager) {
            m_manager->deleteLater();
            m_manager = nullptr;
        }
    });
}

void CgiTransport::start(const std::shared_ptr<Exchange> &x)
{
    x->guiWaiter = onGuiThread();
    if (m_shutDown || !runOnNetwork([this, x] { startAttempt(x); })) {
        x->cancelRequested = true;
        x->transportCode = kTransportCancelled;
        complete(x);
    }
}

void CgiTransport::cancel(const std::shared_ptr<Exchange> &x)
{
    x->cancelRequested = true;
    runOnNetwork([x] {
        // A running reply finishes through finished() as cancelled; one not
        // started yet sees the flag when its start comes.
        if (!x->done && x->netReply)
            x->netReply->abort();
    });
}

void CgiTransport::wait(Exchange &x)
{
    if (!onGuiThread()) {
        x.semaphore.acquire();
        return;
    }
    // The GUI thread (tests, benchmarks) keeps its event loop turning; the
    // network thread posts it a wake-up when the exchange is done.
    while (!x.done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void CgiTransport::shutdown()
{
    if (m_shutDown.exchange(true))
        return;
    // Posted starts run before this (one queue, in order) and are cancelled
    // by the flag, so nothing of this transport is left on the thread after.
    runOnNetwork(
        [this] {
            const QList<std::shared_ptr<Exchange>> running = m_running;
            for (const auto &x : running) {
                x->cancelRequested = true;
                if (x->netReply)
                    x->netReply->abort();
            }
            for (const auto &x : std::as_const(m_running)) {
                x->transportCode = kTransportCancelled;
                complete(x);
            }
            m_running.clear();
            delete m_manager;
            m_manager = nullptr;
        },
        true);
}

void CgiTransport::watchPeerKey(QNetworkReply *reply, const std::shared_ptr<Exchange> &x)
{
    if (!x->keys)
        return;
    // Direct: the handshake is done and nothing of the request is sent yet.
    QObject::connect(
        reply, &QNetworkReply::encrypted, reply,
        [keys = x->keys, reply, weak = std::weak_ptr<Exchange>(x)] {
            const QByteArray seen = publicKeyHash(reply->sslConfiguration().peerCertificate());
            QByteArray pinned;
            {
                QMutexLocker lock(&keys->mutex);
                keys->observedKey = seen;
                pinned = keys->pinnedKey;
            }
            if (!pinned.isEmpty() && seen != pinned) {
                if (const auto x = weak.lock())
                    x->keyMismatch = true;
                reply->abort();
            }
        },
        Qt::DirectConnection);
}

void CgiTransport::startAttempt(const std::shared_ptr<Exchange> &x)
{
    if (x->cancelRequested || m_shutDown) {
        x->transportCode = kTransportCancelled;
        complete(x);
        return;
    }
    QNetworkRequest nr(QUrl::fromEncoded(x->url.toUtf8(), QUrl::TolerantMode));
    configureRequest(nr, m_transferTimeoutMs);
    if (!x->cookie.isEmpty())
        nr.setRawHeader("Cookie", x->cookie);
    if (!x->contentType.isEmpty())
        nr.setHeader(QNetworkRequest::ContentTypeHeader, x->contentType);

    QNetworkReply *reply = nullptr;
    if (x->upload) {
        // A client of its own for this one request, the body streamed from a
        // device that cannot be rewound.
        x->ownManager = new QNetworkAccessManager;
        x->ownManager->setCookieJar(nullptr);
        nr.setHeader(QNetworkRequest::ContentLengthHeader, x->body.size());
        nr.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto *device = new OneShotBody(std::exchange(x->body, {}));
        reply = x->ownManager->post(nr, device);
        device->setParent(reply);
    } else if (x->post) {
        reply = manager()->post(nr, x->body);
    } else {
        reply = manager()->get(nr);
    }
    x->netReply = reply;
    m_running.append(x);
    ignoreCertificateErrors(reply);
    watchPeerKey(reply, x);
    QObject::connect(
        reply, &QNetworkReply::finished, reply, [this, x, reply] { finished(x, reply); });
    // However slowly the reply still comes in, it ends at its deadline. The
    // timer goes with the reply and holds the exchange only weakly.
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [weak = std::weak_ptr<Exchange>(x), reply] {
        const auto x = weak.lock();
        if (!x || x->done || x->netReply != reply)
            return;
        x->deadlineHit = true;
        reply->abort();
    });
    timer->start(x->upload ? m_uploadDeadlineMs : m_requestDeadlineMs);
}

void CgiTransport::finished(const std::shared_ptr<Exchange> &x, QNetworkReply *reply)
{
    reply->deleteLater();
    if (x->netReply != reply || x->done)
        return;
    x->netReply = nullptr;
    m_running.removeOne(x);

    QByteArray raw;
    int code = checkReply(reply, x->cancelRequested, &raw);
    if (x->keyMismatch)
        code = kTransportKeyChanged;
    else if (x->deadlineHit && code != 0)
        code = kTransportTimedOut;
    if (code == 0) {
        x->setCookie = reply->rawHeader("Set-Cookie");
        x->raw = std::move(raw);
    } else if (!x->upload && x->attempt == 0 && !x->deadlineHit && !x->cancelRequested
        && (code == kTransportTimedOut || code == kTransportConnectionLost)
        && reply->rawHeader("Connection").toLower().contains("keep-alive")) {
        // The keep-alive connection went away under us: one more attempt.
        x->attempt = 1;
        startAttempt(x);
        return;
    }
    x->transportCode = code;
    x->httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    x->httpReason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    x->errorString = reply->errorString();
    complete(x);
}

void CgiTransport::complete(const std::shared_ptr<Exchange> &x)
{
    if (x->ownManager) {
        x->ownManager->deleteLater();
        x->ownManager = nullptr;
    }
    if (x->done.exchange(true))
        return;
    const bool wakeGui = x->guiWaiter;
    x->semaphore.release();
    if (wakeGui && QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
}

} // namespace flk
