// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Null-safe readers for reply members. A JSON null read as any type yields the
// empty value and logs "Error operation for NSNull"; a member of another type
// than expected reads as empty too, so a malformed reply never crashes a caller.
namespace flk::json {

qint64 toInt(const QJsonValue &v);
// An id as the NAS sent it, as text: an integer as its digits (a number and
// the same digits as a string are the same id), any other number as Qt
// reads it ("1.8446744073709552e+19"), a text as it is. Ids that cannot be
// represented as integers never collapse into one another (or into 0).
QString idText(const QJsonValue &v);
double toDouble(const QJsonValue &v);
bool toBool(const QJsonValue &v);
QString toString(const QJsonValue &v);
QJsonArray toArray(const QJsonValue &v);
QJsonObject toObject(const QJsonValue &v);

inline qint64 intValue(const QJsonObject &o, QStringView key)
{
    return toInt(o.value(key));
}
inline double doubleValue(const QJsonObject &o, QStringView key)
{
    return toDouble(o.value(key));
}
inline bool boolValue(const QJsonObject &o, QStringView key)
{
    return toBool(o.value(key));
}
inline QString stringValue(const QJsonObject &o, QStringView key)
{
    return toString(o.value(key));
}
inline QJsonArray arrayValue(const QJsonObject &o, QStringView key)
{
    return toArray(o.value(key));
}
inline QJsonObject objectValue(const QJsonObject &o, QStringView key)
{
    return toObject(o.value(key));
}

// The member for key, or def when the key is absent.
QJsonValue objectForKey(const QJsonObject &o, QStringView key, const QJsonValue &def);

// Element i of an array (null-safe: an out-of-range index reads as undefined).
inline QJsonValue at(const QJsonArray &a, qsizetype i)
{
    return (i >= 0 && i < a.size()) ? a.at(i) : QJsonValue(QJsonValue::Undefined);
}

} // namespace flk::json
