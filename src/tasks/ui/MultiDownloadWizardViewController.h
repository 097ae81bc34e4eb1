// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/KSTSheetViewController.h"

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

class QLabel;
class QRadioButton;
class QStackedWidget;
class QTableView;

namespace flk {

class CgiCtrl;
class CheckBoxHeaderView;
class KSTProgressHUDHelper;
class MultiDownloadResultModel;

// Turns a batch of torrent links into tasks: automatic (each added at once
// to the NAS default folder, at the top of the queue) or manual (each fetched,
// then the new-task dialog for each chosen one).
class MultiDownloadWizardViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    MultiDownloadWizardViewController(std::shared_ptr<CgiCtrl> client, uint downloadType,
        const QJsonArray &aryTorrents, QWidget *parent = nullptr);
    // Opens the wizard as a sheet of presenter.
    static MultiDownloadWizardViewController *present(QWidget *presenter,
        std::shared_ptr<CgiCtrl> client, uint downloadType, const QJsonArray &aryTorrents);

    uint downloadType() const { return m_downloadType; }
    const QJsonArray &aryTorrents() const { return m_aryTorrents; }

    bool manualMode() const;
    void setManualMode(bool manual);
    QString currentPage() const; // "SelMode" or "SelTorrent"
    void on_Ok() override;
    void on_Start_Multi_Download(int row);
    void ToTaskView(const QVariantMap &sender);

    MultiDownloadResultModel *model() const { return m_model; }
    QTableView *tableView() const { return m_table; }
    CheckBoxHeaderView *header() const { return m_header; }
    QLabel *txtDesc() const { return m_desc; }
    QWidget *btnSuccessDesc() const { return m_successDesc; }
    QWidget *btnFailDesc() const { return m_failDesc; }
    KSTProgressHUDHelper *HUD() const { return m_hud; }

signals:
    void batchFinished();
    // A new-task dialog of the manual chain has been opened.
    void taskDialogOpened(QWidget *dialog);

private:
    uint m_downloadType;
    QJsonArray m_aryTorrents;
    void showResultPage();
    void runBatch();

    std::shared_ptr<CgiCtrl> m_client;
    KSTProgressHUDHelper *m_hud;
    QStackedWidget *m_pages;
    QRadioButton *m_auto, *m_manual;
    QLabel *m_desc;
    QWidget *m_successDesc, *m_failDesc;
    MultiDownloadResultModel *m_model;
    QTableView *m_table;
    CheckBoxHeaderView *m_header;
    bool m_batchRan = false;
};

} // namespace flk
