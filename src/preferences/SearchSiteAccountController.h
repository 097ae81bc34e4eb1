// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/PaneController.h"

#include <QFileInfo>
#include <QVariantMap>

namespace flk {

// The account sheet's logic for one search site: the account read from the
// NAS (the stored password is never read: an eight-blank placeholder stands
// for it), the user's edits, the result ({account}, and {pwd} only once the
// user typed a password), and the test with its minimum overlay times.
class SearchSiteAccountController : public PaneController
{
    Q_OBJECT

public:
    static inline const QString kPasswordPlaceholder = QStringLiteral("        ");

    explicit SearchSiteAccountController(const QString &siteName, QObject *parent = nullptr);

    QString searchSiteName() const { return m_name; }
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    bool bPwdChanged() const { return m_pwdChanged; }
    // The user's edits.
    void setUsername(const QString &username);
    void setPassword(const QString &password);
    // OK needs both.
    bool canOk() const { return !m_username.isEmpty() && !m_password.isEmpty(); }
    // The Test needs a password the user typed: the saved one is never read
    // (the placeholder would be tested and refused).
    bool canTest() const { return !m_username.isEmpty() && m_pwdChanged && !m_password.isEmpty(); }
    QVariantMap result() const;

    // When the sheet has appeared.
    void load();
    void on_Test();
    // Seconds the test's overlay keeps each state at least (tests shorten it).
    void setStepSeconds(int seconds) { m_stepSeconds = seconds; }

    // The plug-in chooser's rule: plain folders open; a file only with the
    // extension exactly "dlm".
    static bool acceptsPluginFile(const QFileInfo &info);

signals:
    // The account came (username and password to show again).
    void accountLoaded();
    // passed: the NAS accepted the account (a refusal has its own alert and
    // never ends in the success mark).
    void testFinished(bool passed);
    void canOkChanged(bool canOk);
    void canTestChanged(bool canTest);

private:
    QString m_name, m_username, m_password;
    bool m_pwdChanged = false;
    int m_stepSeconds = 1;
};

} // namespace flk
