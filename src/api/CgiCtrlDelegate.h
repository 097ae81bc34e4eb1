// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "Error.h"

#include <QJsonObject>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace flk {

class CgiCtrl;

// Hooks a CgiCtrl consults. Every hook is optional: the default bodies return
// std::nullopt, which means "not implemented" and selects the built-in
// behaviour.
class CgiCtrlDelegate
{
public:
    virtual ~CgiCtrlDelegate() = default;

    // Replacement POST parameters, before a POST is built.
    virtual std::optional<QVariantMap> cgiCtrl_post(
        CgiCtrl *, const QVariantMap &, const QString &, const QString &, int)
    {
        return std::nullopt;
    }
    // A complete URL instead of the built-in form; an empty string means "no URL".
    virtual std::optional<QString> cgiCtrl_cgiURL(
        CgiCtrl *, const QString &, const QString &, const QString &, const QString &, int)
    {
        return std::nullopt;
    }
    // Replacement reply after every successful HTTP exchange, before evaluation.
    // Called on the thread that waits for the request: keep it free of state.
    virtual std::optional<QJsonObject> cgiCtrl_response(CgiCtrl *, const QJsonObject &, int)
    {
        return std::nullopt;
    }
    // An error instead of the built-in evaluation (nullopt or a non-error: built-in).
    virtual std::optional<Error> cgiCtrl_errorCode(
        CgiCtrl *, const std::optional<QJsonObject> &, int)
    {
        return std::nullopt;
    }
    // Whether to present this error.
    virtual std::optional<bool> cgiCtrl_showErrorMessage(CgiCtrl *, const Error &)
    {
        return std::nullopt;
    }
    // Text of the alert, or an empty string for none.
    virtual std::optional<QString> cgiCtrl_errorMessage(CgiCtrl *, const Error &)
    {
        return std::nullopt;
    }
    // Alert identifier for errors other than connection failure and expiry.
    virtual std::optional<int> cgiCtrl_alertID(CgiCtrl *, const Error &) { return std::nullopt; }
    // Button layout: 2 means YES/NO.
    virtual std::optional<int> cgiCtrl_alertButtonType(CgiCtrl *, const Error &, int)
    {
        return std::nullopt;
    }
};

} // namespace flk
