// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace flk {

// How Ferrylink reads a download filter (the NAS applies the filter itself,
// later; this is a preview of which items it should pick). Pure functions,
// no widgets.
namespace rssmatch {

struct Rule {
    QString include; // words, every one must be in the title
    QString exclude; // words, none may be in the title
    QStringList qualities; // when not empty, one must be named in the title
    qint64 timeLimitSeconds = 0; // 0: any age
    bool tvEnabled = false;
    qint64 seasonStart = 0, seasonEnd = 0, episodeStart = 0, episodeEnd = 0; // 0: open
};

// A run of the title that matched (start, length), for marking.
struct Span {
    qsizetype start = 0, length = 0;
    bool operator==(const Span &o) const { return start == o.start && length == o.length; }
};

struct Episode {
    int season = 0, episode = 0;
    Span span;
};

struct Result {
    bool picked = false;
    QList<Span> marks; // sorted by start, not overlapping
};

// The words of an include or exclude text: split at white space and commas.
QStringList words(const QString &text);
// Where word stands alone in title (case-insensitive; not inside a longer
// run of letters and digits: "1080p" is not in "x1080px").
std::optional<Span> findWord(const QString &title, const QString &word);
// S01E02, s1e2, S01.E02, 1x02, "Season 1 Episode 2" (not 1920x1080, not a year).
std::optional<Episode> findEpisode(const QString &title);
// ageSeconds: how long ago the item was published (none: unknown, which a
// time limit does not pick).
Result match(const Rule &rule, const QString &title, std::optional<qint64> ageSeconds);

} // namespace rssmatch
} // namespace flk
