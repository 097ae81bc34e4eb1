// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>

#include <atomic>
#include <optional>

namespace flk {

// Process-wide view of whether the network is reachable, read by the sign-in
// and the shell's network check. Backed by QNetworkInformation; when no
// backend is available the status stays Unknown, which counts as reachable.
class ReachabilityMonitor : public QObject
{
    Q_OBJECT

public:
    enum Status { Unknown, NotReachable, Reachable };

    static ReachabilityMonitor *shared();

    // Loads the platform backend on the GUI thread (idempotent).
    void start();
    Status status() const;
    bool isReachable() const { return status() != NotReachable; }

    // Tests: pin the status (nullopt returns to the platform's).
    void setForcedStatus(std::optional<Status> status);

signals:
    void statusChanged(flk::ReachabilityMonitor::Status status);

private:
    ReachabilityMonitor();
    void adopt(Status s);

    std::atomic<int> m_platform { Unknown };
    std::atomic<int> m_forced { -1 };
    std::atomic<bool> m_started { false };
};

} // namespace flk
