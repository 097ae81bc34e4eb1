// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QLabel>

#include <functional>

class QAbstractItemView;

namespace flk {

// A sentence centred over an item view while its model has no rows, so an
// empty list says why ("No tasks match …", "the file list comes with the
// metadata"). It lets clicks through; an empty text shows nothing.
class EmptyViewHint : public QLabel
{
    Q_OBJECT

public:
    EmptyViewHint(QAbstractItemView *view, std::function<QString()> text);
    // Reads the text again and shows or hides the hint.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_view;
    std::function<QString()> m_text;
};

} // namespace flk
