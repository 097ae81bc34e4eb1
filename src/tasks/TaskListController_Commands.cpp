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

void TaskListController::runCommand(Pair pair, int mode)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QList<int> rows = selectedRows();
    if (!c || rows.isEmpty())
        return;
    const QString bt = m_model->idStringFromType(rows, QStringLiteral("BT"));
    const QString plain = m_model->idStringFromType(rows, QStringLiteral("HTTP/FTP"));
    const QString all = m_model->idStringFromType(rows, QString());
    m_overlay->run(
        [c, pair, mode, bt, plain, all] {
            // A request whose id list is empty is not sent; the second of a
            // pair goes whatever the first returned.
            Error e;
            switch (pair) {
            case Pair::Start:
                if (!bt.isEmpty())
                    c->start_Torrent(bt, &e);
                if (!plain.isEmpty())
                    c->start_Download(plain, &e);
                break;
            case Pair::Pause:
                if (!bt.isEmpty())
                    c->stop_Torrent(bt, &e);
                if (!plain.isEmpty())
                    c->stop_Download(plain, &e);
                break;
            case Pair::Up:
            case Pair::Down:
                if (!all.isEmpty())
                    c->change_Torrent_Order(
                        all, pair == Pair::Up ? QStringLiteral("up") : QStringLiteral("down"), &e);
                break;
            case Pair::Delete:
                if (!bt.isEmpty())
                    c->remove_Torrent(bt, mode, &e);
                if (!plain.isEmpty())
                    c->remove_Download(plain, mode, &e);
                break;
            }
        },
        [this] { refresh_Items(); });
}

void TaskListController::on_Start_Torrent()
{
    runCommand(Pair::Start);
}

void TaskListController::on_Pause_Torrent()
{
    runCommand(Pair::Pause);
}

void TaskListController::on_Torrent_Up()
{
    runCommand(Pair::Up);
}

void TaskListController::on_Torrent_Down()
{
    runCommand(Pair::Down);
}

void TaskListController::on_Delete_Torrent()
{
    if (selectedRows().isEmpty() || m_overlay->isShowing() || m_loginFailed)
        return;
    emit deleteSheetRequested();
}

void TaskListController::deleteSelected(int mode)
{
    runCommand(Pair::Delete, mode);
}

void TaskListController::on_Edit_Torrent()
{
    // The current row; when it is a plain task (Edit is offered because
    // another selected task is a torrent), the last selected torrent task.
    const auto isTorrent
        = [this](int r) { return r >= 0 && m_model->row(r).type == QLatin1String("BT"); };
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
    const qint64 id = m_model->row(row).idValue;
    const QJsonValue idValue = m_model->row(row).id;
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
