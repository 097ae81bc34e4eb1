// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/SpeedHistory.h"

#include <QJsonObject>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace flk {

class CgiCtrl;

// The speed limits the NAS's weekly schedule sets at a given moment, for
// drawing them over the speed graph: none where the schedule is off or
// lets the service run at its own speed, the schedule's limits (KB/s) in
// "limited" hours, 0 where it stops (and for downloads while seeding only).
// The hours are the computer's local ones. No widgets.
class SpeedLimitSchedule : public QObject
{
    Q_OBJECT

public:
    explicit SpeedLimitSchedule(QObject *parent = nullptr);

    // The torrent-scheduler-get reply (an empty object: no schedule known).
    void setSchedule(const QJsonObject &schedule);
    const QJsonObject &schedule() const { return m_schedule; }
    bool isKnown() const { return !m_schedule.isEmpty(); }
    std::optional<double> limitAt(qint64 timeMs, SpeedHistory::Series series) const;
    static std::optional<double> limitAt(
        const QJsonObject &schedule, qint64 timeMs, SpeedHistory::Series series);

    // Reads the schedule on a worker (a failure leaves no lines).
    void load(std::shared_ptr<CgiCtrl> client);

signals:
    void changed();

private:
    QJsonObject m_schedule;
};

} // namespace flk
