// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "AddServerWizardViewController.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "servers/FavoriteManager.h"
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

namespace {
enum Page { SelAddMode = 0, ServerInfo = 1 };
} // namespace

// ---- the wizard --------------------------------------------------------------

AddServerWizardViewController::AddServerWizardViewController(
    FavoriteManager *favorites, NasScanManager *scan, QWidget *parent)
    : KSTSheetViewController(parent),
      m_favorites(favorites),
      m_scan(scan ? scan : new NasScanManager()),
      m_hud(new KSTProgressHUDHelper(this)),
      m_units(new FoundUnitsModel(this))
{
    m_hud->setViewProvider([this] { return this; });
    setWindowTitle(localized("ADD_HOST_TITLE"));
    m_scan->setParent(this);
    m_scan->bonjourProtocal = QStringLiteral("KESTREL_DC");
    m_scan->scanDelegate = this;

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
    m_rdoAddMode->addButton(m_btnByScan, Scanned);
    m_rdoAddMode->addButton(m_btnByManual, Manual);
    m_rdoAddMode->addButton(m_btnByCloudID, CloudID);
    m_tableNas = new QTableView(selPage);
    m_tableNas->setModel(m_units);
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
        if (currentPage() == QLatin1String("SelAddMode"))
            m_btnNext->setEnabled(m_tableNas->selectionModel()->hasSelection());
    });
    // Observed fields: every edit re-evaluates Complete.
    connect(m_editIP, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_host = t;
        updateCompleteButton();
    });
    connect(m_editPort, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_port = t;
        updateCompleteButton();
    });
    connect(m_editAccount, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_account = t;
        updateCompleteButton();
    });
    connect(m_editPwd, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_password = t;
        updateCompleteButton();
    });

    m_btnByScan->setChecked(true);
    showPage(SelAddMode);
    on_Scan_Server();
    setMinimumSize(520, 420);
    m_scan->start_Scan_Server();
    // The found-units list says what it waits for, or that it cannot find
    // anything here (typing an address still works).
    m_emptyUnits = new EmptyViewHint(m_tableNas, [this] {
        return m_scan->isDiscoveryAvailable()
            ? localized("ADD_HOST_SEARCHING")
            : stringWithKSTFormat(
                localized("ADD_HOST_NO_DISCOVERY"), { localized("ADD_HOST_RDO_BY_MANUAL") });
    });
}

AddServerWizardViewController::~AddServerWizardViewController()
{
    if (m_loginAttempt)
        m_favorites->cancel_Login(m_loginAttempt);
    m_scan->scanDelegate = nullptr;
    m_scan->stop_Scan_Server();
}

int AddServerWizardViewController::mode() const
{
    return m_rdoAddMode->checkedId();
}

QString AddServerWizardViewController::currentPage() const
{
    return m_tabAddServer->currentWidget()->objectName();
}

bool AddServerWizardViewController::isHttps() const
{
    return m_cmbConnectType->currentIndex() == 1;
}

void AddServerWizardViewController::setField(QString &field, QLineEdit *edit, const QString &value)
{
    field = value;
    if (edit->text() != value)
        edit->setText(value);
    updateCompleteButton();
}

void AddServerWizardViewController::on_Scan_Server()
{
    m_btnByScan->setChecked(true);
    m_tableNas->setEnabled(true);
    m_btnNext->setEnabled(m_tableNas->selectionModel()->hasSelection());
}

void AddServerWizardViewController::on_Manual()
{
    m_btnByManual->setChecked(true);
    m_tableNas->setEnabled(false);
    m_btnNext->setEnabled(true);
}

void AddServerWizardViewController::on_Cloud_ID()
{
    m_btnByCloudID->setChecked(true);
    m_tableNas->setEnabled(false);
    m_btnNext->setEnabled(true);
}

void AddServerWizardViewController::on_Connect_Type()
{
    setField(m_port, m_editPort, isHttps() ? QStringLiteral("8001") : QStringLiteral("8000"));
}

void AddServerWizardViewController::on_Previous()
{
    showPage(SelAddMode);
}

void AddServerWizardViewController::showPage(int page)
{
    m_tabAddServer->setCurrentIndex(page);
    if (page == SelAddMode) {
        m_btnPre->hide();
        m_btnNext->setText(localized("NEXT"));
        m_btnNext->setEnabled(true);
        if (mode() == Scanned)
            on_Scan_Server();
        return;
    }
    m_btnPre->show();
    m_btnNext->setText(localized("COMPLETE"));
    if (mode() == Scanned) {
        const QModelIndexList rows = m_tableNas->selectionModel()->selectedRows();
        const QVariantMap unit
            = rows.isEmpty() ? QVariantMap() : m_units->unitAt(rows.first().row());
        const bool https = unit.value(QStringLiteral("httpsenabled")).toBool();
        setField(m_host, m_editIP, unit.value(QStringLiteral("address")).toString());
        m_cmbConnectType->setCurrentIndex(https ? 1 : 0);
        setField(m_port, m_editPort,
            unit.value(https ? QStringLiteral("httpsport") : QStringLiteral("httpport"))
                .toString());
        m_txtIP->setText(localized("ADD_HOST_TXT_IP"));
        m_editAccount->setFocus();
    } else {
        setField(m_host, m_editIP, QString());
        setField(m_port, m_editPort, QStringLiteral("8000"));
        m_cmbConnectType->setCurrentIndex(0);
        m_txtIP->setText(
            localized(mode() == CloudID ? "ADD_HOST_TXT_CLOUD_ID" : "ADD_HOST_TXT_IP"));
        m_editIP->setFocus();
    }
    updateCompleteButton();
}

void AddServerWizardViewController::updateCompleteButton()
{
    if (currentPage() != QLatin1String("ServerInfo"))
        return;
    m_btnNext->setEnabled(
        !m_host.isEmpty() && !m_port.isEmpty() && !m_account.isEmpty() && !m_password.isEmpty());
}

void AddServerWizardViewController::on_Next()
{
    if (currentPage() == QLatin1String("SelAddMode")) {
        showPage(ServerInfo);
        return;
    }
    if (!m_btnNext->isEnabled())
        return;
    m_hud->setIndicatorViewStyle(CommandOverlay::Indicator::Spinner);
    m_hud->setText(localized("TXT_SIGNING_IN"));
    const QVariantMap info { { QStringLiteral("host"), m_host },
        { QStringLiteral("account"), m_account }, { QStringLiteral("password"), m_password },
        { QStringLiteral("is_cloud_id"), mode() == CloudID ? 1 : 0 },
        { QStringLiteral("use_https"), isHttps() ? 1 : 0 }, { QStringLiteral("port"), m_port } };
    FavoriteManager *favorites = m_favorites;
    const LoginHandle attempt = favorites->newLoginAttempt();
    m_loginAttempt = attempt;
    struct Outcome {
        // Deletes a client nobody took (the wizard went meanwhile).
        std::shared_ptr<PendingClient> client = std::make_shared<PendingClient>();
        Error error;
    };
    m_hud->commands()->runCancellable(
        [favorites, info, attempt] {
            Outcome out;
            out.client->set(favorites->add_Favorite_NAS(info, &out.error, attempt));
            return out;
        },
        [this, favorites](Outcome out) {
            m_loginAttempt.reset();
            m_hud->setText(localized("LOADING"));
            if (out.error.isError() || !out.client->get()) {
                setResultObject(QVariant());
                return;
            }
            const int last = favorites->count() - 1;
            favorites->update_Favorite_NAS(last, QStringLiteral("default"), last == 0 ? 1 : 0);
            setResultObject(QVariant::fromValue<QObject *>(out.client->take()));
            on_Ok();
        },
        [this, favorites, attempt] {
            favorites->cancel_Login(attempt);
            m_loginAttempt.reset();
        });
}

void AddServerWizardViewController::server_Added(const QVariantMap &info)
{
    m_units->add(info);
}

void AddServerWizardViewController::server_Updated(const QVariantMap &info)
{
    m_units->update(info);
}

void AddServerWizardViewController::server_Removed(const QString &name)
{
    m_units->remove(name);
}

} // namespace flk
