// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterEditor.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/SaveRule.h"

namespace flk {

RSSFilterEditor::RSSFilterEditor(QObject *parent) : QObject(parent) { }

QStringList RSSFilterEditor::timePeriodTexts()
{
    return { localized("FILTER_TIME_PERIOD_NO_LIMIT"),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_HOURS"), { QStringLiteral("3") }),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_HOURS"), { QStringLiteral("6") }),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_HOURS"), { QStringLiteral("12") }),
        localized("FILTER_TIME_PERIOD_1_DAY"),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_DAYS"), { QStringLiteral("3") }),
        localized("FILTER_TIME_PERIOD_1_WEEK"),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_WEEKS"), { QStringLiteral("2") }),
        stringWithKSTFormat(localized("FILTER_TIME_PERIOD_N_WEEKS"), { QStringLiteral("3") }),
        localized("FILTER_TIME_PERIOD_1_MONTH") };
}

const QList<qint64> &RSSFilterEditor::mapTimePeriod()
{
    static const QList<qint64> map { 0, 10800, 21600, 43200, 86400, 259200, 604800, 1209600,
        1814400, 2419200 };
    return map;
}

QStringList RSSFilterEditor::checkIntervalTexts()
{
    return { localized("FILTER_INTERVAL_3_HOURS"), localized("FILTER_INTERVAL_6_HOURS"),
        localized("FILTER_INTERVAL_12_HOURS"), localized("FILTER_INTERVAL_1_DAY"),
        localized("FILTER_INTERVAL_3_DAYS"), localized("FILTER_INTERVAL_1_WEEK"),
        localized("FILTER_INTERVAL_2_WEEKS"), localized("FILTER_INTERVAL_3_WEEKS"),
        localized("FILTER_INTERVAL_1_MONTH") };
}

void RSSFilterEditor::setRSSFeedList(const QJsonArray &feeds)
{
    m_feeds = feeds;
    emit changed();
}

QStringList RSSFilterEditor::feedTitles() const
{
    QStringList titles;
    for (const QJsonValue &v : m_feeds) {
        const QJsonObject f = json::toObject(v);
        if (json::intValue(f, u"id") > 0)
            titles << json::stringValue(f, u"title");
    }
    return titles;
}

void RSSFilterEditor::setRSSFilterInfo(const QJsonObject &filter)
{
    m_filter = filter;
    // Feed: the title of the first feed with the filter's id.
    m_feedName.clear();
    const qint64 feedId = json::intValue(filter, u"feed_id");
    if (feedId > 0) {
        for (const QJsonValue &v : m_feeds) {
            const QJsonObject f = json::toObject(v);
            if (json::intValue(f, u"id") == feedId) {
                m_feedName = json::stringValue(f, u"title");
                break;
            }
        }
    }
    auto joined = [](const QJsonValue &words) {
        QStringList out;
        for (const QJsonValue &w : json::toArray(words))
            out << json::toString(w);
        return out.join(QLatin1Char(' '));
    };
    m_include = joined(filter.value(QStringLiteral("include")));
    m_exclude = joined(filter.value(QStringLiteral("exclude")));
    m_qualities.clear();
    const QJsonObject quality = json::objectValue(filter, u"quality");
    for (const QString &q : CgiCtrl::rssQualityNames())
        if (json::boolValue(quality, q))
            m_qualities.insert(q);
    m_timeLimit = json::intValue(filter, u"time-limit");
    m_timePeriodIndex = int(mapTimePeriod().indexOf(m_timeLimit));
    const QJsonObject tv = json::objectValue(filter, u"tv_series");
    m_tvEnabled = json::boolValue(tv, u"enabled");
    m_tv[0] = json::intValue(tv, u"season_start");
    m_tv[1] = json::intValue(tv, u"season_end");
    m_tv[2] = json::intValue(tv, u"episode_start");
    m_tv[3] = json::intValue(tv, u"episode_end");
    const QJsonObject check = json::objectValue(filter, u"check_interval");
    m_checkEnabled = json::boolValue(check, u"enabled");
    m_checkInterval = json::intValue(check, u"update_interval");
    m_checkIndex = m_checkInterval >= 0 && m_checkInterval <= 8 ? int(m_checkInterval) : -1;
    m_folder = json::stringValue(json::objectValue(filter, u"save_as"), u"download_dir");
    m_understood = understoodMembers(filter);
    m_loadedInfo = screenInfo();
    emit changed();
    emit qualitiesChanged();
}

void RSSFilterEditor::setFeedName(const QString &name)
{
    m_feedName = name;
    emit ruleEdited();
}

void RSSFilterEditor::setInclude(const QString &text)
{
    m_include = text;
    emit ruleEdited();
}

void RSSFilterEditor::setExclude(const QString &text)
{
    m_exclude = text;
    emit ruleEdited();
}

qint64 RSSFilterEditor::feedId() const
{
    if (m_feedName.isEmpty())
        return 0;
    for (const QJsonValue &v : m_feeds) {
        const QJsonObject f = v.toObject();
        const qint64 id = json::intValue(f, u"id");
        if (id > 0 && json::stringValue(f, u"title") == m_feedName)
            return id;
    }
    return 0;
}

rssmatch::Rule RSSFilterEditor::matchRule() const
{
    rssmatch::Rule r;
    r.include = m_include;
    r.exclude = m_exclude;
    for (const QString &q : CgiCtrl::rssQualityNames()) {
        if (m_qualities.contains(q))
            r.qualities << q;
    }
    r.timeLimitSeconds
        = m_timePeriodIndex >= 0 ? mapTimePeriod().value(m_timePeriodIndex) : m_timeLimit;
    r.tvEnabled = m_tvEnabled;
    r.seasonStart = tvNumber(0);
    r.seasonEnd = tvNumber(1);
    r.episodeStart = tvNumber(2);
    r.episodeEnd = tvNumber(3);
    return r;
}

void RSSFilterEditor::toggleQuality(const QString &quality)
{
    if (!CgiCtrl::rssQualityNames().contains(quality))
        return;
    if (!m_qualities.remove(quality))
        m_qualities.insert(quality);
    emit qualitiesChanged();
    emit ruleEdited();
}

QString RSSFilterEditor::qualitySummary() const
{
    QStringList marked;
    for (const QString &q : CgiCtrl::rssQualityNames())
        if (m_qualities.contains(q))
            marked << q;
    return marked.join(QStringLiteral(", "));
}

void RSSFilterEditor::setTimePeriodIndex(int index)
{
    if (index < 0 || index >= mapTimePeriod().size())
        return;
    m_timePeriodIndex = index;
    m_timeLimit = mapTimePeriod().at(index);
    emit ruleEdited();
}

void RSSFilterEditor::setTvEnabled(bool on)
{
    m_tvEnabled = on;
    emit ruleEdited();
}

qint64 RSSFilterEditor::tvNumber(int tag) const
{
    return tag >= 0 && tag < 4 ? m_tv[tag] : 0;
}

QString RSSFilterEditor::tvNumberText(int tag) const
{
    const qint64 v = tvNumber(tag);
    return v > 0 ? QString::number(v) : QStringLiteral("1");
}

void RSSFilterEditor::on_Change_TV_Number(int tag, qint64 value)
{
    if (tag >= 0 && tag < 4)
        m_tv[tag] = value;
    emit changed();
    emit ruleEdited();
}

void RSSFilterEditor::setCheckEnabled(bool on)
{
    m_checkEnabled = on;
}

void RSSFilterEditor::setCheckIntervalIndex(int index)
{
    if (index < 0 || index > 8)
        return;
    m_checkIndex = index;
    m_checkInterval = index;
}

void RSSFilterEditor::setFolder(const QString &folder)
{
    m_folder = folder;
}

QSet<QString> RSSFilterEditor::understoodMembers(const QJsonObject &filter)
{
    using namespace saverule;
    QSet<QString> out { QStringLiteral("save_as_enabled") };
    const auto mark = [&out](const char *key, bool ok) {
        if (ok)
            out.insert(QString::fromLatin1(key));
    };
    mark("feed_id", isWhole(filter.value(QLatin1String("feed_id"))));
    mark("include", isWords(filter.value(QLatin1String("include"))));
    mark("exclude", isWords(filter.value(QLatin1String("exclude"))));
    // A quality missing from the object is off; the object itself must be there.
    const QJsonValue quality = filter.value(QLatin1String("quality"));
    for (const QString &q : CgiCtrl::rssQualityNames()) {
        const QJsonValue v = quality.toObject().value(q);
        if (quality.isObject() && (v.isUndefined() || isFlag(v)))
            out.insert(q);
    }
    mark("time-limit", isWhole(filter.value(QLatin1String("time-limit"))));
    const QJsonValue tv = filter.value(QLatin1String("tv_series"));
    mark("tv_series_enabled", isFlag(tv.toObject().value(QLatin1String("enabled"))));
    for (const char *k : { "season_start", "season_end", "episode_start", "episode_end" })
        mark(k, isWhole(tv.toObject().value(QLatin1String(k))));
    const QJsonObject check = filter.value(QLatin1String("check_interval")).toObject();
    mark("update_interval_enabled", isFlag(check.value(QLatin1String("enabled"))));
    const QJsonValue interval = check.value(QLatin1String("update_interval"));
    mark("update_interval",
        isWhole(interval) && interval.toDouble() >= 0 && interval.toDouble() <= 8);
    const QJsonObject saveAs = filter.value(QLatin1String("save_as")).toObject();
    mark("save_as", isText(saveAs.value(QLatin1String("download_dir"))));
    return out;
}

QVariantMap RSSFilterEditor::get_Filter_Edit_Info() const
{
    // The controls' values go where the member was read as the control
    // reads it or the user changed the control; a member that was missing
    // or came in another shape is left out, so the NAS keeps its own value
    // (the edit request takes members in another form than the list gives
    // them, so they cannot go back as read).
    const QVariantMap screen = screenInfo();
    QVariantMap info;
    for (auto it = screen.cbegin(); it != screen.cend(); ++it) {
        const bool edited
            = !m_loadedInfo.contains(it.key()) || m_loadedInfo.value(it.key()) != it.value();
        if (saverule::decide(edited, m_understood.contains(it.key()), true, false)
            == saverule::Send::ScreenValue)
            info.insert(it.key(), it.value());
    }
    return info;
}

QVariantMap RSSFilterEditor::screenInfo() const
{
    QVariantMap info;
    // The feed: the first of that title (left out when none has it).
    for (const QJsonValue &v : m_feeds) {
        const QJsonObject f = json::toObject(v);
        if (!m_feedName.isEmpty() && json::stringValue(f, u"title") == m_feedName
            && json::intValue(f, u"id") > 0) {
            info.insert(QStringLiteral("feed_id"), json::intValue(f, u"id"));
            break;
        }
    }
    info.insert(QStringLiteral("include"), m_include);
    info.insert(QStringLiteral("exclude"), m_exclude);
    for (const QString &q : CgiCtrl::rssQualityNames())
        info.insert(q, m_qualities.contains(q) ? 1 : 0);
    // A time limit that is none of the chooser's goes back as it came.
    info.insert(QStringLiteral("time-limit"), m_timeLimit);
    info.insert(QStringLiteral("tv_series_enabled"), m_tvEnabled ? 1 : 0);
    info.insert(QStringLiteral("season_start"), m_tv[0]);
    info.insert(QStringLiteral("season_end"), m_tv[1]);
    info.insert(QStringLiteral("episode_start"), m_tv[2]);
    info.insert(QStringLiteral("episode_end"), m_tv[3]);
    info.insert(QStringLiteral("update_interval_enabled"), m_checkEnabled ? 1 : 0);
    info.insert(QStringLiteral("update_interval"), m_checkInterval);
    info.insert(QStringLiteral("save_as_enabled"), true);
    info.insert(QStringLiteral("save_as"), m_folder);
    return info;
}

} // namespace flk
