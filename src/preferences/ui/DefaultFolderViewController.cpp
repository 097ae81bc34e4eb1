// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DefaultFolderViewController.h"

#include "api/Localization.h"
#include "preferences/FirstFolderController.h"
#include "ui/FolderSelViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/Utility.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace flk {

DefaultFolderViewController::DefaultFolderViewController(
    std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : DCBaseViewController(parent)
{
    setWindowTitle(localized("TASK_DEFAULT_DOWNLOAD_DIR"));
    setCtrlCgi(client);
    m_controller = new FirstFolderController(std::move(client), HUD()->commands(), this);
    HUD()->setViewProvider([this] { return Utility::mainView() ? Utility::mainView() : this; });
    auto *layout = new QVBoxLayout(this);
    auto *desc = new QLabel(localized("TXT_DEFAULT_FOLDER_DESC"), this);
    desc->setWordWrap(true);
    layout->addWidget(desc);
    auto *row = new QHBoxLayout;
    m_field = new QLineEdit(this);
    m_field->setReadOnly(true);
    m_btnBrowse = new QPushButton(localized("BROWSE"), this);
    row->addWidget(m_field, 1);
    row->addWidget(m_btnBrowse);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    setMinimumWidth(440);
    auto show = [this](const QString &folder) {
        m_field->setText(folder);
        setResultObject(folder);
    };
    show(m_controller->folder());
    connect(m_controller, &FirstFolderController::folderChanged, this, show);
    connect(m_controller, &FirstFolderController::saved, this, [this](bool ok) {
        if (ok)
            DCBaseViewController::on_Ok();
        else
            emit saveFailed();
    });
    connect(
        m_btnBrowse, &QPushButton::clicked, this, &DefaultFolderViewController::on_Browse_Folder);
}

QString DefaultFolderViewController::defaultFolder() const
{
    return m_controller->folder();
}

void DefaultFolderViewController::setDefaultFolder(const QString &folder)
{
    m_controller->setFolder(folder);
}

void DefaultFolderViewController::on_Browse_Folder()
{
    ToFolderSelView();
}

void DefaultFolderViewController::ToFolderSelView()
{
    auto *sheet = new FolderSelViewController(m_controller->client());
    QPointer<DefaultFolderViewController> self(this);
    sheet->setCompletion([self](bool ok, const QVariant &path) {
        if (ok && self)
            self->setDefaultFolder(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DefaultFolderViewController::on_Ok()
{
    m_controller->save();
}

} // namespace flk
