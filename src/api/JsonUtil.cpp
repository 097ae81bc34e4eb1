// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "JsonUtil.h"

#include <QDebug>

#include <cmath>

namespace flk::json {

namespace {
void logNull()
{
    qInfo("Error operation for NSNull");
}

// Whether a number lies in the range of a 64-bit integer (-2^63 to 2^63).
bool fitsInteger(double d)
{
    return std::isfinite(d) && d >= -9223372036854775808.0 && d < 9223372036854775808.0;
}
} // namespace

qint64 toInt(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null:
        logNull();
        return 0;
    case QJsonValue::Bool:
        return v.toBool() ? 1 : 0;
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (!fitsInteger(d))
            return 0;
        // Integers that fit are kept exactly (beyond 2^53 a double is not).
        return v.toInteger(static_cast<qint64>(d));
    }
    case QJsonValue::String: {
        // Leading integer of the text, as a lenient numeric reading does.
        const QString s = v.toString().trimmed();
        qsizetype i = 0;
        if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
            ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
        bool ok = false;
        const qint64 n = s.left(i).toLongLong(&ok);
        return ok ? n : 0;
    }
    default:
        return 0;
    }
}

QString idText(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Double: {
        const double d = v.toDouble();
        // Exactly an integer that a qint64 holds: its digits.
        if (fitsInteger(d) && d == std::floor(d))
            return QString::number(v.toInteger(qint64(d)));
        return QStringLiteral("n:") + QString::number(d, 'g', 17);
    }
    case QJsonValue::String: {
        const QString s = v.toString();
        bool ok = false;
        const qint64 n = s.toLongLong(&ok);
        return ok && QString::number(n) == s ? s : QStringLiteral("s:") + s;
    }
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("b:1") : QStringLiteral("b:0");
    case QJsonValue::Null:
        return QStringLiteral("null");
    default:
        return QStringLiteral("none");
    }
}

double toDouble(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null:
        logNull();
        return 0;
    case QJsonValue::Bool:
        return v.toBool() ? 1 : 0;
    case QJsonValue::Double:
        return v.toDouble();
    case QJsonValue::String: {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok ? d : 0;
    }
    default:
        return 0;
    }
}

bool toBool(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null:
        logNull();
        return false;
    case QJsonValue::Bool:
        return v.toBool();
    case QJsonValue::Double:
        return v.toDouble() != 0;
    case QJsonValue::String: {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1String("true") || s == QLatin1String("yes") || toInt(v) != 0;
    }
    default:
        return false;
    }
}

QString toString(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null:
        logNull();
        return {};
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (fitsInteger(d) && d == std::floor(d))
            return QString::number(v.toInteger(static_cast<qint64>(d))); // exact digits
        return QString::number(d, 'g', 17);
    }
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return {};
    }
}

QJsonArray toArray(const QJsonValue &v)
{
    if (v.isNull())
        logNull();
    return v.isArray() ? v.toArray() : QJsonArray();
}

QJsonObject toObject(const QJsonValue &v)
{
    if (v.isNull())
        logNull();
    return v.isObject() ? v.toObject() : QJsonObject();
}

QJsonValue objectForKey(const QJsonObject &o, QStringView key, const QJsonValue &def)
{
    const auto it = o.constFind(key);
    return it == o.constEnd() ? def : it.value();
}

} // namespace flk::json
