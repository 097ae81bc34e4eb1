// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterMatcher.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace flk::rssmatch {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber();
}

// The span's ends are not inside a longer run of letters and digits.
bool standsAlone(const QString &title, qsizetype start, qsizetype length)
{
    const bool before
        = start == 0 || !isWordChar(title.at(start - 1)) || !isWordChar(title.at(start));
    const qsizetype end = start + length;
    const bool after
        = end >= title.size() || !isWordChar(title.at(end)) || !isWordChar(title.at(end - 1));
    return before && after;
}

void addMark(QList<Span> &marks, Span s)
{
    marks.append(s);
}

QList<Span> merged(QList<Span> marks)
{
    std::sort(
        marks.begin(), marks.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    QList<Span> out;
    for (const Span &s : marks) {
        if (!out.isEmpty() && s.start <= out.last().start + out.last().length) {
            Span &l = out.last();
            l.length = std::max(l.start + l.length, s.start + s.length) - l.start;
        } else {
            out.append(s);
        }
    }
    return out;
}

bool inRange(const Episode &e, const Rule &r)
{
    // By season, then episode: from (seasonStart, episodeStart) up to
    // (seasonEnd, episodeEnd); a 0 leaves that end open (an end season
    // without an end episode takes the whole season).
    const auto at = std::pair(qint64(e.season), qint64(e.episode));
    if (r.seasonStart > 0 && at < std::pair(r.seasonStart, r.episodeStart))
        return false;
    if (r.seasonEnd > 0) {
        if (r.episodeEnd > 0 ? at > std::pair(r.seasonEnd, r.episodeEnd) : at.first > r.seasonEnd)
            return false;
    }
    return true;
}

} // namespace

QStringList words(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

std::optional<Span> findWord(const QString &title, const QString &word)
{
    if (word.isEmpty())
        return std::nullopt;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = title.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0)
            return std::nullopt;
        if (standsAlone(title, at, word.size()))
            return Span { at, word.size() };
        from = at + 1;
    }
}

std::optional<Episode> findEpisode(const QString &title)
{
    static const QList<QRegularExpression> forms {
        // S01E02, s1e2, S01.E02, S01 E02, S01_E02
        QRegularExpression(
            QStringLiteral("(?<![\\p{L}\\p{N}])s(\\d{1,3})[ ._-]?e(\\d{1,4})(?![\\p{N}])"),
            QRegularExpression::CaseInsensitiveOption),
        // 1x02 (not 1920x1080: a season of at most two digits)
        QRegularExpression(
            QStringLiteral("(?<![\\p{L}\\p{N}])(\\d{1,2})x(\\d{2,3})(?![\\p{L}\\p{N}])"),
            QRegularExpression::CaseInsensitiveOption),
        // Season 1 Episode 2
        QRegularExpression(QStringLiteral("(?<![\\p{L}\\p{N}])season[ ._-]*(\\d{1,3})[ "
                                          "._-]*episode[ ._-]*(\\d{1,4})(?![\\p{N}])"),
            QRegularExpression::CaseInsensitiveOption),
    };
    std::optional<Episode> best;
    for (const QRegularExpression &form : forms) {
        const QRegularExpressionMatch m = form.match(title);
        if (!m.hasMatch())
            continue;
        if (!best || m.capturedStart() < best->span.start)
            best = Episode { m.captured(1).toInt(), m.captured(2).toInt(),
                { m.capturedStart(), m.capturedLength() } };
    }
    return best;
}

Result match(const Rule &rule, const QString &title, std::optional<qint64> ageSeconds)
{
    Result r;
    QList<Span> marks;
    for (const QString &w : words(rule.include)) {
        const auto at = findWord(title, w);
        if (!at)
            return r;
        addMark(marks, *at);
    }
    for (const QString &w : words(rule.exclude)) {
        if (findWord(title, w))
            return r;
    }
    if (!rule.qualities.isEmpty()) {
        bool any = false;
        for (const QString &q : rule.qualities) {
            if (const auto at = findWord(title, q)) {
                addMark(marks, *at);
                any = true;
            }
        }
        if (!any)
            return r;
    }
    if (rule.timeLimitSeconds > 0 && (!ageSeconds || *ageSeconds > rule.timeLimitSeconds))
        return r;
    if (rule.tvEnabled) {
        const auto e = findEpisode(title);
        if (!e || !inRange(*e, rule))
            return r;
        addMark(marks, e->span);
    }
    r.picked = true;
    r.marks = merged(marks);
    return r;
}

} // namespace flk::rssmatch
