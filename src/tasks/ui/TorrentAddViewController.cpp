// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TorrentAddViewController.h"

#include "models/TaskLinks.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "tasks/NasDefaultFolder.h"
#include "ui/FolderSelViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/Utility.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace flk {

namespace {
// Hides what the add sheet's file chooser must not offer.
class TorrentFileFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        auto *fs = qobject_cast<QFileSystemModel *>(sourceModel());
        if (!fs)
            return true;
        return TorrentAddViewController::shouldEnableURL(fs->fileInfo(fs->index(row, 0, parent)));
    }
};

QLineEdit *readOnlyField(QWidget *parent)
{
    auto *f = new QLineEdit(parent);
    f->setReadOnly(true);
    return f;
}
} // namespace

TorrentAddViewController::TorrentAddViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : KSTSheetViewController(parent),
      m_client(std::move(client)),
      m_hud(new KSTProgressHUDHelper(this))
{
    m_hud->setViewProvider([this] { return this; });
    setWindowTitle(localized("TOOL_TIP_ADD"));
    auto *layout = new QVBoxLayout(this);
    auto *modes = new QHBoxLayout;
    m_byTorrent = new QRadioButton(localized("ADD_RDO_BY_TORRENT"), this);
    m_byLink = new QRadioButton(localized("ADD_RDO_BY_LNIK"), this);
    auto *group = new QButtonGroup(this);
    group->addButton(m_byTorrent, 0);
    group->addButton(m_byLink, 1);
    modes->addWidget(m_byTorrent);
    modes->addWidget(m_byLink);
    modes->addStretch();
    layout->addLayout(modes);
    m_tabs = new QStackedWidget(this);
    m_tabs->addWidget(buildTorrentPage());
    m_tabs->addWidget(buildLinkPage());
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttonRow());
    setMinimumSize(560, 420);

    m_byTorrent->setChecked(true);
    connect(m_byTorrent, &QRadioButton::clicked, this, &TorrentAddViewController::on_By_Torrent);
    connect(m_byLink, &QRadioButton::clicked, this, &TorrentAddViewController::on_By_Link);
    on_Check_Authentication();
    textDidChange();
}

QWidget *TorrentAddViewController::buildTorrentPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    auto *files = new QHBoxLayout;
    m_browseLabel = new QLabel(page);
    auto *browse = new QPushButton(localized("BROWSE"), page);
    files->addWidget(m_browseLabel, 1);
    files->addWidget(browse);
    form->addRow(localized("ADD_TXT_BROWSE_FILE"), files);
    m_dialogFile = new QCheckBox(localized("ADD_CHK_SHOW_TASK_DIALOG"), page);
    m_dialogFile->setChecked(true);
    form->addRow(QString(), m_dialogFile);
    auto *folder = new QHBoxLayout;
    m_folderFile = readOnlyField(page);
    auto *browseFolder = new QPushButton(localized("BROWSE"), page);
    folder->addWidget(m_folderFile, 1);
    folder->addWidget(browseFolder);
    form->addRow(localized("ADD_TXT_SAVE_FILE"), folder);
    auto *tips
        = new QLabel(stringWithKSTFormat(localized("ADD_TXT_TIPS"), { localized("BROWSE") }), page);
    tips->setWordWrap(true);
    tips->setEnabled(false);
    form->addRow(QString(), tips);
    connect(browse, &QPushButton::clicked, this, &TorrentAddViewController::on_Browse_File);
    connect(
        browseFolder, &QPushButton::clicked, this, &TorrentAddViewController::on_Browse_Save_File);
    return page;
}

QWidget *TorrentAddViewController::buildLinkPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    v->addWidget(new QLabel(localized("ADD_TXT_LINK"), page));
    m_links = new QPlainTextEdit(page);
    m_links->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_links->setPlaceholderText(
        QStringLiteral("magnet:?xt=urn:btih:…\nhttps://example.org/file.iso"));
    v->addWidget(m_links, 1);
    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel(localized("ADD_TXT_VALID_LINK"), page));
    m_validNum = new QLabel(page);
    count->addWidget(m_validNum);
    count->addStretch();
    v->addLayout(count);
    m_translate = new QCheckBox(localized("ADD_CHK_AUTO_TRANSLATE"), page);
    m_translate->setChecked(true);
    v->addWidget(m_translate);
    m_dialogLink = new QCheckBox(localized("ADD_CHK_SHOW_TASK_DIALOG"), page);
    m_dialogLink->setChecked(true);
    v->addWidget(m_dialogLink);
    m_auth = new QCheckBox(localized("ADD_CHK_AUTHENTICATION"), page);
    v->addWidget(m_auth);
    auto *form = new QFormLayout;
    m_account = new QLineEdit(page);
    m_password = new QLineEdit(page);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(localized("ADD_TXT_ACCOUNT"), m_account);
    form->addRow(localized("ADD_TXT_PASSWORD"), m_password);
    auto *folder = new QHBoxLayout;
    m_folderLink = readOnlyField(page);
    auto *browseFolder = new QPushButton(localized("BROWSE"), page);
    folder->addWidget(m_folderLink, 1);
    folder->addWidget(browseFolder);
    form->addRow(localized("ADD_TXT_SAVE_FILE"), folder);
    v->addLayout(form);
    connect(m_links, &QPlainTextEdit::textChanged, this, &TorrentAddViewController::textDidChange);
    connect(m_auth, &QCheckBox::toggled, this, &TorrentAddViewController::on_Check_Authentication);
    connect(
        browseFolder, &QPushButton::clicked, this, &TorrentAddViewController::on_Browse_Save_File);
    return page;
}

void TorrentAddViewController::showEvent(QShowEvent *e)
{
    KSTSheetViewController::showEvent(e);
    if (!m_loaded)
        loadDefaultFolders();
}

void TorrentAddViewController::loadDefaultFolders()
{
    m_loaded = true;
    fetchNasDefaultFolder(m_hud->commands(), m_client, [this](const QString &folder) {
        m_saveFolderForTorrentFile = m_saveFolderForTorrentLink = folder;
        m_folderFile->setText(folder);
        m_folderLink->setText(folder);
        emit defaultFoldersLoaded();
    });
}

void TorrentAddViewController::on_By_Torrent()
{
    m_addMode = 0;
    m_byTorrent->setChecked(true);
    m_tabs->setCurrentIndex(0);
    // Each mode keeps its own input: switching back finds the files again.
    m_aryItems = m_files;
}

void TorrentAddViewController::on_By_Link()
{
    m_addMode = 1;
    m_byLink->setChecked(true);
    m_tabs->setCurrentIndex(1);
    textDidChange();
}

bool TorrentAddViewController::shouldEnableURL(const QFileInfo &info)
{
    return TaskLinks::shouldEnableURL(info);
}

void TorrentAddViewController::on_Browse_File()
{
    auto *dialog = new QFileDialog(this, localized("ADD_RDO_BY_TORRENT"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    // The exact-extension rule needs the dialog's own file list.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new TorrentFileFilter(dialog));
    QPointer<TorrentAddViewController> self(this);
    connect(dialog, &QFileDialog::filesSelected, this, [self](const QStringList &paths) {
        if (self)
            self->setChosenFiles(paths);
    });
    dialog->open();
}

void TorrentAddViewController::setChosenFiles(const QStringList &paths)
{
    QStringList chosen;
    for (const QString &p : paths) {
        const QFileInfo info(p);
        if (info.isFile() && shouldEnableURL(info))
            chosen << p;
    }
    if (chosen.isEmpty())
        return;
    m_files = chosen;
    if (m_addMode == 0)
        m_aryItems = chosen;
    m_browseFiles = stringWithKSTFormat(
        localized("ADD_TXT_SEL_TORRENTS"), { QString::number(qlonglong(chosen.size())) });
    m_browseLabel->setText(m_browseFiles);
    m_browseLabel->setToolTip(chosen.join(QLatin1Char('\n')));
}

void TorrentAddViewController::on_Browse_Save_File()
{
    auto *sheet = new FolderSelViewController(m_client);
    QPointer<TorrentAddViewController> self(this);
    sheet->setCompletion([self](bool ok, const QVariant &path) {
        if (ok && self)
            self->setSaveFolder(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void TorrentAddViewController::setSaveFolder(const QString &folder)
{
    if (m_addMode == 1) {
        m_saveFolderForTorrentLink = folder;
        m_folderLink->setText(folder);
    } else {
        m_saveFolderForTorrentFile = folder;
        m_folderFile->setText(folder);
    }
}

void TorrentAddViewController::on_Check_Authentication()
{
    const bool on = m_auth->isChecked();
    m_account->setEnabled(on);
    m_password->setEnabled(on);
}

bool TorrentAddViewController::isValidLink(const QString &line)
{
    return TaskLinks::isValidLink(line);
}

void TorrentAddViewController::textDidChange()
{
    const QStringList lines = m_links->toPlainText().split(QLatin1Char('\n'));
    int valid = 0;
    for (const QString &line : lines)
        valid += isValidLink(line) ? 1 : 0;
    if (m_addMode == 1)
        m_aryItems = lines;
    m_validLinks = valid;
    m_validNum->setText(QString::number(valid));
}

void TorrentAddViewController::fail(const char *key)
{
    emit inputError(QString::fromLatin1(key));
    QWidget *over = Utility::mainView() ? Utility::mainView() : window();
    Utility::showAlert(over, Utility::Warning, localized("ERROR"), localized(key), QString(),
        localized("OK"), std::function<void(bool)>());
}

void TorrentAddViewController::on_Ok()
{
    if (m_hud->isShowing())
        return;
    QVariantMap result;
    if (m_addMode == 0) {
        m_aryItems = m_files;
        if (m_aryItems.isEmpty())
            return fail(QT_TRID_NOOP("ERROR_TORRENT_FILE_EMPTY"));
        if (m_saveFolderForTorrentFile.isEmpty())
            return fail(QT_TRID_NOOP("ERROR_DEST_DIR_EMPTY"));
        result = { { QStringLiteral("items"), m_aryItems },
            { QStringLiteral("show_dialog_enabled"), m_dialogFile->isChecked() ? 1 : 0 },
            { QStringLiteral("save_to"), m_saveFolderForTorrentFile } };
    } else {
        textDidChange();
        if (m_validLinks == 0)
            return fail(QT_TRID_NOOP("ERROR_NO_VALID_LINK"));
        if (m_saveFolderForTorrentLink.isEmpty())
            return fail(QT_TRID_NOOP("ERROR_DEST_DIR_EMPTY"));
        if (m_auth->isChecked() && (m_account->text().isEmpty() || m_password->text().isEmpty()))
            return fail(QT_TRID_NOOP("ERROR_AUTH_USER_PWD_EMPTY"));
        result = { { QStringLiteral("items"), m_aryItems },
            { QStringLiteral("show_dialog_enabled"), m_dialogLink->isChecked() ? 1 : 0 },
            { QStringLiteral("save_to"), m_saveFolderForTorrentLink },
            { QStringLiteral("auto_torrent_enabled"), m_translate->isChecked() ? 1 : 0 },
            { QStringLiteral("auth_enabled"), m_auth->isChecked() ? 1 : 0 },
            { QStringLiteral("auth_account"), m_account->text() },
            { QStringLiteral("auth_password"), m_password->text() } };
    }
    setResultObject(result);
    KSTSheetViewController::on_Ok();
}

} // namespace flk
