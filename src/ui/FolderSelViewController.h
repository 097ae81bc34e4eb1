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
class FolderChooser;
class FolderTreeModel;

// Picks a destination folder on the NAS: draws a FolderChooser (the tree
// read level by level, the choice, a new folder) and forwards to it. The
// result object is the chosen folder's path.
class FolderSelViewController : public KSTSheetViewController
{
    Q_OBJECT

public:
    explicit FolderSelViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    QTreeView *outlineView() const { return m_outline; }
    FolderChooser *chooser() const { return m_chooser; }
    FolderTreeModel *model() const;
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
    FolderChooser *m_chooser;
    QTreeView *m_outline;
    QPushButton *m_btnCreate;
    bool m_expandingForCreate = false;
};

} // namespace flk
