// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SpeedLimitSchedule.h"

#include "ScheduleGrid.h"
#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Work.h"

#include <QDateTime>
#include <QJsonArray>

namespace flk {

SpeedLimitSchedule::SpeedLimitSchedule(QObject *parent) : QObject(parent) { }

void SpeedLimitSchedule::setSchedule(const QJsonObject &schedule)
{
    m_schedule = schedule;
    emit changed();
}

std::optional<double> SpeedLimitSchedule::limitAt(qint64 timeMs, SpeedHistory::Series series) const
{
    return limitAt(m_schedule, timeMs, series);
}

std::optional<double> SpeedLimitSchedule::limitAt(
    const QJsonObject &schedule, qint64 timeMs, SpeedHistory::Series series)
{
    const QJsonValue on = schedule.value(QLatin1String("enable_scheduler"));
    if (!(on.isBool() ? on.toBool() : on.toInt() == 1))
        return std::nullopt;
    static const char *days[] = { "sun", "mon", "tue", "wed", "thu", "fri", "sat" };
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(timeMs);
    const QJsonValue day = schedule.value(QLatin1String(days[t.date().dayOfWeek() % 7]));
    const QList<int> hours = CgiCtrl::decodeScheduleDay(day);
    const int hour = t.time().hour();
    if (!day.isArray() || hour >= hours.size())
        return std::nullopt; // a day in another form draws no line
    switch (hours[hour]) {
    case ScheduleGrid::Stop:
        return 0.0;
    case ScheduleGrid::SeedOnly:
        return series == SpeedHistory::Download ? std::optional<double>(0.0) : std::nullopt;
    case ScheduleGrid::LimitSpeed: {
        const QJsonValue kb
            = schedule.value(series == SpeedHistory::Download ? QLatin1String("max_download_speed")
                                                              : QLatin1String("max_upload_speed"));
        if (!kb.isDouble() || kb.toDouble() <= 0)
            return std::nullopt;
        return kb.toDouble() * 1024.0;
    }
    default:
        return std::nullopt;
    }
}

void SpeedLimitSchedule::load(std::shared_ptr<CgiCtrl> client)
{
    if (!client)
        return;
    runWork(
        this,
        [client] {
            Error e;
            return client->get_Torrent_Schedule(&e);
        },
        [this](const CgiCtrl::Reply &reply) {
            if (reply)
                setSchedule(*reply);
        });
}

} // namespace flk
