// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The task list's commands: start, pause, move, delete and edit of the
// selected tasks, each as the NAS's request pair.
#include "TaskListController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/Work.h"

#include <QAction>
#include <QItemSelectionModel>

namespace flk {

// ---- commands -----------------------------------------------------------------

void TaskListController::runCommand(TaskCommands::Command command, int mode)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QList<int> rows = selectedRows();
    if (!c || rows.isEmpty())
        return;
    const TaskCommands::Ids ids { m_model->idStringFromType(rows, QStringLiteral("BT")),
        m_model->idStringFromType(rows, QStringLiteral("HTTP/FTP")),
        m_model->idStringFromType(rows, QString()) };
    m_overlay->run([c, command, mode, ids] { TaskCommands::send(c.get(), command, ids, mode); },
        [this] { refresh_Items(); });
}

void TaskListController::on_Start_Torrent()
{
    runCommand(TaskCommands::Command::Start);
}

void TaskListController::on_Pause_Torrent()
{
    runCommand(TaskCommands::Command::Pause);
}

void TaskListController::on_Torrent_Up()
{
    runCommand(TaskCommands::Command::Up);
}

void TaskListController::on_Torrent_Down()
{
    runCommand(TaskCommands::Command::Down);
}

void TaskListController::on_Delete_Torrent()
{
    if (selectedRows().isEmpty() || m_overlay->isShowing() || m_loginFailed)
        return;
    emit deleteSheetRequested();
}

void TaskListController::deleteSelected(int mode)
{
    runCommand(TaskCommands::Command::Delete, mode);
}

void TaskListController::on_Edit_Torrent()
{
    // The current row; when it is a plain task (Edit is offered because
    // another selected task is a torrent), the last selected torrent task.
    const auto isTorrent
        = [this](int r) { return r >= 0 && m_model->row(r)->type == QLatin1String("BT"); };
    int row = currentTaskRow();
    if (!isTorrent(row)) {
        row = -1;
        for (int r : selectedRows())
            if (isTorrent(r))
                row = r;
    }
    const std::shared_ptr<CgiCtrl> c = client();
    if (row < 0 || !c)
        return;
    const qint64 id = m_model->row(row)->idValue;
    const QJsonValue idValue = m_model->row(row)->id;
    m_overlay->run(
        [c, id]() -> CgiCtrl::Reply {
            Error e;
            CgiCtrl::Reply reply
                = c->get_Torrent_Info(id, QStringLiteral("file_id"), QStringLiteral("asc"), &e);
            return e.isError() ? std::nullopt : reply;
        },
        [this, idValue](CgiCtrl::Reply reply) {
            if (reply)
                ToTaskView({ { QStringLiteral("torrent"), QVariant(*reply) },
                    { QStringLiteral("id"), idValue.toVariant() } });
        });
}

void TaskListController::on_Preference()
{
    emit preferenceSheetRequested();
}

} // namespace flk
