// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "AddServerWizardViewController.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "ui/EmptyViewHint.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

// ---- the wizard --------------------------------------------------------------

AddServerWizardViewController::AddServerWizardViewController(
    FavoriteManager *favorites, NasScanManager *scan, QWidget *parent)
    : KSTSheetViewController(parent), m_hud(new KSTProgressHUDHelper(this))
{
    m_hud->setViewProvider([this] { return this; });
    m_controller = new AddServerController(favorites, scan, m_hud->commands(), this);
    setWindowTitle(localized("ADD_HOST_TITLE"));

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(localized("ADD_HOST_TITLE"), this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);

    m_tabAddServer = new QStackedWidget(this);
    layout->addWidget(m_tabAddServer, 1);

    // Page "SelAddMode".
    auto *selPage = new QWidget(m_tabAddServer);
    selPage->setObjectName(QStringLiteral("SelAddMode"));
    auto *selLayout = new QVBoxLayout(selPage);
    m_btnByScan = new QRadioButton(localized("ADD_HOST_RDO_BY_SCANNED"), selPage);
    m_btnByManual = new QRadioButton(localized("ADD_HOST_RDO_BY_MANUAL"), selPage);
    m_btnByCloudID = new QRadioButton(localized("ADD_HOST_RDO_BY_CLOUD_ID"), selPage);
    m_rdoAddMode = new QButtonGroup(this);
    m_rdoAddMode->addButton(m_btnByScan, AddServerController::Scanned);
    m_rdoAddMode->addButton(m_btnByManual, AddServerController::Manual);
    m_rdoAddMode->addButton(m_btnByCloudID, AddServerController::CloudID);
    m_tableNas = new QTableView(selPage);
    m_tableNas->setModel(m_controller->units());
    m_tableNas->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableNas->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableNas->verticalHeader()->hide();
    m_tableNas->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tableNas->verticalHeader()->setDefaultSectionSize(25);
    selLayout->addWidget(m_btnByScan);
    selLayout->addWidget(m_tableNas, 1);
    selLayout->addWidget(m_btnByManual);
    selLayout->addWidget(m_btnByCloudID);
    m_tabAddServer->addWidget(selPage);

    // Page "ServerInfo".
    auto *infoPage = new QWidget(m_tabAddServer);
    infoPage->setObjectName(QStringLiteral("ServerInfo"));
    auto *form = new QFormLayout(infoPage);
    auto *desc = new QLabel(localized("ADD_HOST_INFO_DESC"), infoPage);
    desc->setWordWrap(true);
    form->addRow(desc);
    m_txtIP = new QLabel(localized("ADD_HOST_TXT_IP"), infoPage);
    m_editIP = new QLineEdit(infoPage);
    form->addRow(m_txtIP, m_editIP);
    m_cmbConnectType = new QComboBox(infoPage);
    m_cmbConnectType->addItems({ QStringLiteral("HTTP"), QStringLiteral("HTTPS") });
    form->addRow(new QLabel(localized("ADD_HOST_TXT_CONNECT_TYPE"), infoPage), m_cmbConnectType);
    m_editPort = new QLineEdit(infoPage);
    form->addRow(new QLabel(localized("ADD_HOST_TXT_PORT"), infoPage), m_editPort);
    m_editAccount = new QLineEdit(infoPage);
    form->addRow(new QLabel(localized("ADD_HOST_TXT_USER"), infoPage), m_editAccount);
    m_editPwd = new QLineEdit(infoPage);
    m_editPwd->setEchoMode(QLineEdit::Password);
    form->addRow(new QLabel(localized("ADD_HOST_TXT_PWD"), infoPage), m_editPwd);
    m_tabAddServer->addWidget(infoPage);

    // Buttons: Cancel, Previous, Next/Complete.
    btnOk()->hide();
    m_btnPre = new QPushButton(localized("PREVIOUS"), this);
    m_btnNext = new QPushButton(localized("NEXT"), this);
    m_btnNext->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnCancel());
    buttons->addStretch();
    buttons->addWidget(m_btnPre);
    buttons->addWidget(m_btnNext);
    layout->addLayout(buttons);

    connect(m_btnByScan, &QRadioButton::clicked, this, [this] { on_Scan_Server(); });
    connect(m_btnByManual, &QRadioButton::clicked, this, [this] { on_Manual(); });
    connect(m_btnByCloudID, &QRadioButton::clicked, this, [this] { on_Cloud_ID(); });
    connect(m_cmbConnectType, &QComboBox::activated, this, [this] { on_Connect_Type(); });
    connect(m_btnPre, &QPushButton::clicked, this, [this] { on_Previous(); });
    connect(m_btnNext, &QPushButton::clicked, this, [this] { on_Next(); });
    connect(m_tableNas->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_tableNas->selectionModel()->selectedRows();
        m_controller->setChosenUnit(rows.isEmpty() ? -1 : rows.first().row());
    });
    // The fields and the controller follow each other.
    connect(m_editIP, &QLineEdit::textChanged, m_controller, &AddServerController::setHost);
    connect(m_editPort, &QLineEdit::textChanged, m_controller, &AddServerController::setPort);
    connect(m_editAccount, &QLineEdit::textChanged, m_controller, &AddServerController::setAccount);
    connect(m_editPwd, &QLineEdit::textChanged, m_controller, &AddServerController::setPassword);
    connect(
        m_controller, &AddServerController::changed, this, &AddServerWizardViewController::sync);
    connect(m_controller, &AddServerController::signingIn, this, [this] {
        m_hud->setIndicatorViewStyle(CommandOverlay::Indicator::Spinner);
        m_hud->setText(localized("TXT_SIGNING_IN"));
    });
    connect(m_controller, &AddServerController::signInFailed, this, [this] {
        m_hud->setText(localized("LOADING"));
        setResultObject(QVariant());
    });
    connect(m_controller, &AddServerController::signedIn, this, [this](CgiCtrl *client) {
        m_hud->setText(localized("LOADING"));
        setResultObject(QVariant::fromValue<QObject *>(client));
        on_Ok();
    });

    sync();
    setMinimumSize(520, 420);
    // The found-units list says what it waits for, or that it cannot find
    // anything here (typing an address still works).
    m_emptyUnits = new EmptyViewHint(m_tableNas, [this] {
        return scanMan()->isDiscoveryAvailable()
            ? localized("ADD_HOST_SEARCHING")
            : stringWithKSTFormat(
                localized("ADD_HOST_NO_DISCOVERY"), { localized("ADD_HOST_RDO_BY_MANUAL") });
    });
}

AddServerWizardViewController::~AddServerWizardViewController() = default;

FoundUnitsModel *AddServerWizardViewController::acServer() const
{
    return m_controller->units();
}

NasScanManager *AddServerWizardViewController::scanMan() const
{
    return m_controller->scan();
}

QString AddServerWizardViewController::host() const
{
    return m_controller->host();
}

QString AddServerWizardViewController::port() const
{
    return m_controller->port();
}

QString AddServerWizardViewController::account() const
{
    return m_controller->account();
}

QString AddServerWizardViewController::password() const
{
    return m_controller->password();
}

int AddServerWizardViewController::mode() const
{
    return m_controller->mode();
}

QString AddServerWizardViewController::currentPage() const
{
    return m_tabAddServer->currentWidget()->objectName();
}

bool AddServerWizardViewController::isHttps() const
{
    return m_controller->https();
}

void AddServerWizardViewController::on_Scan_Server()
{
    m_controller->setMode(AddServerController::Scanned);
}

void AddServerWizardViewController::on_Manual()
{
    m_controller->setMode(AddServerController::Manual);
}

void AddServerWizardViewController::on_Cloud_ID()
{
    m_controller->setMode(AddServerController::CloudID);
}

void AddServerWizardViewController::on_Connect_Type()
{
    m_controller->setHttps(m_cmbConnectType->currentIndex() == 1);
}

void AddServerWizardViewController::on_Previous()
{
    m_controller->previous();
}

void AddServerWizardViewController::on_Next()
{
    m_controller->next();
}

void AddServerWizardViewController::sync()
{
    const auto *c = m_controller;
    auto show = [](QLineEdit *edit, const QString &value) {
        if (edit->text() != value)
            edit->setText(value);
    };
    m_rdoAddMode->button(c->mode())->setChecked(true);
    m_tableNas->setEnabled(c->mode() == AddServerController::Scanned);
    show(m_editIP, c->host());
    show(m_editPort, c->port());
    show(m_editAccount, c->account());
    show(m_editPwd, c->password());
    m_cmbConnectType->setCurrentIndex(c->https() ? 1 : 0);
    m_txtIP->setText(localized(
        c->mode() == AddServerController::CloudID ? "ADD_HOST_TXT_CLOUD_ID" : "ADD_HOST_TXT_IP"));
    const bool details = c->page() == AddServerController::ServerInfo;
    m_btnPre->setVisible(details);
    m_btnNext->setText(localized(details ? "COMPLETE" : "NEXT"));
    m_btnNext->setEnabled(c->canGoOn());
    if (m_tabAddServer->currentIndex() != int(c->page())) {
        m_tabAddServer->setCurrentIndex(int(c->page()));
        if (details) {
            // Straight to what is still to be typed.
            if (c->mode() == AddServerController::Scanned)
                m_editAccount->setFocus();
            else
                m_editIP->setFocus();
        }
    }
}

} // namespace flk
