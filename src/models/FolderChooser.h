// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>
#include <memory>

namespace flk {

class CgiCtrl;
class FolderTreeModel;

// The folder chooser without its widgets: the NAS's folder tree read level
// by level (the shared folders first, a folder's subfolders each time it is
// opened), the chosen folder, and a new folder made inside it. Requests run
// off the GUI thread; a failed listing shows an empty level.
class FolderChooser : public QObject
{
    Q_OBJECT

public:
    explicit FolderChooser(std::shared_ptr<CgiCtrl> client, QObject *parent = nullptr);

    FolderTreeModel *model() const { return m_model; }
    const std::shared_ptr<CgiCtrl> &client() const { return m_client; }

    void loadRoot();
    // Reads the subfolders of folder (the top level when invalid), then
    // runs then.
    void loadChildren(const QPersistentModelIndex &folder, std::function<void()> then = {});

    // The chosen folder (none when invalid); its path is the result.
    void choose(const QModelIndex &folder);
    bool hasChoice() const { return m_chosen.isValid(); }
    QString chosenPath() const;

    // Makes name inside the chosen folder; done(ok) once the NAS answered.
    // On success the chosen folder is read again (aboutToReread lets a view
    // open it first) and the new folder is announced by folderCreated.
    void createFolder(const QString &name, std::function<void(bool)> done = {});

signals:
    // A level has been read (or failed) and shown.
    void levelLoaded(const QString &folderId);
    void choiceChanged();
    void aboutToReread(const QModelIndex &folder);
    void folderCreated(const QModelIndex &created);

private:
    std::shared_ptr<CgiCtrl> m_client;
    FolderTreeModel *m_model;
    QPersistentModelIndex m_chosen;
};

} // namespace flk
