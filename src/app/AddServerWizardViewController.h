// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "servers/AddServerController.h"
#include "ui/KSTSheetViewController.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class QTableView;

namespace flk {

class EmptyViewHint;

class FavoriteManager;
class KSTProgressHUDHelper;

// The sheet in which the user adds a NAS: found on the LAN, by address or by
// cloud ID; completing it signs in and saves the server. It draws the
// AddServerController and forwards to it.
class AddServerWizardViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    enum Mode {
        Manual = AddServerController::Manual,
        CloudID = AddServerController::CloudID,
        Scanned = AddServerController::Scanned
    };

    // scan: the scanner to use (owned); null makes one on Avahi.
    AddServerWizardViewController(
        FavoriteManager *favorites, NasScanManager *scan = nullptr, QWidget *parent = nullptr);
    ~AddServerWizardViewController() override;

    AddServerController *controller() const { return m_controller; }
    QString host() const;
    QString port() const;
    QString account() const;
    QString password() const;

    void on_Scan_Server();
    void on_Manual();
    void on_Cloud_ID();
    void on_Connect_Type();
    void on_Previous();
    void on_Next();

    int mode() const;
    QString currentPage() const;
    bool isHttps() const;
    FoundUnitsModel *acServer() const;
    NasScanManager *scanMan() const;
    KSTProgressHUDHelper *HUD() const { return m_hud; }
    QTableView *tableNas() const { return m_tableNas; }
    QPushButton *btnNext() const { return m_btnNext; }
    QPushButton *btnPre() const { return m_btnPre; }
    QLineEdit *editIP() const { return m_editIP; }
    QLineEdit *editPort() const { return m_editPort; }
    QLineEdit *editAccount() const { return m_editAccount; }
    QLineEdit *editPassword() const { return m_editPwd; }
    QComboBox *cmbConnectType() const { return m_cmbConnectType; }
    QLabel *txtIP() const { return m_txtIP; }

private:
    // Everything shown from the controller.
    void sync();

    KSTProgressHUDHelper *m_hud;
    AddServerController *m_controller;
    QStackedWidget *m_tabAddServer;
    QButtonGroup *m_rdoAddMode;
    QRadioButton *m_btnByScan, *m_btnByManual, *m_btnByCloudID;
    QTableView *m_tableNas;
    QLabel *m_txtIP;
    QLineEdit *m_editIP, *m_editPort, *m_editAccount, *m_editPwd;
    QComboBox *m_cmbConnectType;
    QPushButton *m_btnPre, *m_btnNext;
    EmptyViewHint *m_emptyUnits = nullptr;
};

} // namespace flk
