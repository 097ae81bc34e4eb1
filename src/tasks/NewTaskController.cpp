// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NewTaskController.h"

#include "NasDefaultFolder.h"
#include "TaskFilesModel.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/SaveRule.h"

namespace flk {

NewTaskController::NewTaskController(const QJsonObject &torrentInfo, qint64 torrentID,
    std::shared_ptr<CgiCtrl> client, CommandOverlay *overlay, QObject *parent)
    : QObject(parent),
      m_torrentInfo(torrentInfo),
      m_torrentID(torrentID),
      m_client(std::move(client)),
      m_overlay(overlay),
      m_files(new TaskFilesModel(this))
{
    m_files->setFiles(json::arrayValue(torrentInfo, u"files"), editMode());
}

QString NewTaskController::name() const
{
    return json::stringValue(m_torrentInfo, u"name");
}

QString NewTaskController::taskFolder() const
{
    return json::stringValue(m_torrentInfo, u"download_dir");
}

QString NewTaskController::totalSizeText() const
{
    return TaskFilesModel::formatTotalSize(m_files->chosenBytes());
}

bool NewTaskController::canChooseQueuePlace() const
{
    return !editMode() && m_client && m_client->administrator();
}

void NewTaskController::setFolder(const QString &folder)
{
    m_folderEdited = true;
    if (folder == m_folder)
        return;
    m_folder = folder;
    emit folderChanged(folder);
}

void NewTaskController::loadDefaultFolder()
{
    if (editMode() || m_folderRequested || !m_overlay)
        return;
    m_folderRequested = true;
    fetchNasDefaultFolder(m_overlay, m_client, [self = QPointer(this)](const QString &folder) {
        if (!self)
            return;
        if (!self->m_folderEdited && folder != self->m_folder) {
            self->m_folder = folder;
            emit self->folderChanged(folder);
        }
        emit self->defaultFolderLoaded();
    });
}

QString NewTaskController::torrentHandle() const
{
    if (m_torrentInfo.contains(QLatin1String("torrent")))
        return json::stringValue(m_torrentInfo, u"torrent");
    if (m_torrentInfo.contains(QLatin1String("url")))
        return json::stringValue(m_torrentInfo, u"url");
    return QStringLiteral("undefine");
}

bool NewTaskController::submit()
{
    if (!m_client || !m_overlay || m_overlay->isShowing())
        return false;
    const QString wanted = m_files->wantedList();
    const QString unwanted = m_files->unwantedList();
    const bool edit = editMode();
    const qint64 id = m_torrentID;
    // Edit mode sends the task's folder back only as it was read.
    const QJsonValue readDir = m_torrentInfo.value(QLatin1String("download_dir"));
    QString dir = edit ? QString() : m_folder;
    if (edit && saverule::isText(readDir))
        dir = readDir.toString().isNull() ? QString::fromLatin1("") : readDir.toString();
    const bool top = canChooseQueuePlace() && m_topOfQueue;
    const QString torrent = torrentHandle();
    std::shared_ptr<CgiCtrl> client = m_client;
    return m_overlay->run(
        [=] {
            Error e;
            return edit ? client->set_Torrent(QString::number(id), dir, wanted, unwanted, &e)
                        : client->add_Torrent(torrent, dir, top, unwanted, &e);
        },
        [self = QPointer(this)](bool ok) {
            if (ok)
                NotificationCenter::defaultCenter()->post(
                    QString::fromLatin1(kNOTIFY_DOWNLOAD_REFRESH_ITEMS), nullptr, {});
            if (self)
                emit self->submitted(ok);
        });
}

} // namespace flk
