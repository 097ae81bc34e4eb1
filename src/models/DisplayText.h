// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>

#include <optional>

namespace flk {

// The most characters of one text that a cell, a tool tip or a detail field
// lays out. Laying out a text costs time in its length (a task name of a
// megabyte takes most of a second), and no screen shows more than this;
// the full text stays in the model for copying.
inline constexpr qsizetype kMaxDisplayChars = 1024;

// Explicit direction controls in a text from outside (embeddings,
// overrides, isolates: U+202A-U+202E, U+2066-U+2069) can show a name
// reversed ("U+202E gpj.exe") or reorder the text around it. What is shown
// drops them, and a text that held any is isolated (first strong, U+2068 ...
// U+2069) so it cannot reorder its surroundings. Right-to-left scripts need
// no controls and show as they are.
inline bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

inline QString isolateBidi(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && !isBidiControl(text.at(first)))
        ++first;
    if (first == text.size())
        return text;
    QString out;
    out.reserve(text.size() + 2);
    out += QChar(0x2068);
    out += QStringView(text).left(first);
    for (qsizetype i = first; i < text.size(); ++i)
        if (!isBidiControl(text.at(i)))
            out += text.at(i);
    out += QChar(0x2069);
    return out;
}

inline QString capForDisplay(const QString &text)
{
    if (text.size() <= kMaxDisplayChars)
        return isolateBidi(text);
    qsizetype cut = kMaxDisplayChars;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never split a character
    return isolateBidi(text.left(cut)) + QChar(0x2026);
}

// The share a progress text shows, clamped to 0-100: the number it starts
// with ("45.2%", " 7 %", "100", "-1%"), read with either decimal mark. A
// text that does not start with a number has none.
inline std::optional<double> progressPercent(const QString &text)
{
    QString digits;
    bool point = false;
    QStringView rest = QStringView(text).trimmed();
    const bool negative = rest.startsWith(u'-');
    if (negative)
        rest = rest.mid(1);
    for (const QChar c : rest) {
        if (c.isDigit()) {
            digits += c;
        } else if ((c == u'.' || c == u',') && !point && !digits.isEmpty()) {
            digits += u'.';
            point = true;
        } else {
            break;
        }
    }
    if (digits.endsWith(u'.'))
        digits.chop(1);
    bool ok = false;
    const double v = digits.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return negative ? 0.0 : (v > 100 ? 100.0 : v);
}

} // namespace flk
