// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "KSTSheetViewController.h"

class QLineEdit;

namespace flk {

// Asks for the name of a new folder; OK is enabled while the name is not
// empty. The NAS judges the name itself.
class FolderCreateViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit FolderCreateViewController(QWidget *parent = nullptr);

    QString folderName() const { return m_folderName; }
    void setFolderName(const QString &name);
    QLineEdit *nameField() const { return m_field; }

private:
    QString m_folderName;
    QLineEdit *m_field;
};

} // namespace flk
