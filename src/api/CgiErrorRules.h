// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "CgiCtrlDelegate.h"
#include "Error.h"

#include <QString>

namespace flk {

// The application's rules for presenting request errors and the sign-in
// error vocabulary, in one place. The application delegate answers the
// CgiCtrl hooks through AppCgiDelegate.
namespace CgiErrorRules {

// Text key of a failed operation before the session rule (nullptr: no text).
const char *textKeyForOperation(int cgiId, int code);
// Text key of a request error, session rule included (nullptr: no text).
const char *errorMessageKey(const Error &error);
bool showErrorMessage(const Error &error);
int alertButtonType(const Error &error);
// The reply as evaluated: "get-user-pref" replies without "success" get it.
QJsonObject response(const QJsonObject &reply, int function);

// Sign-in: the login-domain code for a request error code.
int loginErrorCodeFromCgiCode(int cgiCode);
// Sign-in: the localisation key shown for a login-domain code (nullptr: nothing shown).
const char *loginErrorMessageKey(int loginCode);
// Sign-in: the message for a login-domain error, placeholders filled from its
// user information ("app_name", "app_cur_ver", "app_min_ver") and the
// application's name.
QString loginErrorMessage(const Error &error);

} // namespace CgiErrorRules

class AppCgiDelegate : public CgiCtrlDelegate
{
public:
    std::optional<QJsonObject> cgiCtrl_response(
        CgiCtrl *, const QJsonObject &reply, int function) override;
    std::optional<bool> cgiCtrl_showErrorMessage(CgiCtrl *, const Error &error) override;
    std::optional<QString> cgiCtrl_errorMessage(CgiCtrl *, const Error &error) override;
    std::optional<int> cgiCtrl_alertButtonType(CgiCtrl *, const Error &error, int) override;
};

} // namespace flk
