// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>

namespace flk {

// The rules an input-filtering field puts to every single edit (a range of
// the current text replaced by a string), in this order: the characters of
// the replacement, the resulting length, the largest and the smallest
// numeric value of the resulting text (its leading integer; empty or not a
// number counts as 0). A rule is off while its value is 0 or empty. The
// secure form checks the maximum only for a non-empty result and has no
// minimum.
struct InputFilter {
    QString characterSet;
    int maxLength = 0;
    qint64 maxValue = 0;
    qint64 minValue = 0;
    bool secure = false;

    enum Verdict { Accepted, BadCharacter, TooLong, AboveMaximum, BelowMinimum };
    Verdict check(const QString &current, qsizetype location, qsizetype length,
        const QString &replacement) const;
    // The edit that turned before into after, with the cursor at cursor
    // afterwards: the replaced range and the replacement.
    static void editBetween(const QString &before, const QString &after, qsizetype cursor,
        qsizetype *location, qsizetype *length, QString *replacement);
    // The leading integer of a text (0 when there is none).
    static qint64 leadingValue(const QString &text);
};

} // namespace flk
