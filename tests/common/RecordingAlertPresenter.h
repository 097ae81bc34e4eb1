// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "api/AlertPresenter.h"

#include <QList>

#include <functional>

// Records every alert; answers with a scripted button (or leaves it open).
class RecordingAlertPresenter : public flk::AlertPresenter
{
public:
    struct Shown {
        flk::AlertRequest request;
        std::function<void(int)> done;
    };

    RecordingAlertPresenter() { install(this); }
    ~RecordingAlertPresenter() override { install(nullptr); }

    void present(const flk::AlertRequest &request, std::function<void(int)> done) override;

    // -1 keeps alerts open until close() is called.
    int answer = -1;
    QList<Shown> shown;
    // Closes the last shown alert with the given button.
    void close(int button);
};
