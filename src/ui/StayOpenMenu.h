// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace flk {

// A menu of check marks that stays open while they are ticked (a click, or
// Space/Return on the current item, toggles it); Escape or a click outside
// closes it.
class StayOpenMenu : public QMenu
{
public:
    using QMenu::QMenu;

protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QAction *a = actionAt(e->position().toPoint());
        if (a && a->isCheckable() && a->isEnabled()) {
            a->trigger();
            return;
        }
        QMenu::mouseReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        QAction *a = activeAction();
        if (a && a->isCheckable() && a->isEnabled()
            && (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return
                || e->key() == Qt::Key_Enter)) {
            a->trigger();
            return;
        }
        QMenu::keyPressEvent(e);
    }
};

} // namespace flk
