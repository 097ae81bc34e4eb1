// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DownloadTaskViewController.h"

#include "ui/TextCapping.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "tasks/NewTaskController.h"
#include "tasks/TaskFilesModel.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/DCBaseViewController.h"
#include "ui/EmptyViewHint.h"
#include "ui/FolderSelViewController.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

DownloadTaskViewController *DownloadTaskViewController::present(QWidget *presenter,
    const QJsonObject &torrentInfo, qint64 torrentID, std::shared_ptr<CgiCtrl> client,
    Completion completion)
{
    auto *sheet = new DownloadTaskViewController(torrentInfo, torrentID, std::move(client));
    if (completion)
        sheet->setCompletion(std::move(completion));
    KSTSheetViewController::presentSheet(presenter, sheet);
    return sheet;
}

DownloadTaskViewController::DownloadTaskViewController(const QJsonObject &torrentInfo,
    qint64 torrentID, std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : KSTSheetViewController(parent), m_hud(new KSTProgressHUDHelper(this))
{
    m_controller
        = new NewTaskController(torrentInfo, torrentID, std::move(client), m_hud->commands(), this);
    m_model = m_controller->files();
    m_hud->setViewProvider([this] { return this; });
    setWindowTitle(m_controller->name());
    auto *layout = new QVBoxLayout(this);

    // General: the destination (new mode) or the task's folder (edit mode).
    m_boxGeneral = new QGroupBox(localized("TASK_BOX_GENERAL"), this);
    auto *general = new QGridLayout(m_boxGeneral);
    general->addWidget(new QLabel(localized("TASK_DEFAULT_DOWNLOAD_DIR"), m_boxGeneral), 0, 0);
    auto *dirRow = new QHBoxLayout;
    m_editDir = new QLineEdit(m_boxGeneral);
    m_btnDir = new QPushButton(localized("BROWSE"), m_boxGeneral);
    m_txtDir = new QLabel(m_boxGeneral);
    m_txtDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dirRow->addWidget(m_editDir, 1);
    dirRow->addWidget(m_btnDir);
    dirRow->addWidget(m_txtDir, 1);
    general->addLayout(dirRow, 0, 1);
    m_topQueue = new QCheckBox(localized("TASK_CHK_ADD_TOP_QUEUE"), m_boxGeneral);
    general->addWidget(m_topQueue, 1, 1);
    general->setColumnStretch(1, 1);
    layout->addWidget(m_boxGeneral);

    // Content: name, total of the chosen files, the file table.
    auto *boxContent = new QGroupBox(localized("TASK_BOX_CONTENT"), this);
    auto *content = new QGridLayout(boxContent);
    content->addWidget(new QLabel(localized("TASK_NAME"), boxContent), 0, 0);
    m_txtName = new QLabel(boxContent);
    m_txtName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    content->addWidget(m_txtName, 0, 1);
    content->addWidget(new QLabel(localized("TASK_SIZE"), boxContent), 1, 0);
    m_txtSize = new QLabel(boxContent);
    content->addWidget(m_txtSize, 1, 1);
    m_header = CheckBoxHeaderView::makeTable(m_model, boxContent, &m_table);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(TaskFilesModel::ColName, QHeaderView::Stretch);
    m_table->setColumnWidth(TaskFilesModel::ColCheck, 30);
    m_table->setColumnWidth(TaskFilesModel::ColSize, 100);
    content->addWidget(m_table, 2, 0, 1, 2);
    content->setColumnStretch(1, 1);
    layout->addWidget(boxContent, 1);
    layout->addWidget(buttonRow());
    setMinimumSize(560, 440);

    m_menuContent = DCBaseViewController::installColumnMenu(m_table,
        { { TaskFilesModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { TaskFilesModel::ColSize, QT_TRID_NOOP("COL_SIZE") } },
        this);
    connect(m_header, &CheckBoxHeaderView::checkBoxClicked, this,
        &DownloadTaskViewController::onHeaderCheckBox);
    connect(
        m_header, &QHeaderView::sectionClicked, this, &DownloadTaskViewController::onSortClicked);
    connect(m_model, &TaskFilesModel::choiceChanged, this,
        &DownloadTaskViewController::_update_Total_Size);
    connect(m_btnDir, &QPushButton::clicked, this, &DownloadTaskViewController::on_Browse);
    // The folder field and the controller follow each other.
    connect(m_editDir, &QLineEdit::textChanged, m_controller, &NewTaskController::setFolder);
    connect(m_controller, &NewTaskController::folderChanged, this, [this](const QString &folder) {
        if (m_editDir->text() != folder)
            m_editDir->setText(folder);
    });
    connect(m_controller, &NewTaskController::defaultFolderLoaded, this,
        &DownloadTaskViewController::defaultFolderLoaded);
    connect(m_topQueue, &QCheckBox::toggled, m_controller, &NewTaskController::setTopOfQueue);
    connect(m_controller, &NewTaskController::submitted, this, [this](bool ok) {
        if (!ok) {
            emit requestFailed();
            return;
        }
        KSTSheetViewController::on_Ok();
    });

    // The general box by mode.
    if (editMode()) {
        m_topQueue->hide();
        m_editDir->hide();
        m_btnDir->hide();
        m_txtDir->setText(m_controller->taskFolder());
    } else {
        m_txtDir->hide();
        m_topQueue->setVisible(m_controller->canChooseQueuePlace());
    }
    m_table->setEnabled(m_model->rowCount() > 0);
    // A magnet link's files are known only once the NAS has its metadata.
    new EmptyViewHint(m_table, [] { return localized("TASK_FILES_NOT_KNOWN_YET"); });
    m_contentName = m_controller->name();
    setCappedText(m_txtName, m_contentName);
    _update_Total_Size();
}

void DownloadTaskViewController::showEvent(QShowEvent *e)
{
    KSTSheetViewController::showEvent(e);
    loadDefaultFolder();
}

void DownloadTaskViewController::loadDefaultFolder()
{
    m_controller->loadDefaultFolder();
}

void DownloadTaskViewController::_update_Total_Size()
{
    m_header->setChecked(m_model->allChosen());
    m_contentSize = m_controller->totalSizeText();
    m_txtSize->setText(m_contentSize);
    m_table->viewport()->update();
}

void DownloadTaskViewController::onHeaderCheckBox(bool wasChecked)
{
    m_model->chooseAll(!wasChecked);
    m_header->setChecked(!wasChecked && m_model->rowCount() > 0);
}

void DownloadTaskViewController::onSortClicked(int column)
{
    if (column == TaskFilesModel::ColCheck)
        return;
    const bool flip = m_header->sortIndicatorSection() == column && m_header->isSortIndicatorShown()
        && m_header->sortIndicatorOrder() == Qt::AscendingOrder;
    m_header->setSortIndicatorShown(true);
    m_header->setSortIndicator(column, flip ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_sortKey = TaskFilesModel::sortKeyOfColumn(column);
    m_order = flip ? QStringLiteral("desc") : QStringLiteral("asc");
    m_model->sortBy(column, m_order);
}

void DownloadTaskViewController::on_Browse()
{
    ToFolderSelView();
}

void DownloadTaskViewController::ToFolderSelView()
{
    auto *sheet = new FolderSelViewController(m_controller->client());
    QPointer<NewTaskController> controller(m_controller);
    sheet->setCompletion([controller](bool ok, const QVariant &path) {
        if (ok && controller)
            controller->setFolder(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadTaskViewController::on_Ok()
{
    m_controller->submit();
}

} // namespace flk
