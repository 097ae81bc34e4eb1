// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>

#include <memory>

namespace flk {

class CgiCtrl;
class CommandOverlay;
class TaskFilesModel;

// The new-task dialog without its widgets. New mode (torrentID 0) confirms a
// received torrent with torrent-add: its folder (the NAS default until one
// is chosen), the top of the queue (administrators), and the files not
// wanted. Edit mode (torrentID > 0) changes an existing task's files with
// torrent-set and sends its folder back only as it was read. Requests run
// under the dialog's overlay.
class NewTaskController : public QObject
{
    Q_OBJECT

public:
    NewTaskController(const QJsonObject &torrentInfo, qint64 torrentID,
        std::shared_ptr<CgiCtrl> client, CommandOverlay *overlay, QObject *parent = nullptr);

    bool editMode() const { return m_torrentID > 0; }
    const QJsonObject &torrentInfo() const { return m_torrentInfo; }
    qint64 torrentID() const { return m_torrentID; }
    const std::shared_ptr<CgiCtrl> &client() const { return m_client; }
    TaskFilesModel *files() const { return m_files; }
    QString name() const;
    // Edit mode: the task's folder as the NAS gave it.
    QString taskFolder() const;
    // The total of the chosen files, as shown.
    QString totalSizeText() const;
    // New mode: whether the queue place can be chosen (administrators).
    bool canChooseQueuePlace() const;

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    bool topOfQueue() const { return m_topOfQueue; }
    void setTopOfQueue(bool top) { m_topOfQueue = top; }

    // New mode: the NAS default folder, read once (a folder the user set
    // meanwhile is kept).
    void loadDefaultFolder();
    // How the NAS knows the torrent: its "torrent" handle, else the bare
    // link ("url"), else "undefine".
    QString torrentHandle() const;
    // Sends the dialog; false when nothing was sent (no client, or a request
    // is out already).
    bool submit();

signals:
    void folderChanged(const QString &folder);
    void defaultFolderLoaded();
    // The request's answer: on success the task list is asked to refresh.
    void submitted(bool ok);

private:
    QJsonObject m_torrentInfo;
    qint64 m_torrentID;
    std::shared_ptr<CgiCtrl> m_client;
    QPointer<CommandOverlay> m_overlay;
    TaskFilesModel *m_files;
    QString m_folder;
    bool m_folderEdited = false;
    bool m_folderRequested = false;
    bool m_topOfQueue = false;
};

} // namespace flk
