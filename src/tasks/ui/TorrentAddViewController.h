// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/KSTSheetViewController.h"

#include <QFileInfo>
#include <QStringList>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;

namespace flk {

class CgiCtrl;
class KSTProgressHUDHelper;

// The add sheet: torrent files from this computer, or a list of links. It
// only collects and checks the input; the task list sends it.
class TorrentAddViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit TorrentAddViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    uint addMode() const { return m_addMode; } // 0 torrent files, 1 links
    const QStringList &aryItems() const { return m_aryItems; }
    QString browseFiles() const { return m_browseFiles; }
    QString saveFolderForTorrentFile() const { return m_saveFolderForTorrentFile; }
    QString saveFolderForTorrentLink() const { return m_saveFolderForTorrentLink; }

    void on_By_Torrent();
    void on_By_Link();
    void on_Browse_File();
    // The file chooser's confirmation: paths it allows become the items.
    void setChosenFiles(const QStringList &paths);
    void on_Browse_Save_File();
    void setSaveFolder(const QString &folder);
    void on_Check_Authentication();
    void textDidChange();
    void on_Ok() override;
    // Loads the NAS default folder into both destinations (run once shown).
    void loadDefaultFolders();

    // A line counts when its lower-case form starts with a known scheme
    // (checked before any trimming).
    static bool isValidLink(const QString &line);
    // The file chooser's rule: folders open, files only with the exact
    // extension "torrent".
    static bool shouldEnableURL(const QFileInfo &info);
    int validLinkCount() const { return m_validLinks; }

    QRadioButton *btnByTorrent() const { return m_byTorrent; }
    QRadioButton *btnByLink() const { return m_byLink; }
    QStackedWidget *tabView() const { return m_tabs; }
    QPlainTextEdit *tvLink() const { return m_links; }
    QLabel *txtValidLinkNum() const { return m_validNum; }
    QCheckBox *chkShowTaskDialogForTorrentFile() const { return m_dialogFile; }
    QCheckBox *chkShowTaskDialogForTorrentLink() const { return m_dialogLink; }
    QCheckBox *chkAutoTranslate() const { return m_translate; }
    QCheckBox *chkAuth() const { return m_auth; }
    QLineEdit *editAccount() const { return m_account; }
    QLineEdit *editPwd() const { return m_password; }
    QLabel *browseFilesLabel() const { return m_browseLabel; }
    QLineEdit *saveFolderField(int mode) const { return mode ? m_folderLink : m_folderFile; }

signals:
    void defaultFoldersLoaded();
    // An input error (its text key), shown as an alert.
    void inputError(const QString &key);

protected:
    void showEvent(QShowEvent *e) override;

private:
    uint m_addMode = 0;
    QStringList m_aryItems;
    QString m_browseFiles;
    QString m_saveFolderForTorrentFile, m_saveFolderForTorrentLink;

    QWidget *buildTorrentPage();
    QWidget *buildLinkPage();
    void fail(const char *key);

    std::shared_ptr<CgiCtrl> m_client;
    KSTProgressHUDHelper *m_hud;
    QRadioButton *m_byTorrent, *m_byLink;
    QStackedWidget *m_tabs;
    QLabel *m_browseLabel, *m_validNum;
    QPlainTextEdit *m_links;
    QCheckBox *m_dialogFile, *m_dialogLink, *m_translate, *m_auth;
    QLineEdit *m_account, *m_password, *m_folderFile, *m_folderLink;
    QStringList m_files; // the chosen torrent files
    int m_validLinks = 0;
    bool m_loaded = false;
};

} // namespace flk
