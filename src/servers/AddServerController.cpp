// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "AddServerController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"

namespace flk {

AddServerController::AddServerController(
    FavoriteManager *favorites, NasScanManager *scan, CommandOverlay *overlay, QObject *parent)
    : QObject(parent),
      m_favorites(favorites),
      m_scan(scan ? scan : new NasScanManager()),
      m_overlay(overlay),
      m_units(new FoundUnitsModel(this))
{
    m_scan->setParent(this);
    m_scan->bonjourProtocal = QStringLiteral("KESTREL_DC");
    m_scan->scanDelegate = this;
    // A chosen unit that left changes what can be pressed.
    connect(m_units, &QAbstractItemModel::rowsRemoved, this, &AddServerController::changed);
    connect(m_units, &QAbstractItemModel::modelReset, this, &AddServerController::changed);
    m_scan->start_Scan_Server();
}

AddServerController::~AddServerController()
{
    cancelSignIn();
    m_scan->scanDelegate = nullptr;
    m_scan->stop_Scan_Server();
}

void AddServerController::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    emit changed();
}

int AddServerController::chosenUnit() const
{
    return m_chosen.isValid() ? m_chosen.row() : -1;
}

void AddServerController::setChosenUnit(int row)
{
    const QModelIndex chosen = m_units->index(row, 0);
    if (chosen == m_chosen)
        return;
    m_chosen = chosen;
    emit changed();
}

void AddServerController::setField(QString &field, const QString &value)
{
    if (field == value)
        return;
    field = value;
    emit changed();
}

void AddServerController::setHost(const QString &v)
{
    setField(m_host, v);
}

void AddServerController::setPort(const QString &v)
{
    setField(m_port, v);
}

void AddServerController::setAccount(const QString &v)
{
    setField(m_account, v);
}

void AddServerController::setPassword(const QString &v)
{
    setField(m_password, v);
}

void AddServerController::setHttps(bool https)
{
    const QString port = https ? QStringLiteral("8001") : QStringLiteral("8000");
    if (m_https == https && m_port == port)
        return;
    m_https = https;
    m_port = port;
    emit changed();
}

bool AddServerController::canGoOn() const
{
    if (m_page == ChooseWay)
        return m_mode != Scanned || m_chosen.isValid();
    return !m_host.isEmpty() && !m_port.isEmpty() && !m_account.isEmpty() && !m_password.isEmpty();
}

void AddServerController::previous()
{
    if (m_page == ChooseWay)
        return;
    m_page = ChooseWay;
    emit changed();
}

bool AddServerController::next()
{
    if (m_page == ChooseWay) {
        if (!canGoOn())
            return false;
        m_page = ServerInfo;
        if (m_mode == Scanned) {
            const QVariantMap unit = m_units->unitAt(chosenUnit());
            m_https = unit.value(QStringLiteral("httpsenabled")).toBool();
            m_host = unit.value(QStringLiteral("address")).toString();
            m_port = unit.value(m_https ? QStringLiteral("httpsport") : QStringLiteral("httpport"))
                         .toString();
        } else {
            // The account typed before is kept; the address is asked afresh.
            m_host.clear();
            m_https = false;
            m_port = QStringLiteral("8000");
        }
        emit changed();
        return true;
    }
    if (!canGoOn() || m_attempt || !m_overlay)
        return false;
    const QVariantMap info { { QStringLiteral("host"), m_host },
        { QStringLiteral("account"), m_account }, { QStringLiteral("password"), m_password },
        { QStringLiteral("is_cloud_id"), m_mode == CloudID ? 1 : 0 },
        { QStringLiteral("use_https"), m_https ? 1 : 0 }, { QStringLiteral("port"), m_port } };
    FavoriteManager *favorites = m_favorites;
    const LoginHandle attempt = favorites->newLoginAttempt();
    struct Outcome {
        // Deletes a client nobody took (the wizard went meanwhile).
        std::shared_ptr<PendingClient> client = std::make_shared<PendingClient>();
        Error error;
    };
    emit signingIn();
    const bool started = m_overlay->runCancellable(
        [favorites, info, attempt] {
            Outcome out;
            out.client->set(favorites->add_Favorite_NAS(info, &out.error, attempt));
            return out;
        },
        [self = QPointer(this), favorites](Outcome out) {
            // A wizard that went cancelled its sign-in; the client, if any,
            // goes with the outcome.
            if (!self)
                return;
            self->m_attempt.reset();
            if (out.error.isError() || !out.client->get()) {
                emit self->signInFailed(out.error);
                return;
            }
            const int last = favorites->count() - 1;
            favorites->update_Favorite_NAS(last, QStringLiteral("default"), last == 0 ? 1 : 0);
            emit self->signedIn(out.client->take());
        },
        [self = QPointer(this)] {
            if (self)
                self->cancelSignIn();
        });
    if (started)
        m_attempt = attempt;
    return started;
}

void AddServerController::cancelSignIn()
{
    if (const LoginHandle attempt = std::exchange(m_attempt, nullptr))
        m_favorites->cancel_Login(attempt);
}

void AddServerController::server_Added(const QVariantMap &info)
{
    m_units->add(info);
}

void AddServerController::server_Updated(const QVariantMap &info)
{
    m_units->update(info);
}

void AddServerController::server_Removed(const QString &name)
{
    m_units->remove(name);
}

} // namespace flk
