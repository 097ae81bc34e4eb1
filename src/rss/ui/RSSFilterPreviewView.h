// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QWidget>

class QLabel;
class QListView;

namespace flk {

class RSSFilterPreview;

// Beside the filter editor: the feed's items the rule as edited would pick,
// the matched words in bold, the count, and a line saying the NAS decides.
class RSSFilterPreviewView : public QWidget
{
    Q_OBJECT

public:
    explicit RSSFilterPreviewView(RSSFilterPreview *preview, QWidget *parent = nullptr);
    QLabel *status() const { return m_status; }
    QListView *list() const { return m_list; }

private:
    RSSFilterPreview *m_preview;
    QLabel *m_status;
    QListView *m_list;
};

} // namespace flk
