// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ReachabilityMonitor.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QThread>

namespace flk {

ReachabilityMonitor::ReachabilityMonitor()
{
    if (QCoreApplication::instance())
        moveToThread(QCoreApplication::instance()->thread());
}

ReachabilityMonitor *ReachabilityMonitor::shared()
{
    static ReachabilityMonitor *monitor = new ReachabilityMonitor();
    return monitor;
}

void ReachabilityMonitor::start()
{
    if (m_started.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!QNetworkInformation::loadBackendByFeatures(
                    QNetworkInformation::Feature::Reachability)) {
                qInfo("Network reachability is not available here; assuming reachable");
                return;
            }
            QNetworkInformation *info = QNetworkInformation::instance();
            auto map = [](QNetworkInformation::Reachability r) {
                switch (r) {
                case QNetworkInformation::Reachability::Disconnected:
                    return NotReachable;
                case QNetworkInformation::Reachability::Unknown:
                    return Unknown;
                default:
                    return Reachable;
                }
            };
            adopt(map(info->reachability()));
            connect(info, &QNetworkInformation::reachabilityChanged, this,
                [this, map](QNetworkInformation::Reachability r) { adopt(map(r)); });
        },
        Qt::QueuedConnection);
}

void ReachabilityMonitor::adopt(Status s)
{
    if (m_platform.exchange(s) != s && m_forced < 0)
        emit statusChanged(s);
}

ReachabilityMonitor::Status ReachabilityMonitor::status() const
{
    const int forced = m_forced;
    return Status(forced >= 0 ? forced : int(m_platform));
}

void ReachabilityMonitor::setForcedStatus(std::optional<Status> status)
{
    m_forced = status ? int(*status) : -1;
    emit statusChanged(this->status());
}

} // namespace flk
