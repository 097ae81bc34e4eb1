// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QButtonGroup;

namespace flk {

class ServerSession;
class SpeedGraph;
class SpeedLimitSchedule;

// One server's speed statistics: download and upload over the last 10
// minutes, hour or day from its speed history, the schedule's limits as
// dashed lines, and the same in words for screen readers.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit StatisticsWindow(ServerSession *session, QWidget *parent = nullptr);

    SpeedGraph *graph() const { return m_graph; }
    // 0: 10 minutes, 1: one hour, 2: 24 hours.
    void setPeriod(int index);
    static qint64 periodMs(int index);

private:
    void updateSummary();

    QPointer<ServerSession> m_session;
    SpeedGraph *m_graph;
    SpeedLimitSchedule *m_limits;
    QButtonGroup *m_periods;
    QLabel *m_summary;
};

} // namespace flk
