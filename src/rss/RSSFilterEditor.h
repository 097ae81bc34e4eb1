// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include "RSSFilterMatcher.h"

namespace flk {

// The filter editor's state, without widgets: what each control shows for
// the filter set with setRSSFilterInfo, the user's changes, and the edit
// record that Save sends (get_Filter_Edit_Info).
class RSSFilterEditor : public QObject
{
    Q_OBJECT

public:
    explicit RSSFilterEditor(QObject *parent = nullptr);

    // The time-period chooser: texts and the time-limit of each item.
    static QStringList timePeriodTexts();
    static const QList<qint64> &mapTimePeriod();
    // The check-interval chooser's texts (the index is sent).
    static QStringList checkIntervalTexts();

    // The whole rss-feed-list reply; the chooser offers every feed with an
    // id above 0, in list order.
    void setRSSFeedList(const QJsonArray &feeds);
    QStringList feedTitles() const;
    // Refills every value from a filter record.
    void setRSSFilterInfo(const QJsonObject &filter);
    const QJsonObject &RSSFilterInfo() const { return m_filter; }
    bool hasFilter() const { return !m_filter.isEmpty(); }
    // A control differs from what the filter showed when it was set.
    bool isEdited() const { return hasFilter() && screenInfo() != m_loadedInfo; }

    QString feedName() const { return m_feedName; }
    void setFeedName(const QString &name);
    QString include() const { return m_include; }
    void setInclude(const QString &text);
    QString exclude() const { return m_exclude; }
    void setExclude(const QString &text);
    bool isQualityMarked(const QString &quality) const { return m_qualities.contains(quality); }
    // on_Change_Quality: toggles a quality's mark.
    void toggleQuality(const QString &quality);
    // The marked qualities in menu order, joined by ", ".
    QString qualitySummary() const;
    // -1 when the filter's time limit is none of the chooser's.
    int timePeriodIndex() const { return m_timePeriodIndex; }
    void setTimePeriodIndex(int index);
    bool tvEnabled() const { return m_tvEnabled; }
    void setTvEnabled(bool on);
    // The TV-series numbers: tag 0 start season, 1 end season, 2 start
    // episode, 3 end episode. Stored as received until a stepper moves one;
    // shown as at least 1.
    qint64 tvNumber(int tag) const;
    QString tvNumberText(int tag) const;
    void on_Change_TV_Number(int tag, qint64 value);
    bool checkEnabled() const { return m_checkEnabled; }
    void setCheckEnabled(bool on);
    // -1 when the filter's interval is outside the chooser.
    int checkIntervalIndex() const { return m_checkIndex; }
    void setCheckIntervalIndex(int index);
    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);

    // What Save sends besides the id and the name: only members the editor
    // read in their shape or the user changed.
    QVariantMap get_Filter_Edit_Info() const;
    // The edit-record members whose filter-record members came in the shape
    // the editor reads.
    static QSet<QString> understoodMembers(const QJsonObject &filter);
    // The chosen feed's id (0: none chosen or not in the list).
    qint64 feedId() const;
    // The rule as the controls show it now, for the preview of what it picks.
    rssmatch::Rule matchRule() const;

signals:
    // Every control should show the values again (a new filter or feed list).
    void changed();
    // The quality marks changed (the menu and the summary).
    void qualitiesChanged();
    // A control that decides what the filter picks changed (typing included).
    void ruleEdited();

private:
    // Every member as the controls show it.
    QVariantMap screenInfo() const;

    QJsonArray m_feeds;
    QSet<QString> m_understood;
    QVariantMap m_loadedInfo;
    QJsonObject m_filter;
    QString m_feedName, m_include, m_exclude, m_folder;
    QSet<QString> m_qualities;
    int m_timePeriodIndex = 0;
    qint64 m_timeLimit = 0;
    bool m_tvEnabled = false;
    qint64 m_tv[4] = { 0, 0, 0, 0 };
    bool m_checkEnabled = false;
    int m_checkIndex = 0;
    qint64 m_checkInterval = 0;
};

} // namespace flk
