// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FirstFolderController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"

namespace flk {

FirstFolderController::FirstFolderController(
    std::shared_ptr<CgiCtrl> client, CommandOverlay *overlay, QObject *parent)
    : QObject(parent), m_client(std::move(client)), m_overlay(overlay)
{ }

void FirstFolderController::setFolder(const QString &folder)
{
    if (folder == m_folder)
        return;
    m_folder = folder;
    emit folderChanged(folder);
}

bool FirstFolderController::save()
{
    if (!m_client || !m_overlay || m_overlay->isShowing())
        return false;
    return m_overlay->run(
        [client = m_client, folder = m_folder] {
            Error e;
            return client->set_User_Initial_Preference(folder, &e) && !e.isError();
        },
        [self = QPointer(this)](bool ok) {
            if (self)
                emit self->saved(ok);
        });
}

} // namespace flk
