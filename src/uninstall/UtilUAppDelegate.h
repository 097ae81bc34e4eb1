// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "Installation.h"
#include "PurgehandClient.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace sweepdeck {

class UninstallRun;

// Sweepdeck's window: the confirmation page (icon, description, the
// settings check box, Quit and Uninstall) and the progress page
// ("TabProgress": status, progress 0–100, what could not be removed, OK).
// The removal itself is an UninstallRun.
class UtilUAppDelegate : public QWidget
{
    Q_OBJECT

public:
    // keys: none when the key file is missing (the window says so and offers
    // nothing to remove).
    UtilUAppDelegate(const Installation &installation, const std::optional<UninstallKeys> &keys,
        const QString &keysError = QString(), QWidget *parent = nullptr);

    UninstallRun *run() const { return m_run; }
    QStackedWidget *tabUninstall() const { return m_tabs; }
    QCheckBox *chkRemovePrefer() const { return m_chkRemovePrefer; }
    QPushButton *btnUninstall() const { return m_btnUninstall; }
    QPushButton *btnQuit() const { return m_btnQuit; }
    QPushButton *btnOk() const { return m_btnOk; }
    QProgressBar *progressUninstall() const { return m_progress; }
    QLabel *txtUninstalling() const { return m_txtUninstalling; }
    QLabel *txtDesc() const { return m_txtDesc; }
    QLabel *txtError() const { return m_txtError; }
    QLabel *txtPackages() const { return m_txtPackages; }
    QPlainTextEdit *listFailures() const { return m_listFailures; }
    QPlainTextEdit *listWillRemove() const { return m_listWillRemove; }
    // What Uninstall will remove (files, the cache, and with the check box
    // the settings and saved passwords), listed before it starts.
    QStringList willRemove() const;

    void onUninstall();

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    QWidget *buildConfirmPage(const QIcon &icon);
    QWidget *buildProgressPage(const QIcon &icon);
    void onAuthorisationEnded(PurgehandClient::Start outcome, const QString &detail);
    void onFinished(bool complete);
    QIcon targetIcon() const;
    void showWillRemove();

    Installation m_installation;
    std::optional<UninstallKeys> m_keys;
    QString m_strTargetAppName;
    UninstallRun *m_run = nullptr;
    QStackedWidget *m_tabs;
    QLabel *m_txtDesc = nullptr, *m_txtNote = nullptr, *m_txtError = nullptr;
    QCheckBox *m_chkRemovePrefer = nullptr;
    QPushButton *m_btnQuit = nullptr, *m_btnUninstall = nullptr, *m_btnOk = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_txtUninstalling = nullptr, *m_txtPackages = nullptr, *m_txtFailures = nullptr;
    QPlainTextEdit *m_listFailures = nullptr;
    QLabel *m_txtWillRemove = nullptr;
    QPlainTextEdit *m_listWillRemove = nullptr;
};

} // namespace sweepdeck
