// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RecordingAlertPresenter.h"

void RecordingAlertPresenter::present(
    const flk::AlertRequest &request, std::function<void(int)> done)
{
    shown.append({ request, done });
    if (answer >= 0)
        done(answer);
}

void RecordingAlertPresenter::close(int button)
{
    if (!shown.isEmpty() && shown.last().done) {
        auto done = shown.last().done;
        shown.last().done = nullptr;
        done(button);
    }
}
