// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "preferences/SearchSiteAccountController.h"
#include "ui/DCBaseViewController.h"

#include <memory>

class QLineEdit;
class QPushButton;

namespace flk {

class CgiCtrl;

// The account of one search site ("ToSearchSiteEditView"): loads the
// account when shown, Test, and OK with {account, pwd}.
class SearchSiteEditViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    SearchSiteEditViewController(
        const QString &siteName, std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    SearchSiteAccountController *controller() const { return m_controller; }
    QLineEdit *editUsername() const { return m_user; }
    QLineEdit *editPassword() const { return m_pwd; }
    QPushButton *btnTest() const { return m_btnTest; }
    void on_Ok() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    SearchSiteAccountController *m_controller;
    QLineEdit *m_user, *m_pwd;
    QPushButton *m_btnTest;
    bool m_loaded = false;
};

} // namespace flk
