// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/DCBaseViewController.h"

class QLineEdit;

namespace flk {

// Asks for the name of a new filter ("ToRSSFilterAddView"); OK needs one
// character at least and hands the name over.
class RSSFilterAddViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit RSSFilterAddViewController(QWidget *parent = nullptr);
    QString name() const;
    QLineEdit *editName() const { return m_edit; }

private:
    QLineEdit *m_edit;
};

} // namespace flk
