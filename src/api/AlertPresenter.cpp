// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "AlertPresenter.h"

#include <atomic>

namespace flk {

namespace {
std::atomic<AlertPresenter *> g_presenter { nullptr };
}

AlertPresenter *AlertPresenter::current()
{
    return g_presenter.load();
}

void AlertPresenter::install(AlertPresenter *p)
{
    g_presenter.store(p);
}

} // namespace flk
