// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DefaultFolderViewController.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
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
    : DCBaseViewController(parent), m_client(std::move(client))
{
    setWindowTitle(localized("TASK_DEFAULT_DOWNLOAD_DIR"));
    setCtrlCgi(m_client);
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
    setDefaultFolder(QStringLiteral("/Download"));
    connect(
        m_btnBrowse, &QPushButton::clicked, this, &DefaultFolderViewController::on_Browse_Folder);
}

void DefaultFolderViewController::setDefaultFolder(const QString &folder)
{
    m_defaultFolder = folder;
    m_field->setText(folder);
    setResultObject(folder);
}

void DefaultFolderViewController::on_Browse_Folder()
{
    ToFolderSelView();
}

void DefaultFolderViewController::ToFolderSelView()
{
    auto *sheet = new FolderSelViewController(m_client);
    QPointer<DefaultFolderViewController> self(this);
    sheet->setCompletion([self](bool ok, const QVariant &path) {
        if (ok && self)
            self->setDefaultFolder(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DefaultFolderViewController::on_Ok()
{
    if (!m_client || HUD()->isShowing())
        return;
    const QString folder = m_defaultFolder;
    std::shared_ptr<CgiCtrl> client = m_client;
    HUD()->commands()->run(
        [client, folder] {
            Error e;
            return client->set_User_Initial_Preference(folder, &e) && !e.isError();
        },
        [this](bool saved) {
            if (saved)
                DCBaseViewController::on_Ok();
            else
                emit saveFailed();
        });
}

} // namespace flk
