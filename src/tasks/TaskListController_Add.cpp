// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Adding tasks to the list's server: the add sheet's links and files, drops,
// hand-overs from the desktop, and the new-task dialog chain that follows.
#include "TaskListController.h"

#include "models/TaskIntake.h"

#include "TaskLinks.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"

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
    if (result.contains(QStringLiteral("auto_torrent_enabled")))
        _add_Download_Links(result);
    else
        _add_Torrent_Files(result);
}

void TaskListController::afterAdd(const QJsonArray &torrents)
{
    if (!torrents.isEmpty())
        ToTaskView({ { QStringLiteral("torrents"), torrents }, { QStringLiteral("index"), 0 } });
    else
        refresh_Items();
}

void TaskListController::runAddRequest(
    std::function<std::optional<QJsonValue>(CgiCtrl *, Error *)> request,
    std::function<void(const Error &failure)> after)
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
                out.torrents = json::toArray(*list);
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

void TaskListController::_add_Torrent_Files(const QVariantMap &result)
{
    const QStringList files = result.value(QStringLiteral("items")).toStringList();
    const bool dialog = result.value(QStringLiteral("show_dialog_enabled")).toInt() != 0;
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    runAddRequest([files, dialog, saveTo](CgiCtrl *c, Error *e) {
        return c->upload_Torrent(files, dialog, saveTo, e);
    });
}

void TaskListController::_add_Download_Links(const QVariantMap &result)
{
    const QString text = TaskLinks::linkText(result.value(QStringLiteral("items")).toStringList());
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    QVariantMap options;
    for (const char *key : { "auto_torrent_enabled", "show_dialog_enabled", "auth_enabled",
             "auth_account", "auth_password" })
        options.insert(QString::fromLatin1(key), result.value(QString::fromLatin1(key)));
    runAddRequest([text, saveTo, options](
                      CgiCtrl *c, Error *e) { return c->add_Download(text, saveTo, options, e); });
}

void TaskListController::on_Open_With_Items(
    const QStringList &files, const QStringList &links, std::function<void(bool sent)> done)
{
    const std::shared_ptr<CgiCtrl> c = client();
    const QString text = TaskLinks::linkText(links);
    if (!c || !c->logon() || (files.isEmpty() && text.isEmpty())) {
        if (done)
            done(files.isEmpty() && text.isEmpty());
        return;
    }
    runAddRequest(
        [files, text](CgiCtrl *c, Error *failure) -> std::optional<QJsonValue> {
            Error e;
            const std::optional<QString> defaultFolder = TaskIntake::defaultFolder(c, &e);
            if (!defaultFolder) {
                // Nothing is sent without the default folder; a NAS that has no
                // preferences yet gets the items once they are set.
                if (e.is(kCgiErrorDomain, kCgiErrorNoPreference))
                    *failure = e;
                return std::nullopt;
            }
            const QString folder = *defaultFolder;
            QJsonArray all;
            if (!files.isEmpty()) {
                if (const auto uploaded = c->upload_Torrent(files, true, folder, failure))
                    for (const QJsonValue &v : json::toArray(*uploaded))
                        all.append(v);
            }
            if (!text.isEmpty()) {
                const auto added = c->add_Download(text, folder,
                    { { QStringLiteral("show_dialog_enabled"), 1 },
                        { QStringLiteral("auto_torrent_enabled"), 0 },
                        { QStringLiteral("auth_enabled"), 0 },
                        { QStringLiteral("auth_account"), QString() },
                        { QStringLiteral("auth_password"), QString() } },
                    &e);
                if (added)
                    for (const QJsonValue &v : json::toArray(*added))
                        all.append(v);
            }
            return QJsonValue(all);
        },
        [done](const Error &failure) {
            if (done)
                done(!failure.is(kCgiErrorDomain, kCgiErrorNoPreference));
        });
}

bool TaskListController::canAddDropped(const QMimeData *mime) const
{
    QStringList files, links;
    TaskLinks::droppedWork(mime, &files, &links);
    return (!files.isEmpty() || !links.isEmpty()) && action(Command::Add)->isEnabled();
}

bool TaskListController::addDropped(const QMimeData *mime)
{
    QStringList files, links;
    TaskLinks::droppedWork(mime, &files, &links);
    if ((files.isEmpty() && links.isEmpty()) || !action(Command::Add)->isEnabled())
        return false;
    on_Open_With_Items(files, links);
    return true;
}

// ---- the new-task dialog chain ---------------------------------------------------

void TaskListController::ToTaskView(const QVariantMap &sender)
{
    if (sender.contains(QStringLiteral("torrents"))) {
        const QJsonArray torrents = sender.value(QStringLiteral("torrents")).toJsonArray();
        const int index = sender.value(QStringLiteral("index")).toInt();
        if (index < 0 || index >= torrents.size()) {
            m_chain = {};
            m_chainIndex = -1;
            return;
        }
        m_chain = torrents;
        m_chainIndex = index;
        emit taskDialogRequested(json::toObject(torrents.at(index)), 0);
        return;
    }
    m_chain = {};
    m_chainIndex = -1;
    emit taskDialogRequested(sender.value(QStringLiteral("torrent")).toJsonObject(),
        sender.value(QStringLiteral("id")).toLongLong());
}

void TaskListController::taskDialogClosed()
{
    // One dialog per new torrent, however each one ends.
    if (m_chainIndex >= 0 && m_chainIndex + 1 < m_chain.size())
        ToTaskView({ { QStringLiteral("torrents"), m_chain },
            { QStringLiteral("index"), m_chainIndex + 1 } });
    else {
        m_chain = {};
        m_chainIndex = -1;
    }
}

} // namespace flk
