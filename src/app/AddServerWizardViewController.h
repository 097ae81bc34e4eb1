// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "servers/FavoriteManager.h"
#include "servers/FoundUnitsModel.h"

#include "servers/NasScanManager.h"
#include "ui/KSTSheetViewController.h"

#include <QAbstractTableModel>
#include <QVariantMap>

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
// cloud ID; completing it signs in and saves the server.
class AddServerWizardViewController : public KSTSheetViewController, public NasScanDelegate
{
    Q_OBJECT

public:
    enum Mode { Manual = 0, CloudID = 1, Scanned = 2 };

    // scan: the scanner to use (owned); null makes one on Avahi.
    AddServerWizardViewController(
        FavoriteManager *favorites, NasScanManager *scan = nullptr, QWidget *parent = nullptr);
    ~AddServerWizardViewController() override;

    QString host() const { return m_host; }
    QString port() const { return m_port; }
    QString account() const { return m_account; }
    QString password() const { return m_password; }

    void on_Scan_Server();
    void on_Manual();
    void on_Cloud_ID();
    void on_Connect_Type();
    void on_Previous();
    void on_Next();

    void server_Added(const QVariantMap &info) override;
    void server_Updated(const QVariantMap &info) override;
    void server_Removed(const QString &name) override;

    int mode() const;
    QString currentPage() const;
    bool isHttps() const;
    FoundUnitsModel *acServer() const { return m_units; }
    NasScanManager *scanMan() const { return m_scan; }
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
    void showPage(int page);
    void updateCompleteButton();
    void setField(QString &field, QLineEdit *edit, const QString &value);

    FavoriteManager *m_favorites;
    NasScanManager *m_scan;
    KSTProgressHUDHelper *m_hud;
    FoundUnitsModel *m_units;
    QStackedWidget *m_tabAddServer;
    QButtonGroup *m_rdoAddMode;
    QRadioButton *m_btnByScan, *m_btnByManual, *m_btnByCloudID;
    QTableView *m_tableNas;
    QLabel *m_txtIP;
    QLineEdit *m_editIP, *m_editPort, *m_editAccount, *m_editPwd;
    QComboBox *m_cmbConnectType;
    QPushButton *m_btnPre, *m_btnNext;
    QString m_host, m_port, m_account, m_password;
    LoginHandle m_loginAttempt; // the sign-in under way, if any
    EmptyViewHint *m_emptyUnits = nullptr;
};

} // namespace flk
