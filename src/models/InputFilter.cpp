// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "InputFilter.h"

#include <limits>

namespace flk {

qint64 InputFilter::leadingValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        const int digit = text[i].unicode() - '0';
        // Saturates rather than wraps: a huge number is above any maximum.
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min()
                            : std::numeric_limits<qint64>::max();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

InputFilter::Verdict InputFilter::check(
    const QString &current, qsizetype location, qsizetype length, const QString &replacement) const
{
    if (!characterSet.isEmpty())
        for (const QChar c : replacement)
            if (!characterSet.contains(c))
                return BadCharacter;
    if (maxLength > 0 && current.size() + replacement.size() - length > maxLength)
        return TooLong;
    const QString result = QString(current).replace(location, length, replacement);
    if (secure) {
        if (maxValue > 0 && !result.isEmpty() && leadingValue(result) > maxValue)
            return AboveMaximum;
        return Accepted;
    }
    const qint64 value = leadingValue(result);
    if (maxValue > 0 && value > maxValue)
        return AboveMaximum;
    if (minValue > 0 && value < minValue)
        return BelowMinimum;
    return Accepted;
}

void InputFilter::editBetween(const QString &before, const QString &after, qsizetype cursor,
    qsizetype *location, qsizetype *length, QString *replacement)
{
    cursor = std::clamp<qsizetype>(cursor, 0, after.size());
    // What follows the cursor was not touched, as far as both texts agree.
    qsizetype suffix = 0;
    const qsizetype maxSuffix = std::min(after.size() - cursor, before.size());
    while (suffix < maxSuffix
        && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    qsizetype prefix = 0;
    const qsizetype maxPrefix = std::min(before.size() - suffix, after.size() - suffix);
    while (prefix < maxPrefix && prefix < cursor && before[prefix] == after[prefix])
        ++prefix;
    *location = prefix;
    *length = before.size() - suffix - prefix;
    *replacement = after.mid(prefix, after.size() - suffix - prefix);
}

} // namespace flk
