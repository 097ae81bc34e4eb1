// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/KSTSheetViewController.h"

class QRadioButton;

namespace flk {

// Asks whether deleting tasks also deletes their files. Result: the mode,
// 0 = the tasks only, 1 = the tasks and their downloaded files.
class TorrentDeleteViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit TorrentDeleteViewController(QWidget *parent = nullptr);
    void on_Ok() override;
    QRadioButton *taskOnly() const { return m_taskOnly; }
    QRadioButton *taskAndFiles() const { return m_taskAndFiles; }

private:
    QRadioButton *m_taskOnly, *m_taskAndFiles;
};

} // namespace flk
