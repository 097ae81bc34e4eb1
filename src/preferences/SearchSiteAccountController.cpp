// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchSiteAccountController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/Work.h"

#include <QDateTime>
#include <QThread>
#include <QTimer>

namespace flk {

SearchSiteAccountController::SearchSiteAccountController(const QString &siteName, QObject *parent)
    : PaneController(parent), m_name(siteName)
{ }

void SearchSiteAccountController::setUsername(const QString &username)
{
    m_username = username;
    emit canOkChanged(canOk());
    emit canTestChanged(canTest());
}

void SearchSiteAccountController::setPassword(const QString &password)
{
    m_password = password;
    m_pwdChanged = true;
    emit canOkChanged(canOk());
    emit canTestChanged(canTest());
}

QVariantMap SearchSiteAccountController::result() const
{
    QVariantMap r;
    if (!m_username.isEmpty())
        r.insert(QStringLiteral("account"), m_username);
    if (m_pwdChanged && !m_password.isEmpty())
        r.insert(QStringLiteral("pwd"), m_password);
    return r;
}

void SearchSiteAccountController::load()
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    const QString name = m_name;
    overlay()->run(
        [c, name] {
            Error e;
            const CgiCtrl::Reply reply = c->get_Search_Site_Info(name, &e);
            return reply && !e.isError()
                ? std::optional<QString>(json::stringValue(*reply, u"account"))
                : std::nullopt;
        },
        [this](std::optional<QString> account) {
            if (!account)
                return; // the fields stay empty
            // Not the user's edits: the password counts as unchanged.
            m_username = *account;
            m_password = kPasswordPlaceholder;
            emit accountLoaded();
            emit canOkChanged(canOk());
            emit canTestChanged(canTest());
        });
}

void SearchSiteAccountController::on_Test()
{
    const std::shared_ptr<CgiCtrl> c = client();
    CommandOverlay *o = overlay();
    if (!c || o->isShowing() || !canTest())
        return;
    o->setText(localized("TXT_WAITING"));
    o->setIndicator(CommandOverlay::Indicator::Spinner);
    o->hold();
    const QString name = m_name, account = m_username, password = m_password;
    const int step = m_stepSeconds;
    runWork(
        this,
        [c, name, account, password, step] {
            const qint64 before = QDateTime::currentSecsSinceEpoch();
            Error e;
            const bool passed
                = c->test_Search_Site_Auth(name, account, password, &e) && !e.isError();
            // The waiting state shows for a moment at least.
            if (QDateTime::currentSecsSinceEpoch() - before <= step)
                QThread::sleep(unsigned(step));
            return passed;
        },
        [this, o, step](bool passed) {
            if (!passed) {
                // The request layer's alert says why; no success mark.
                o->release();
                emit testFinished(false);
                return;
            }
            o->setIndicator(CommandOverlay::Indicator::Success);
            o->setText(localized("COMPLETE"));
            QTimer::singleShot(step * 1000, this, [this, o] {
                o->release();
                o->setIndicator(CommandOverlay::Indicator::Spinner);
                emit testFinished(true);
            });
        });
}

bool SearchSiteAccountController::acceptsPluginFile(const QFileInfo &info)
{
    if (info.isDir())
        return true;
    return info.isFile() && info.suffix() == QLatin1String("dlm");
}

} // namespace flk
