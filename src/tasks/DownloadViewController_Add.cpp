// Adding work from the task list: the add sheet, uploads and links, the
// new-task dialog chain, hand-overs from the desktop and drops.
#include "DownloadViewController.h"

#include "DownloadTaskViewController.h"
#include "TorrentAddViewController.h"
#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "app/KSTProgressHUDHelper.h"
#include "app/Utility.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QJsonArray>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace flk {

namespace {
std::shared_ptr<CgiCtrl> sharedClient(const std::shared_ptr<CgiCtrl> &handle, CgiCtrl *client)
{
    if (handle)
        return handle;
    // A client owned elsewhere (tests): shared without ownership.
    return client ? std::shared_ptr<CgiCtrl>(client, [](CgiCtrl *) {}) : nullptr;
}
} // namespace

QString DownloadViewController::linkText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        if (line.isEmpty() || !TorrentAddViewController::isValidLink(line))
            continue;
        // Spaces and tabs only; anything else is sent as typed.
        qsizetype from = 0, to = line.size();
        while (from < to && (line[from] == QLatin1Char(' ') || line[from] == QLatin1Char('\t')))
            ++from;
        while (to > from && (line[to - 1] == QLatin1Char(' ') || line[to - 1] == QLatin1Char('\t')))
            --to;
        text += line.mid(from, to - from) + QLatin1Char('\n');
    }
    return text;
}

void DownloadViewController::on_Add_Torrent()
{
    if (!m_btnAdd->isEnabled() || HUD()->isShowing())
        return;
    ToTorrentAddView();
}

void DownloadViewController::ToTorrentAddView()
{
    auto *sheet = new TorrentAddViewController(sharedClient(ctrlCgiHandle(), ctrlCgi()));
    QPointer<DownloadViewController> self(this);
    QPointer<TorrentAddViewController> s(sheet);
    sheet->completion = [self, s](bool ok, const QVariant &result) {
        if (!ok || !self)
            return;
        const QVariantMap r = result.toMap();
        if (r.contains(QStringLiteral("auto_torrent_enabled")))
            self->_add_Download_Links(r);
        else
            self->_add_Torrent_Files(r);
    };
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::reportUnreadable(const Error &e)
{
    // A chosen file that went away or cannot be read: the upload was not
    // sent, and the user is told which file.
    if (!e.is(kTransportErrorDomain, kTransportFileNotReadable))
        return;
    emit uploadFileUnreadable(e.userInfo.value(QStringLiteral("path")).toString());
    Utility::showAlert(Utility::mainView() ? Utility::mainView() : window(), Utility::Warning,
        localized("ERROR"),
        stringWithKSTFormat(localized("ERROR_TORRENT_FILE_UNREADABLE"),
            { QFileInfo(e.userInfo.value(QStringLiteral("path")).toString()).fileName(),
                e.userInfo.value(QStringLiteral("description")).toString() }),
        QString(), localized("OK"), std::function<void(bool)>());
}

void DownloadViewController::afterAdd(const std::optional<QJsonValue> &torrentList)
{
    const QJsonArray list = torrentList ? json::toArray(*torrentList) : QJsonArray();
    if (!list.isEmpty())
        ToTaskView({ { QStringLiteral("torrents"), list }, { QStringLiteral("index"), 0 } });
    else
        refresh_Items();
}

void DownloadViewController::runAddRequest(
    std::function<std::optional<QJsonValue>(CgiCtrl *, Error *)> request)
{
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    if (!client)
        return;
    auto list = std::make_shared<std::optional<QJsonValue>>();
    auto failure = std::make_shared<Error>();
    QPointer<DownloadViewController> self(this);
    HUD()->show_HUD(
        [handle, client, request, list, failure] { *list = request(client, failure.get()); },
        Utility::mainView() ? Utility::mainView() : this,
        [self, list, failure] {
            if (!self)
                return;
            self->reportUnreadable(*failure);
            self->afterAdd(*list);
        });
}

void DownloadViewController::_add_Torrent_Files(const QVariantMap &result)
{
    const QStringList files = result.value(QStringLiteral("items")).toStringList();
    const bool dialog = result.value(QStringLiteral("show_dialog_enabled")).toInt() != 0;
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    runAddRequest([files, dialog, saveTo](CgiCtrl *client, Error *e) {
        return client->upload_Torrent(files, dialog, saveTo, e);
    });
}

void DownloadViewController::_add_Download_Links(const QVariantMap &result)
{
    const QString text = linkText(result.value(QStringLiteral("items")).toStringList());
    const QString saveTo = result.value(QStringLiteral("save_to")).toString();
    QVariantMap options;
    for (const char *key : { "auto_torrent_enabled", "show_dialog_enabled", "auth_enabled",
             "auth_account", "auth_password" })
        options.insert(QString::fromLatin1(key), result.value(QString::fromLatin1(key)));
    runAddRequest([text, saveTo, options](CgiCtrl *client, Error *e) {
        return client->add_Download(text, saveTo, options, e);
    });
}

void DownloadViewController::on_Open_With_Files(const QStringList &paths)
{
    on_Open_With_Items(paths, {});
}

void DownloadViewController::on_Open_With_Links(const QStringList &links)
{
    on_Open_With_Items({}, links);
}

void DownloadViewController::on_Open_With_Items(const QStringList &files, const QStringList &links)
{
    CgiCtrl *client = ctrlCgiHandle() ? ctrlCgiHandle().get() : ctrlCgi();
    const QString text = linkText(links);
    if (!client || !client->logon() || (files.isEmpty() && text.isEmpty()))
        return;
    runAddRequest([files, text](CgiCtrl *client, Error *failure) -> std::optional<QJsonValue> {
        Error e;
        const auto prefs = client->get_User_Preference(&e);
        if (!prefs || e.isError())
            return std::nullopt; // nothing is sent without the default folder
        const QString folder = json::stringValue(*prefs, u"default_dl_dir");
        QJsonArray all;
        if (!files.isEmpty()) {
            if (const auto uploaded = client->upload_Torrent(files, true, folder, failure))
                for (const QJsonValue &v : json::toArray(*uploaded))
                    all.append(v);
        }
        if (!text.isEmpty()) {
            const auto added = client->add_Download(text, folder,
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
    });
}

void DownloadViewController::ToTaskView(const QVariantMap &sender)
{
    const std::shared_ptr<CgiCtrl> client = sharedClient(ctrlCgiHandle(), ctrlCgi());
    DownloadTaskViewController *sheet = nullptr;
    QPointer<DownloadViewController> self(this);
    if (sender.contains(QStringLiteral("torrents"))) {
        const QJsonArray torrents = sender.value(QStringLiteral("torrents")).toJsonArray();
        const int index = sender.value(QStringLiteral("index")).toInt();
        if (index < 0 || index >= torrents.size())
            return;
        sheet = new DownloadTaskViewController(json::toObject(torrents.at(index)), 0, client);
        // One dialog per new torrent, however each one ends.
        sheet->completion = [self, torrents, index](bool, const QVariant &) {
            if (self && index + 1 < torrents.size())
                self->ToTaskView({ { QStringLiteral("torrents"), torrents },
                    { QStringLiteral("index"), index + 1 } });
        };
    } else {
        sheet
            = new DownloadTaskViewController(sender.value(QStringLiteral("torrent")).toJsonObject(),
                sender.value(QStringLiteral("id")).toLongLong(), client);
    }
    KSTSheetViewController::presentSheet(this, sheet);
    emit taskDialogOpened(sheet);
}

namespace {
// What a drop carries that the task list can add: local .torrent files and
// links (magnet or download addresses, as URLs or as text).
void droppedWork(const QMimeData *mime, QStringList *files, QStringList *links)
{
    if (mime->hasUrls()) {
        for (const QUrl &url : mime->urls()) {
            if (url.isLocalFile()) {
                const QFileInfo info(url.toLocalFile());
                if (info.isFile() && TorrentAddViewController::shouldEnableURL(info))
                    *files << info.absoluteFilePath();
            } else if (TorrentAddViewController::isValidLink(url.toString())) {
                *links << url.toString();
            }
        }
    } else if (mime->hasText()) {
        for (const QString &line : mime->text().split(QLatin1Char('\n')))
            if (TorrentAddViewController::isValidLink(line.trimmed()))
                *links << line.trimmed();
    }
}
} // namespace

bool DownloadViewController::canAddDropped(const QMimeData *mime) const
{
    QStringList files, links;
    droppedWork(mime, &files, &links);
    return (!files.isEmpty() || !links.isEmpty()) && m_btnAdd->isEnabled();
}

bool DownloadViewController::addDropped(const QMimeData *mime)
{
    QStringList files, links;
    droppedWork(mime, &files, &links);
    if ((files.isEmpty() && links.isEmpty()) || !m_btnAdd->isEnabled())
        return false;
    on_Open_With_Items(files, links);
    return true;
}

void DownloadViewController::dragEnterEvent(QDragEnterEvent *e)
{
    if (canAddDropped(e->mimeData()))
        e->acceptProposedAction();
}

void DownloadViewController::dropEvent(QDropEvent *e)
{
    if (addDropped(e->mimeData()))
        e->acceptProposedAction();
}

} // namespace flk
