// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SimFixture.h"

SimFixture::SimFixture()
    : m_state(std::make_unique<nassim::NasState>()),
      m_server(std::make_unique<nassim::NasServer>(*m_state))
{
    m_running = m_server->start(QStringLiteral("127.0.0.1"), 0, 0);
}

SimFixture::~SimFixture()
{
    m_server->stop();
}
