// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DownloadTaskViewController.h"

#include "ui/TextCapping.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/SaveRule.h"
#include "tasks/NasDefaultFolder.h"
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
    : KSTSheetViewController(parent),
      m_torrentInfo(torrentInfo),
      m_torrentID(torrentID),
      m_client(std::move(client)),
      m_model(new TaskFilesModel(this)),
      m_hud(new KSTProgressHUDHelper(this))
{
    m_hud->setViewProvider([this] { return this; });
    setWindowTitle(json::stringValue(torrentInfo, u"name"));
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

    // Preparing: the files and their choice, then the general box by mode.
    m_model->setFiles(json::arrayValue(torrentInfo, u"files"), editMode());
    if (editMode()) {
        m_topQueue->hide();
        m_editDir->hide();
        m_btnDir->hide();
        m_txtDir->setText(json::stringValue(torrentInfo, u"download_dir"));
    } else {
        m_txtDir->hide();
        m_topQueue->setVisible(m_client && m_client->administrator());
    }
    m_table->setEnabled(m_model->rowCount() > 0);
    // A magnet link's files are known only once the NAS has its metadata.
    new EmptyViewHint(m_table, [] { return localized("TASK_FILES_NOT_KNOWN_YET"); });
    m_contentName = json::stringValue(torrentInfo, u"name");
    setCappedText(m_txtName, m_contentName);
    _update_Total_Size();
}

void DownloadTaskViewController::showEvent(QShowEvent *e)
{
    KSTSheetViewController::showEvent(e);
    if (!editMode() && !m_folderRequested)
        loadDefaultFolder();
}

void DownloadTaskViewController::loadDefaultFolder()
{
    m_folderRequested = true;
    fetchNasDefaultFolder(m_hud->commands(), m_client, [this](const QString &folder) {
        m_editDir->setText(folder);
        emit defaultFolderLoaded();
    });
}

void DownloadTaskViewController::_update_Total_Size()
{
    m_header->setChecked(m_model->allChosen());
    m_contentSize = TaskFilesModel::formatTotalSize(m_model->chosenBytes());
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
    auto *sheet = new FolderSelViewController(m_client);
    QPointer<DownloadTaskViewController> self(this);
    sheet->setCompletion([self](bool ok, const QVariant &path) {
        if (ok && self)
            self->m_editDir->setText(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadTaskViewController::on_Ok()
{
    if (!m_client || m_hud->isShowing())
        return;
    const QString wanted = m_model->wantedList();
    const QString unwanted = m_model->unwantedList();
    const bool edit = editMode();
    const qint64 id = m_torrentID;
    // Edit mode sends the task's folder back only as it was read.
    const QJsonValue readDir = m_torrentInfo.value(QLatin1String("download_dir"));
    QString dir = edit ? QString() : m_editDir->text();
    if (edit && saverule::isText(readDir))
        dir = readDir.toString().isNull() ? QString::fromLatin1("") : readDir.toString();
    const bool top = m_topQueue->isChecked();
    QString torrent = json::stringValue(m_torrentInfo, u"torrent");
    if (!m_torrentInfo.contains(QLatin1String("torrent")))
        torrent = m_torrentInfo.contains(QLatin1String("url"))
            ? json::stringValue(m_torrentInfo, u"url")
            : QStringLiteral("undefine");
    std::shared_ptr<CgiCtrl> client = m_client;
    m_hud->commands()->run(
        [=] {
            Error e;
            return edit ? client->set_Torrent(QString::number(id), dir, wanted, unwanted, &e)
                        : client->add_Torrent(torrent, dir, top, unwanted, &e);
        },
        [this](bool ok) {
            if (!ok) {
                emit requestFailed();
                return;
            }
            NotificationCenter::defaultCenter()->post(
                QString::fromLatin1(kNOTIFY_DOWNLOAD_REFRESH_ITEMS), nullptr, {});
            KSTSheetViewController::on_Ok();
        });
}

} // namespace flk
