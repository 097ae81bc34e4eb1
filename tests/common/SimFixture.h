// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "NasServer.h"
#include "NasState.h"

#include <QString>

#include <memory>

// A simulated NAS on free loopback ports, for one test case or a whole suite.
class SimFixture
{
public:
    SimFixture();
    ~SimFixture();

    bool isRunning() const { return m_running; }
    nassim::NasState &state() { return *m_state; }
    nassim::NasServer &server() { return *m_server; }
    QString http() const { return m_server->httpBase(); }
    QString https() const { return m_server->httpsBase(); }

private:
    std::unique_ptr<nassim::NasState> m_state;
    std::unique_ptr<nassim::NasServer> m_server;
    bool m_running = false;
};
