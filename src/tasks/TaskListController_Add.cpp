// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Adding tasks to the list's server: the add sheet's links and files, drops,
// hand-overs from the desktop, and the new-task dialog chain that follows.
#include "TaskListController.h"

#include "models/TaskIntake.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/TaskLinks.h"

#include <QAction>
#include <QMimeData>
#include <QTimer>

namespace flk {

// ---- adding -------------------------------------------------------------------

void TaskListController::on_Add_Torrent()
{
    if (!action(Command::Add)->isEnabled() || m_overlay->isShowing())
        return;
    emit addSheetRequested();
}

void TaskListController::addFromSheet(const QVariantMap &result)
{
    runAddRequest(TaskIntake::fromSheet(result));
}

void TaskListController::_add_Torrent_Files(const QVariantMap &result)
{
    runAddRequest(TaskIntake::torrentFiles(result));
}

void TaskListController::_add_Download_Links(const QVariantMap &result)
{
    runAddRequest(TaskIntake::downloadLinks(result));
}

void TaskListController::afterAdd(const QJsonArray &torrents)
{
    if (!torrents.isEmpty())
        ToTaskView({ { QStringLiteral("torrents"), torrents }, { QStringLiteral("index"), 0 } });
    else
        refresh_Items();
}

void TaskListController::runAddRequest(
    TaskIntake::Request request, std::function<void(const Error &failure)> after)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    struct Outcome {
        QJsonArray torrents;
        Error failure;
    };
    const bool started = m_overlay->run(
        [c, request] {
            Outcome out;
            if (const auto list = request(c.get(), &out.failure))
                out.torrents = *list;
            return out;
        },
        [this, after](Outcome out) {
            // A chosen file that went away or cannot be read: the upload was
            // not sent, and the user is told which file.
            if (out.failure.is(kTransportErrorDomain, kTransportFileNotReadable))
                emit uploadFileUnreadable(
                    out.failure.userInfo.value(QStringLiteral("path")).toString(),
                    out.failure.userInfo.value(QStringLiteral("description")).toString());
            if (after)
                after(out.failure);
            afterAdd(out.torrents);
        });
    if (started)
        return;
    // Another command holds the overlay (a hand-over or a drop while the
    // list works): this add waits for it instead of being lost.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(m_overlay, &CommandOverlay::showingChanged, this,
        [this, once, request, after](bool showing) {
            if (showing)
                return;
            QObject::disconnect(*once);
            QTimer::singleShot(0, this, [this, request, after] { runAddRequest(request, after); });
        });
}

void TaskListController::on_Open_With_Items(
    const QStringList &files, const QStringList &links, std::function<void(bool sent)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const bool nothing = files.isEmpty() && TaskLinks::linkText(links).isEmpty();
    if (!c || !c->logon() || nothing) {
        if (done)
            done(nothing);
        return;
    }
    runAddRequest(TaskIntake::handedOver(files, links), [done](const Error &failure) {
        if (done)
            done(!failure.is(kCgiErrorDomain, kCgiErrorNoPreference));
    });
}

bool TaskListController::canAddDropped(const QMimeData *mime) const
{
    return !TaskIntake::dropped(mime).isEmpty() && action(Command::Add)->isEnabled();
}

bool TaskListController::addDropped(const QMimeData *mime)
{
    const TaskIntake::Items items = TaskIntake::dropped(mime);
    if (items.isEmpty() || !action(Command::Add)->isEnabled())
        return false;
    on_Open_With_Items(items.files, items.links);
    return true;
}

// ---- the new-task dialog chain ---------------------------------------------------

void TaskListController::ToTaskView(const QVariantMap &sender)
{
    if (sender.contains(QStringLiteral("torrents"))) {
        if (const auto first = m_chain.start(sender.value(QStringLiteral("torrents")).toJsonArray(),
                sender.value(QStringLiteral("index")).toInt()))
            emit taskDialogRequested(*first, 0);
        return;
    }
    m_chain.clear();
    emit taskDialogRequested(sender.value(QStringLiteral("torrent")).toJsonObject(),
        sender.value(QStringLiteral("id")).toLongLong());
}

void TaskListController::taskDialogClosed()
{
    // One dialog per new torrent, however each one ends.
    if (const auto next = m_chain.next())
        emit taskDialogRequested(*next, 0);
}

} // namespace flk
