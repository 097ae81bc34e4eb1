// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Mnemonics.h"

#include <QSet>

namespace flk {

namespace {
// The mnemonic a text marks itself, if any ("&File" -> 'F'; "&&" is a
// literal ampersand).
QChar ownMnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        if (text.at(i + 1).isLetterOrNumber())
            return text.at(i + 1).toLower();
    }
    return {};
}

bool usable(QChar c)
{
    // Only what a keyboard types directly: ASCII letters and digits.
    return c.unicode() < 128 && c.isLetterOrNumber();
}
} // namespace

QStringList assignMnemonics(const QStringList &texts)
{
    QSet<QChar> used;
    for (const QString &t : texts) {
        const QChar own = ownMnemonic(t);
        if (!own.isNull())
            used.insert(own);
    }
    QStringList out;
    out.reserve(texts.size());
    for (const QString &text : texts) {
        if (text.isEmpty() || !ownMnemonic(text).isNull()) {
            out << text;
            continue;
        }
        qsizetype pick = -1;
        // First letters of words, then any character.
        for (int pass = 0; pass < 2 && pick < 0; ++pass) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text.at(i);
                const bool wordStart = i == 0 || !text.at(i - 1).isLetterOrNumber();
                if ((pass == 0 && !wordStart) || !usable(c) || used.contains(c.toLower()))
                    continue;
                pick = i;
                break;
            }
        }
        QString escaped = text;
        if (pick >= 0) {
            used.insert(text.at(pick).toLower());
            QString marked;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (i == pick)
                    marked += u'&';
                marked += text.at(i);
                if (text.at(i) == u'&')
                    marked += u'&';
            }
            out << marked;
            continue;
        }
        escaped.replace(QStringLiteral("&"), QStringLiteral("&&"));
        QChar extra;
        for (char c = 'A'; c <= 'Z' && extra.isNull(); ++c) {
            if (!used.contains(QChar(c).toLower()))
                extra = QChar::fromLatin1(c);
        }
        if (extra.isNull()) {
            out << escaped; // more than 26 items: the rest go without
            continue;
        }
        used.insert(extra.toLower());
        out << escaped + QStringLiteral("(&") + extra + u')';
    }
    return out;
}

} // namespace flk
