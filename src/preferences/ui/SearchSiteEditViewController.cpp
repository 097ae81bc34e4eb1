// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchSiteEditViewController.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "ui/FilterTextField.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace flk {

SearchSiteEditViewController::SearchSiteEditViewController(
    const QString &siteName, std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : DCBaseViewController(parent), m_controller(new SearchSiteAccountController(siteName, this))
{
    setWindowTitle(siteName);
    setCtrlCgi(std::move(client));
    bindSheetController(m_controller);

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(siteName, this);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    auto *form = new QFormLayout;
    m_user = new QLineEdit(this);
    m_pwd = new FilterSecureTextField(this);
    m_user->setMinimumWidth(260);
    form->addRow(localized("LOGIN_USER"), m_user);
    form->addRow(localized("LOGIN_PWD"), m_pwd);
    layout->addLayout(form);
    auto *row = buttonRow();
    m_btnTest = new QPushButton(localized("PREFER_TEST"), row);
    static_cast<QHBoxLayout *>(row->layout())->insertWidget(0, m_btnTest);
    layout->addSpacing(8);
    layout->addWidget(row);
    btnOk()->setEnabled(false);
    m_btnTest->setEnabled(false);
    m_btnTest->setToolTip(localized("PREFER_TEST_NEEDS_PASSWORD"));

    // Only the user's typing counts as an edit.
    connect(
        m_user, &QLineEdit::textEdited, m_controller, &SearchSiteAccountController::setUsername);
    connect(m_pwd, &QLineEdit::textEdited, m_controller, &SearchSiteAccountController::setPassword);
    connect(
        m_controller, &SearchSiteAccountController::canOkChanged, btnOk(), &QWidget::setEnabled);
    connect(m_controller, &SearchSiteAccountController::canTestChanged, m_btnTest,
        &QWidget::setEnabled);
    connect(m_controller, &SearchSiteAccountController::accountLoaded, this, [this] {
        m_user->setText(m_controller->username());
        m_pwd->setText(m_controller->password());
    });
    connect(m_btnTest, &QPushButton::clicked, m_controller, &SearchSiteAccountController::on_Test);
}

void SearchSiteEditViewController::showEvent(QShowEvent *e)
{
    DCBaseViewController::showEvent(e);
    if (!m_loaded) {
        m_loaded = true;
        m_controller->load();
    }
}

void SearchSiteEditViewController::on_Ok()
{
    setResultObject(m_controller->result());
    DCBaseViewController::on_Ok();
}

} // namespace flk
