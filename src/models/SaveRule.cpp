// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SaveRule.h"

#include <QJsonArray>

#include <cmath>

namespace flk::saverule {

bool isWhole(const QJsonValue &v)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    return std::isfinite(d) && d == std::floor(d);
}

bool isFlag(const QJsonValue &v)
{
    return v.isBool() || (isWhole(v) && (v.toDouble() == 0 || v.toDouble() == 1));
}

bool isText(const QJsonValue &v)
{
    return v.isString();
}

bool isWords(const QJsonValue &v)
{
    if (!v.isArray())
        return false;
    for (const QJsonValue &w : v.toArray())
        if (!w.isString())
            return false;
    return true;
}

Send decide(bool edited, bool understood, bool present, bool canEcho)
{
    if (edited || (present && understood))
        return Send::ScreenValue;
    if (present && canEcho)
        return Send::AsRead;
    return Send::Nothing;
}

} // namespace flk::saverule
