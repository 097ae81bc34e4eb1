// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// How Ferrylink reads a download filter, against titles named the way
// releases are: dots, brackets, years, resolutions, episode forms.
#include "rss/RSSFilterMatcher.h"
#include "rss/RSSFilterPreview.h"

#include <QtTest>

using namespace flk;
using namespace flk::rssmatch;

Q_DECLARE_METATYPE(flk::rssmatch::Rule)

namespace {
Rule wordRule(const QString &include, const QString &exclude = {})
{
    Rule r;
    r.include = include;
    r.exclude = exclude;
    return r;
}
Rule tv(qint64 s1, qint64 e1, qint64 s2, qint64 e2)
{
    Rule r;
    r.tvEnabled = true;
    r.seasonStart = s1;
    r.episodeStart = e1;
    r.seasonEnd = s2;
    r.episodeEnd = e2;
    return r;
}
Rule quality(const QStringList &q)
{
    Rule r;
    r.qualities = q;
    return r;
}
} // namespace

class TestRssMatcher : public QObject
{
    Q_OBJECT

private slots:
    void episodes_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("season"); // 0: none found
        QTest::addColumn<int>("episode");
        QTest::newRow("SxxEyy") << "The.Show.S02E05.720p.HDTV.x264-GRP" << 2 << 5;
        QTest::newRow("lower case, one digit") << "the show s1e9 web" << 1 << 9;
        QTest::newRow("separated") << "Show - S03.E11 - Title [1080p]" << 3 << 11;
        QTest::newRow("NxNN") << "Show 4x07 The Return" << 4 << 7;
        QTest::newRow("words") << "Show Season 2 Episode 10 (2019)" << 2 << 10;
        QTest::newRow("resolution is not NxNN") << "Movie.2019.1920x1080.BluRay" << 0 << 0;
        QTest::newRow("a year is no season") << "Concert.2012.1080p.WEB" << 0 << 0;
        QTest::newRow("codec") << "Movie.1080p.x264-GRP" << 0 << 0;
        QTest::newRow("inside a word") << "BestS01E02Ever" << 0 << 0;
        QTest::newRow("first form wins") << "Show.S01E02.also.3x04" << 1 << 2;
    }
    void episodes()
    {
        QFETCH(QString, title);
        QFETCH(int, season);
        QFETCH(int, episode);
        const auto e = findEpisode(title);
        QCOMPARE(e.has_value(), season > 0);
        if (e) {
            QCOMPARE(e->season, season);
            QCOMPARE(e->episode, episode);
        }
    }

    void rules_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QString>("title");
        QTest::addColumn<qint64>("age"); // -1: unknown
        QTest::addColumn<bool>("picked");
        const QString show = "The.Expanse.S02E05.Home.1080p.AMZN.WEB-DL.DDP5.1.H.264-GRP";
        QTest::newRow("every include word") << wordRule("expanse 1080p") << show << 0LL << true;
        QTest::newRow("an include word missing")
            << wordRule("expanse 720p") << show << 0LL << false;
        QTest::newRow("case and commas") << wordRule("EXPANSE, Home") << show << 0LL << true;
        QTest::newRow("part of a word is not the word") << wordRule("pans") << show << 0LL << false;
        QTest::newRow("an exclude word") << wordRule("expanse", "web-dl") << show << 0LL << false;
        QTest::newRow("exclude absent") << wordRule("expanse", "hdtv") << show << 0LL << true;
        QTest::newRow("brackets separate")
            << wordRule("horriblesubs") << "[HorribleSubs] Show - 01 [720p].mkv" << 0LL << true;
        QTest::newRow("quality named") << quality({ "720p", "1080p" }) << show << 0LL << true;
        QTest::newRow("quality not named") << quality({ "720p" }) << show << 0LL << false;
        QTest::newRow("1080p inside a word")
            << quality({ "1080p" }) << "Show.x1080px.HDTV" << 0LL << false;
        QTest::newRow("no quality chosen: any") << Rule() << "Anything at all" << -1LL << true;
        Rule recent;
        recent.timeLimitSeconds = 86400;
        QTest::newRow("within the period") << recent << show << 3600LL << true;
        QTest::newRow("older than the period") << recent << show << 90000LL << false;
        QTest::newRow("age unknown with a period") << recent << show << -1LL << false;
        QTest::newRow("in the season range") << tv(2, 1, 2, 10) << show << 0LL << true;
        QTest::newRow("before the range") << tv(2, 6, 3, 1) << show << 0LL << false;
        QTest::newRow("after the range") << tv(1, 1, 2, 4) << show << 0LL << false;
        QTest::newRow("open end") << tv(2, 5, 0, 0) << show << 0LL << true;
        QTest::newRow("whole end season") << tv(1, 1, 2, 0) << show << 0LL << true;
        QTest::newRow("no episode while TV is on")
            << tv(1, 1, 0, 0) << "Movie.2019.1920x1080.BluRay" << 0LL << false;
    }
    void rules()
    {
        QFETCH(Rule, rule);
        QFETCH(QString, title);
        QFETCH(qint64, age);
        QFETCH(bool, picked);
        const Result r = match(rule, title, age < 0 ? std::nullopt : std::optional<qint64>(age));
        QCOMPARE(r.picked, picked);
    }

    void matchedWordsAreMarked()
    {
        Rule r = wordRule("expanse home");
        r.qualities = { "1080p" };
        r.tvEnabled = true;
        const QString title = "The.Expanse.S02E05.Home.1080p";
        const Result res = match(r, title, 0);
        QVERIFY(res.picked);
        QStringList marked;
        for (const Span &s : res.marks)
            marked << title.mid(s.start, s.length);
        QCOMPARE(marked, QStringList({ "Expanse", "S02E05", "Home", "1080p" }));
        QCOMPARE(RSSFilterPreview::markedTitle("a<b> c", { { 0, 1 }, { 5, 1 } }),
            QStringLiteral("<b>a</b>&lt;b&gt; <b>c</b>"));
    }

    void thePreviewListsWhatThisRulePicks()
    {
        RSSFilterPreview preview;
        QJsonArray items;
        for (const char *t : { "Show.S01E01.720p", "Show.S01E02.1080p", "Other.S01E01.720p" })
            items.append(QJsonObject { { "title", t }, { "age", 60 } });
        items.append(QJsonObject { { "title", 42 } }); // no text title: never picked by words
        preview.setItems(items);
        QCOMPARE(preview.itemCount(), 4);
        preview.setRule(wordRule("show"));
        QCOMPARE(preview.rowCount(), 2);
        QCOMPARE(preview.index(1).data().toString(), QStringLiteral("Show.S01E02.1080p"));
        // The matched word travels with the row, for marking.
        const QVariantList marks = preview.index(1).data(RSSFilterPreview::MarksRole).toList();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].toList().value(0).toInt(), 0);
        QCOMPARE(marks[0].toList().value(1).toInt(), 4);
        Rule r = wordRule("show");
        r.qualities = { "720p" };
        preview.setRule(r);
        QCOMPARE(preview.rowCount(), 1);
        preview.setRule(wordRule("nothing"));
        QCOMPARE(preview.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRssMatcher)
#include "tst_rssmatcher.moc"
