// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FolderCreateViewController.h"

#include "api/Localization.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace flk {

FolderCreateViewController::FolderCreateViewController(QWidget *parent)
    : KSTSheetViewController(parent), m_field(new QLineEdit(this))
{
    setWindowTitle(localized("BTN_CREATE_FOLDER"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(localized("TXT_NEW_NAME"), this));
    layout->addWidget(m_field);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    setMinimumWidth(340);
    connect(m_field, &QLineEdit::textChanged, this, &FolderCreateViewController::setFolderName);
    setFolderName(QString());
}

void FolderCreateViewController::setFolderName(const QString &name)
{
    m_folderName = name;
    if (m_field->text() != name)
        m_field->setText(name);
    setResultObject(name);
    btnOk()->setEnabled(!name.isEmpty());
}

} // namespace flk
