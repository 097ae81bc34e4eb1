// The task list's detail tabs, tracker commands and the Edit command.
#include "DownloadViewController.h"

#include "TaskDetailsView.h"
#include "TorrentTrackerAddViewController.h"
#include "api/CgiCtrl.h"
#include "api/WorkQueue.h"
#include "app/KSTProgressHUDHelper.h"
#include "app/Utility.h"

#include <QCoreApplication>
#include <QTableView>
#include <QThreadPool>

namespace flk {

int DownloadViewController::currentTaskRow() const
{
    const QItemSelectionModel *sm = tableView()->selectionModel();
    const QModelIndex current = sm->currentIndex();
    if (current.isValid() && sm->isRowSelected(current.row(), {}))
        return current.row();
    // The current index may sit outside the selection after a refresh:
    // the last selected row stands in for it.
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.last();
}

void DownloadViewController::_refresh_Contents()
{
    // One details request at a time; a change meanwhile asks again after it.
    if (m_detailsInFlight) {
        m_detailsPending = true;
        return;
    }
    m_detailsPending = false;
    const int row = currentTaskRow();
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    if (row < 0 || m_model->row(row).type != QLatin1String("BT") || !client) {
        m_details->showEmpty();
        emit detailsApplied();
        return;
    }
    const QString key = m_model->row(row).key();
    const qint64 id = m_model->row(row).idValue;
    const QString sortContent = sortKeyContent, ordContent = orderContent;
    const QString sortTracker = sortKeyTracker, ordTracker = orderTracker;
    m_detailsInFlight = true;
    QPointer<DownloadViewController> self(this);
    backgroundQueue()->start([self, handle, client, key, id, sortContent, ordContent, sortTracker,
                                 ordTracker] {
        Error e;
        const CgiCtrl::Reply reply = client->get_Torrent_Info(id, sortContent, ordContent, &e);
        std::optional<TaskDetails> details;
        if (reply && !e.isError())
            details = TaskDetails::decode(*reply, sortTracker, ordTracker, client);
        QMetaObject::invokeMethod(
            qApp,
            [self, &details, &key] {
                if (!self)
                    return;
                self->m_detailsInFlight = false;
                const int current = self->currentTaskRow();
                // Superseded: the selection moved on while this was out.
                if (self->m_detailsPending || current < 0
                    || self->m_model->row(current).key() != key) {
                    self->_refresh_Contents();
                    return;
                }
                if (details)
                    self->m_details->showDetails(*details, self->m_details->selectedTrackerIds());
                else
                    self->m_details->showEmpty();
                emit self->detailsApplied();
            },
            Qt::BlockingQueuedConnection);
    });
}

void DownloadViewController::on_Add_Tracker()
{
    const int row = currentTaskRow();
    if (row < 0 || m_model->row(row).type != QLatin1String("BT") || HUD()->isShowing())
        return;
    ToTrackerAddView({ { QStringLiteral("id"), m_model->row(row).idValue } });
}

void DownloadViewController::ToTrackerAddView(const QVariantMap &sender)
{
    auto *sheet = new TorrentTrackerAddViewController;
    const qint64 id = sender.value(QStringLiteral("id")).toLongLong();
    QPointer<DownloadViewController> self(this);
    sheet->completion = [self, id](bool ok, const QVariant &text) {
        if (ok && self)
            self->addTrackers(id, text.toString());
    };
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::runTrackerCommand(std::function<bool(CgiCtrl *)> command)
{
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    if (!client)
        return;
    auto done = std::make_shared<bool>(false);
    QPointer<DownloadViewController> self(this);
    HUD()->show_HUD([handle, client, command, done] { *done = command(client); },
        Utility::mainView() ? Utility::mainView() : this,
        [self, done] {
            // Failures change nothing and say nothing.
            if (self && *done)
                self->_refresh_Contents();
        });
}

void DownloadViewController::addTrackers(qint64 taskId, const QString &text)
{
    runTrackerCommand([taskId, text](CgiCtrl *client) {
        Error e;
        return client->add_Torrent_Tracker(taskId, text, &e);
    });
}

void DownloadViewController::on_Remove_Tracker()
{
    const int row = currentTaskRow();
    const QString ids = m_details->selectedTrackerIdText();
    if (row < 0 || ids.isEmpty())
        return;
    const qint64 taskId = m_model->row(row).idValue;
    runTrackerCommand([taskId, ids](CgiCtrl *client) {
        Error e;
        return client->remove_Torrent_Tracker(taskId, ids, &e);
    });
}

void DownloadViewController::on_Edit_Torrent()
{
    const int row = currentTaskRow();
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    if (row < 0 || m_model->row(row).type != QLatin1String("BT") || !client)
        return;
    const qint64 id = m_model->row(row).idValue;
    const QJsonValue idValue = m_model->row(row).id;
    auto reply = std::make_shared<CgiCtrl::Reply>();
    QPointer<DownloadViewController> self(this);
    HUD()->show_HUD(
        [handle, client, id, reply] {
            Error e;
            *reply = client->get_Torrent_Info(
                id, QStringLiteral("file_id"), QStringLiteral("asc"), &e);
            if (e.isError())
                reply->reset();
        },
        Utility::mainView() ? Utility::mainView() : this,
        [self, reply, idValue] {
            if (self && *reply)
                self->ToTaskView({ { QStringLiteral("torrent"), QVariant(**reply) },
                    { QStringLiteral("id"), idValue.toVariant() } });
        });
}

} // namespace flk
