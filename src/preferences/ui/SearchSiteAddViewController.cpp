// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchSiteAddViewController.h"

#include "api/Localization.h"
#include "preferences/SearchSiteAccountController.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

namespace flk {

namespace {
// The chooser's rule on its own list: folders, and files ending in ".dlm".
class PluginFileFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        auto *fs = qobject_cast<QFileSystemModel *>(sourceModel());
        if (!fs)
            return true;
        return SearchSiteAccountController::acceptsPluginFile(
            fs->fileInfo(fs->index(row, 0, parent)));
    }
};
} // namespace

SearchSiteAddViewController::SearchSiteAddViewController(QWidget *parent)
    : DCBaseViewController(parent)
{
    setWindowTitle(localized("TOOL_TIP_ADD"));
    auto *layout = new QVBoxLayout(this);
    auto *desc = new QLabel(localized("PREFER_ADD_SEARCH_SITE_DESC"), this);
    desc->setWordWrap(true);
    layout->addWidget(desc);
    auto *row = new QHBoxLayout;
    m_edit = new QLineEdit(this);
    m_edit->setReadOnly(true);
    m_edit->setMinimumWidth(320);
    m_btnBrowse = new QPushButton(localized("BROWSE"), this);
    row->addWidget(m_edit, 1);
    row->addWidget(m_btnBrowse);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    btnOk()->setEnabled(false);
    connect(m_btnBrowse, &QPushButton::clicked, this, &SearchSiteAddViewController::on_Browse);
}

void SearchSiteAddViewController::on_Browse()
{
    auto *dialog = new QFileDialog(this, localized("PREFER_ADD_SEARCH_SITE_DESC"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // The exact-extension rule needs the dialog's own file list.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new PluginFileFilter(dialog));
    dialog->setNameFilter(localized("PLUGIN_FILE_FILTER"));
    dialog->setDirectory(QDir::homePath());
    QPointer<SearchSiteAddViewController> self(this);
    connect(dialog, &QFileDialog::fileSelected, this, [self](const QString &path) {
        if (self)
            self->setChosenFile(path);
    });
    dialog->open();
    emit fileDialogOpened(dialog);
}

void SearchSiteAddViewController::setChosenFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !SearchSiteAccountController::acceptsPluginFile(info))
        return;
    m_path = info.absoluteFilePath();
    m_edit->setText(m_path);
    setResultObject(m_path);
    btnOk()->setEnabled(true);
}

} // namespace flk
