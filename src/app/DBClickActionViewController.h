// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/KSTSheetViewController.h"

class QComboBox;

namespace flk {

class FavoriteManager;

// Which saved server takes the torrent files and links the desktop hands
// over: OK makes the chosen server the default (and every other not).
class DBClickActionViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit DBClickActionViewController(FavoriteManager *favMan, QWidget *parent = nullptr);

    QComboBox *cmbNas() const { return m_cmbNas; }
    void on_Ok() override;

private:
    FavoriteManager *m_favMan;
    QComboBox *m_cmbNas;
};

} // namespace flk
