// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "api/AlertPresenter.h"

class QWidget;

namespace flk {

// Shows alerts as window-modal message boxes on the given window, else on the
// active (or first visible) top-level window.
class MessageBoxAlertPresenter : public AlertPresenter
{
public:
    void present(const AlertRequest &request, std::function<void(int button)> done) override;

    static QWidget *topMostWindow();
    // A message as the box shows it: runs without spaces of more than a
    // name's length keep their start and end, the whole at most a few
    // thousand characters.
    static QString capLongRuns(const QString &text);
    // Breaks lines longer than width characters at their last blank.
    static QString wrapLines(const QString &text, int width = 56);
};

} // namespace flk
