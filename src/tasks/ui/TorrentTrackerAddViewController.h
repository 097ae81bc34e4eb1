// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/KSTSheetViewController.h"

class QPlainTextEdit;

namespace flk {

// Asks for tracker addresses, one per line. OK is enabled while at least one
// line starts with http://, https:// or udp:// (any case); the result is the
// whole text as typed.
class TorrentTrackerAddViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit TorrentTrackerAddViewController(QWidget *parent = nullptr);

    QPlainTextEdit *tvTracker() const { return m_text; }
    void textDidChange();
    static bool hasTrackerLine(const QString &text);

private:
    QPlainTextEdit *m_text;
};

} // namespace flk
