// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/DCBaseViewController.h"

class QLineEdit;

namespace flk {

class FirstFolderController;

// Shown after sign-in when the NAS download service has no default folder
// for this account yet: OK saves the chosen folder ("/Download" unless
// another is browsed) as the account's first preferences. Draws a
// FirstFolderController and forwards to it.
class DefaultFolderViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit DefaultFolderViewController(
        std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    FirstFolderController *controller() const { return m_controller; }
    QString defaultFolder() const;
    void setDefaultFolder(const QString &folder);
    QPushButton *btnBrowseDefaultFolder() const { return m_btnBrowse; }

    void on_Browse_Folder();
    void ToFolderSelView();
    void on_Ok() override;

signals:
    void saveFailed();

private:
    FirstFolderController *m_controller;
    QLineEdit *m_field;
    QPushButton *m_btnBrowse;
};

} // namespace flk
