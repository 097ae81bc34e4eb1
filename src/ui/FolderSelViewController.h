// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "KSTSheetViewController.h"

#include <QPersistentModelIndex>

#include <functional>
#include <memory>

class QTreeView;

namespace flk {

class CgiCtrl;
class FolderTreeModel;

// Picks a destination folder on the NAS. The tree is read level by level:
// the shared folders when the sheet opens, a folder's subfolders each time it
// is opened. Requests run off the GUI thread; a failed listing shows an
// empty level. The result object is the chosen folder's path.
class FolderSelViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit FolderSelViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    QTreeView *outlineView() const { return m_outline; }
    FolderTreeModel *model() const { return m_model; }
    QPushButton *btnCreateFolder() const { return m_btnCreate; }

    // Reads the top level (also run when the sheet is built).
    void loadRoot();
    void on_Click_Folder();
    void on_Create_Folder();
    void ToFolderCreateView();
    // Creates name under the selected folder and selects the new folder;
    // done(ok) once the NAS answered.
    void createFolder(const QString &name, std::function<void(bool)> done = {});

signals:
    // A level has been read (or failed) and shown.
    void levelLoaded(const QString &folderId);

private:
    // Reads the subfolders of folder (the top level when invalid), then runs then.
    void loadChildren(const QPersistentModelIndex &folder, std::function<void()> then = {});

    std::shared_ptr<CgiCtrl> m_client;
    FolderTreeModel *m_model;
    QTreeView *m_outline;
    QPushButton *m_btnCreate;
    bool m_expandingForCreate = false;
};

} // namespace flk
