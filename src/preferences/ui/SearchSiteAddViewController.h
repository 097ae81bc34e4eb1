// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/DCBaseViewController.h"

class QLabel;
class QLineEdit;

namespace flk {

// Chooses a search-site plug-in file ("ToSearchSiteAddView"): the chooser
// offers plain folders and files whose extension is exactly "dlm"; the
// result is the chosen file's path.
class SearchSiteAddViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit SearchSiteAddViewController(QWidget *parent = nullptr);

    QString filePath() const { return m_path; }
    void on_Browse();
    // The chooser's confirmation (tests call it directly).
    void setChosenFile(const QString &path);
    QLineEdit *editPath() const { return m_edit; }
    QPushButton *btnBrowse() const { return m_btnBrowse; }

signals:
    void fileDialogOpened(QWidget *dialog);

private:
    QString m_path;
    QLineEdit *m_edit;
    QPushButton *m_btnBrowse;
};

} // namespace flk
