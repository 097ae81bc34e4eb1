#pragma once

#include <QString>

namespace flk {

// The most characters of one text that a cell, a tool tip or a detail field
// lays out. Laying out a text costs time in its length (a task name of a
// megabyte takes most of a second), and no screen shows more than this;
// the full text stays in the model for copying.
inline constexpr qsizetype kMaxDisplayChars = 1024;

inline QString capForDisplay(const QString &text)
{
    if (text.size() <= kMaxDisplayChars)
        return text;
    qsizetype cut = kMaxDisplayChars;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never split a character
    return text.left(cut) + QChar(0x2026);
}

} // namespace flk
