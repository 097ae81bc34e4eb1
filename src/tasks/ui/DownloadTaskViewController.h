// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "tasks/NewTaskController.h"
#include "ui/KSTSheetViewController.h"

#include <QJsonObject>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;

namespace flk {

class CgiCtrl;
class CheckBoxHeaderView;
class KSTProgressHUDHelper;
class TaskFilesModel;

// The new-task dialog: where one torrent is saved, whether it goes to the
// top of the queue, and which of its files are fetched. New mode (torrentID
// 0) confirms a received torrent with torrent-add; edit mode (torrentID > 0)
// changes an existing task's files with torrent-set.
class DownloadTaskViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    DownloadTaskViewController(const QJsonObject &torrentInfo, qint64 torrentID,
        std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);
    // Opens the dialog as a sheet of presenter; completion runs when it closes.
    static DownloadTaskViewController *present(QWidget *presenter, const QJsonObject &torrentInfo,
        qint64 torrentID, std::shared_ptr<CgiCtrl> client, Completion completion = {});

    NewTaskController *controller() const { return m_controller; }
    bool editMode() const { return m_controller->editMode(); }
    QJsonObject torrentInfo() const { return m_controller->torrentInfo(); }
    qint64 torrentID() const { return m_controller->torrentID(); }
    QString contentName() const { return m_contentName; }
    QString contentSize() const { return m_contentSize; }
    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }

    TaskFilesModel *model() const { return m_model; }
    QTableView *tableView() const { return m_table; }
    CheckBoxHeaderView *header() const { return m_header; }
    QLineEdit *editDownloadDir() const { return m_editDir; }
    QLabel *txtDownloadDir() const { return m_txtDir; }
    QPushButton *btnDownloadDir() const { return m_btnDir; }
    QCheckBox *btnAddTopQueue() const { return m_topQueue; }
    QGroupBox *boxGeneral() const { return m_boxGeneral; }
    QMenu *menuContent() const { return m_menuContent; }
    KSTProgressHUDHelper *HUD() const { return m_hud; }

    // New mode: fills the folder from the NAS default (also run once shown).
    void loadDefaultFolder();
    void on_Browse();
    void ToFolderSelView();
    void on_Ok() override;
    void _update_Total_Size();

signals:
    void defaultFolderLoaded();
    // The request was sent and failed; the sheet stays open.
    void requestFailed();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void onHeaderCheckBox(bool wasChecked);
    void onSortClicked(int column);

    QString m_sortKey, m_order;
    NewTaskController *m_controller;
    QString m_contentName, m_contentSize;
    TaskFilesModel *m_model;
    QTableView *m_table;
    CheckBoxHeaderView *m_header;
    QGroupBox *m_boxGeneral;
    QLineEdit *m_editDir;
    QLabel *m_txtDir, *m_txtName, *m_txtSize;
    QPushButton *m_btnDir;
    QCheckBox *m_topQueue;
    QMenu *m_menuContent;
    KSTProgressHUDHelper *m_hud;
};

} // namespace flk
