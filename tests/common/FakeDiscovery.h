// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "servers/ServiceDiscovery.h"

// Stands in for the platform's service discovery: tests announce services.
class FakeDiscovery : public flk::ServiceDiscovery
{
public:
    QStringList browsed;
    int stops = 0;
    bool available = true; // false: as without an mDNS daemon
    bool browse(const QString &type) override
    {
        browsed << type;
        return available;
    }
    void stop() override { ++stops; }
    void resolve(const flk::ResolvedService &s) { emit serviceResolved(s); }
    void remove(const QString &name) { emit serviceRemoved(name, "_KESTREL_DC._tcp."); }
};
