// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "AppDelegate.h"

#include "StatisticsWindow.h"

#include "DBClickActionViewController.h"
#include "DesktopIntegration.h"
#include "FLKMainViewController.h"
#include "HostViewController.h"
#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/Work.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/LayoutState.h"
#include "models/Mnemonics.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/Utility.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QJsonArray>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#ifndef FERRYLINK_BUILD_NUMBER
#define FERRYLINK_BUILD_NUMBER "1"
#endif

namespace flk {

AppDelegate::AppDelegate(FavoriteManager *favorites, DefaultsStore *defaults, QObject *parent)
    : QObject(parent), m_favorites(favorites), m_defaults(defaults)
{
    m_window = new QMainWindow();
    m_window->setWindowTitle(QStringLiteral("Ferrylink"));
    m_window->setWindowIcon(QIcon(QStringLiteral(":/images/ferrylink.svg")));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_main = new FLKMainViewController(m_favorites, m_window);
    m_window->setCentralWidget(m_main);
    m_window->resize(1100, 680);
    m_desktop = new DesktopIntegration(m_window, m_main, m_defaults,
        std::make_unique<DesktopNotifier>(), std::make_unique<LayoutState>(), this);
    for (int i = 0; i < m_main->hostCount(); ++i)
        m_desktop->attachHost(m_main->hostAt(i));
    connect(
        m_main, &FLKMainViewController::hostCreated, m_desktop, &DesktopIntegration::attachHost);
    m_desktop->restoreWindow();
    buildMenus(m_window->menuBar());
}

void assignMenuMnemonics(QMenuBar *bar)
{
    const auto mark = [](const QList<QAction *> &actions) {
        QStringList texts;
        for (QAction *a : actions)
            texts << (a->isSeparator() ? QString() : a->text());
        const QStringList marked = assignMnemonics(texts);
        for (int i = 0; i < actions.size(); ++i) {
            if (!actions.at(i)->isSeparator())
                actions.at(i)->setText(marked.at(i));
        }
    };
    mark(bar->actions());
    for (QAction *top : bar->actions()) {
        if (QMenu *menu = top->menu())
            mark(menu->actions());
    }
}

void AppDelegate::on_Next_Server()
{
    QTabWidget *tabs = m_main->tabView();
    if (tabs->count() > 1)
        tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count());
}

void AppDelegate::on_Previous_Server()
{
    QTabWidget *tabs = m_main->tabView();
    if (tabs->count() > 1)
        tabs->setCurrentIndex((tabs->currentIndex() + tabs->count() - 1) % tabs->count());
}

AppDelegate::~AppDelegate()
{
    // The hosts go first (cancelling what they started); then the work still
    // in flight ends, with this object still answering its clients.
    delete m_window;
    waitForNetworkWork();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (CgiCtrl::sharedCgiCtrl()->delegate() == this)
        CgiCtrl::sharedCgiCtrl()->setDelegate(nullptr);
}

void AppDelegate::buildMenus(QMenuBar *bar)
{
    // Positions follow the menu table; separators sit between the groups.
    QMenu *app = bar->addMenu(localized("MITEM_FERRYLINK"));
    app->addAction(localized("MITEM_ABOUT_FLK"), this, &AppDelegate::on_About);
    // Offered only where the update program is installed (distribution
    // packages are updated by the package manager).
    QAction *update
        = app->addAction(localized("MITEM_LIVE_UPDATE"), this, &AppDelegate::on_Live_Update);
    update->setObjectName(QStringLiteral("MITEM_LIVE_UPDATE"));
    update->setVisible(QFileInfo(liveUpdateProgram()).isExecutable());
    app->addSeparator();
    // Many desktops define no preferences shortcut; Ctrl+, is the common one.
    const QList<QKeySequence> prefKeys = QKeySequence::keyBindings(QKeySequence::Preferences);
    app->addAction(localized("MITEM_PREFERENCES"),
        prefKeys.isEmpty() ? QKeySequence(QStringLiteral("Ctrl+,")) : prefKeys.first(), this,
        &AppDelegate::on_Preferences);
    // Linux desktops have no Services menu and no hiding of other
    // applications; minimising is the window manager's (Ctrl+H kept).
    app->addSeparator();
    app->addAction(localized("MITEM_HIDE_FLK"), QKeySequence(QStringLiteral("Ctrl+H")), m_window,
        &QWidget::showMinimized);
    app->addSeparator();
    app->addAction(localized("MITEM_QUIT_FLK"), QKeySequence::Quit, qApp, &QCoreApplication::quit);

    QMenu *edit = bar->addMenu(localized("MITEM_CONTEXT_EDIT"));
    // To the focus widget, or the nearest of its parents that has the slot
    // (the task page deletes its selection on Delete).
    auto forward = [](const char *slot) {
        return [slot] {
            const QByteArray signature = QByteArray(slot) + "()";
            for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
                if (w->metaObject()->indexOfMethod(signature.constData()) >= 0) {
                    QMetaObject::invokeMethod(w, slot);
                    return;
                }
            }
        };
    };
    edit->addAction(localized("MITEM_CUT"), QKeySequence::Cut, this, forward("cut"));
    edit->addAction(localized("MITEM_COPY"), QKeySequence::Copy, this, forward("copy"));
    edit->addAction(localized("MITEM_PASTE"), QKeySequence::Paste, this, forward("paste"));
    edit->addAction(localized("MITEM_CONTEXT_DEL"), QKeySequence::Delete, this, forward("del"));
    edit->addAction(
        localized("MITEM_SEL_ALL"), QKeySequence::SelectAll, this, forward("selectAll"));

    QMenu *action = bar->addMenu(localized("MITEM_ACTION"));
    action->addAction(localized("MITEM_ADD_NAS"), this, &AppDelegate::on_Add_NAS);
    action->addAction(localized("MITEM_REMOVE_NAS"), this, &AppDelegate::on_Remove_NAS);
    action->addAction(localized("MITEM_RECONNECT_NAS"), this, &AppDelegate::on_Reconnect_Nas);
    action->addAction(localized("MITEM_SPEED_STATISTICS"), QKeySequence(QStringLiteral("Ctrl+I")),
        this, &AppDelegate::on_Speed_Statistics);
    action->addSeparator();
    action->addAction(localized("MITEM_PREVIOUS_NAS"), QKeySequence(QStringLiteral("Ctrl+PgUp")),
        this, &AppDelegate::on_Previous_Server);
    action->addAction(localized("MITEM_NEXT_NAS"), QKeySequence(QStringLiteral("Ctrl+PgDown")),
        this, &AppDelegate::on_Next_Server);

    QMenu *option = bar->addMenu(localized("MITEM_OPTION"));
    option->addAction(localized("MITEM_DB_CLICK"), this, &AppDelegate::on_DB_Click_Action);
    option->addSeparator();
    option->addAction(m_desktop->actNotifications());
    option->addAction(m_desktop->actTrayIcon());

    assignMenuMnemonics(bar);
}

void AppDelegate::applicationDidFinishLaunching()
{
    // 1. A hand-over left from an earlier run is dropped.
    if (!m_defaults->value(QLatin1String(kDefaultsOpenWithKey)).isUndefined()) {
        m_defaults->removeValue(QLatin1String(kDefaultsOpenWithKey));
        m_defaults->synchronize();
    }
    // 2. Every API client presents its errors through these rules.
    CgiCtrl::sharedCgiCtrl()->setDelegate(this);
    CgiCtrl::sharedCgiCtrl()->setShowErrorAlert(true);
    // 3. The NAS application the servers must run.
    m_favorites->setAppName(QString::fromLatin1(kAppDisplayName));
    m_favorites->setAppPackage(QString::fromLatin1(kAppPackageName));
    // Passwords still in the defaults file move to the keyring, if one
    // answers (asking it may take a moment: on a worker).
    if (m_favorites->passwordVault()) {
        FavoriteManager *favorites = m_favorites;
        runWork(
            this, [favorites] { return favorites->migratePasswords(); },
            [](int moved) {
                if (moved > 0)
                    qInfo("Ferrylink: %d saved password(s) moved to the desktop keyring", moved);
            });
    }
    // 4. The menus carry their titles since they were built.
    m_window->show();
    // 5.
    launchLiveUpdate(false);
    // 6, 7.
    if (!aryOpenWithFiles.isEmpty()) {
        if (m_favorites->defaultIndex() >= 0) {
            m_defaults->setValue(
                QLatin1String(kDefaultsOpenWithKey), QJsonArray::fromStringList(aryOpenWithFiles));
            m_defaults->synchronize();
        } else {
            Utility::showAlert(m_window, Utility::Warning, localized("ERROR"),
                localized("ERROR_NO_DEFAULT_DOWNLOAD_SERVER"), QString(), localized("OK"),
                std::function<void(bool)>());
        }
    } else if (m_favorites->count() == 0) {
        QTimer::singleShot(firstStartWizardDelayMs, this, &AppDelegate::on_Add_NAS);
    }
    // 8.
    m_launched = true;
}

void AppDelegate::application_openFiles(const QStringList &paths)
{
    if (paths.isEmpty()) {
        // A second launch with nothing to hand over brings this one forward.
        if (m_launched) {
            m_window->raise();
            m_window->activateWindow();
        }
        return;
    }
    if (!m_launched) {
        // A later call before the end of launch replaces the earlier one.
        aryOpenWithFiles = paths;
        return;
    }
    // Nothing can take them without a default server.
    if (m_favorites->defaultIndex() < 0) {
        Utility::showAlert(m_window, Utility::Warning, localized("ERROR"),
            localized("ERROR_NO_DEFAULT_DOWNLOAD_SERVER"), QString(), localized("OK"),
            std::function<void(bool)>());
        return;
    }
    m_window->raise();
    m_window->activateWindow();
    NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_OPEN_WITH_TORRENT), this,
        { { QStringLiteral("torrents"), paths } });
}

void AppDelegate::on_Add_NAS()
{
    if (!Utility::is_Network_Valid())
        return;
    if (m_main->hostCount() >= 3) {
        Utility::showAlert(Utility::topMostWindow(), Utility::Warning, localized("ERROR"),
            localized("ERROR_MAX_NAS"), QString(), localized("OK"), std::function<void(bool)>());
        return;
    }
    m_main->ToAddServerSheet();
}

void AppDelegate::on_Remove_NAS()
{
    if (!Utility::is_Network_Valid())
        return;
    const int index = m_main->tabView()->currentIndex();
    const auto record = m_favorites->get_Favorite_NAS(index);
    if (index < 0 || !record)
        return;
    QPointer<AppDelegate> self(this);
    Utility::confirmDestructive(m_window, localized("CONFIRM"),
        stringWithKSTFormat(localized("DEL_TORRENT_DESC"), { record->serverName() }),
        localized("REMOVE"), [self, index](bool ok) {
            if (!ok || !self)
                return;
            if (HostViewController *host = self->m_main->hostAt(index))
                self->m_desktop->forgetServer(host->serverKey());
            self->m_favorites->removeServer(index);
            self->m_main->removeHostAt(index);
            if (self->m_favorites->count() == 0)
                QTimer::singleShot(self->emptyListWizardDelayMs, self, &AppDelegate::on_Add_NAS);
        });
}

void AppDelegate::on_Preferences()
{
    // The download preferences of the server whose tab is shown.
    HostViewController *host = m_main->hostAt(m_main->tabView()->currentIndex());
    if (host)
        host->session()->requestPreferences();
}

void AppDelegate::on_Speed_Statistics()
{
    // One window per server; asking again brings it forward.
    HostViewController *host = m_main->hostAt(m_main->tabView()->currentIndex());
    if (!host)
        return;
    QPointer<StatisticsWindow> &w = m_statistics[host->session()];
    if (!w)
        w = new StatisticsWindow(host->session(), m_window);
    w->show();
    w->raise();
    w->activateWindow();
}

void AppDelegate::on_Reconnect_Nas()
{
    if (!Utility::is_Network_Valid())
        return;
    const auto record = m_favorites->get_Favorite_NAS(m_main->tabView()->currentIndex());
    if (!record)
        return;
    const QString hostID = record->hostID();
    NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE), this,
        { { QStringLiteral("hostID"), hostID.isNull() ? QStringLiteral("") : hostID } });
}

void AppDelegate::on_DB_Click_Action()
{
    ToDBClickActionSheet();
}

void AppDelegate::ToDBClickActionSheet()
{
    KSTSheetViewController::presentSheet(m_window, new DBClickActionViewController(m_favorites));
}

void AppDelegate::on_Live_Update()
{
    launchLiveUpdate(true);
}

QString AppDelegate::liveUpdateProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/newsprout");
}

QStringList AppDelegate::liveUpdateArguments(bool active)
{
    return { QStringLiteral("-name"), QCoreApplication::applicationName(),
        QStringLiteral("-version"),
        QCoreApplication::applicationVersion() + QLatin1Char('.')
            + QStringLiteral(FERRYLINK_BUILD_NUMBER),
        QStringLiteral("-active"), active ? QStringLiteral("YES") : QStringLiteral("NO") };
}

void AppDelegate::launchLiveUpdate(bool active)
{
    const QString program = liveUpdateProgram();
    const QStringList args = liveUpdateArguments(active);
    if (launcher) {
        launcher(program, args);
        return;
    }
    if (!QFileInfo(program).isExecutable()) {
        qInfo("Live update: %s is not installed", qPrintable(program));
        return;
    }
    QProcess::startDetached(program, args);
}

QString AppDelegate::passwordStorageText() const
{
    if (m_favorites->passwordStorage() == FavoriteManager::PasswordStorage::Keyring)
        return localized("ABOUT_PASSWORDS_KEYRING");
    return stringWithKSTFormat(
        localized("ABOUT_PASSWORDS_FILE"), { QDir::toNativeSeparators(m_defaults->path()) });
}

void AppDelegate::on_About()
{
    auto *about = new QDialog(m_window);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(localized("MITEM_ABOUT_FLK"));
    auto *layout = new QVBoxLayout(about);
    auto *icon = new QLabel(about);
    icon->setPixmap(QIcon(QStringLiteral(":/images/ferrylink.svg")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto *name
        = new QLabel(QStringLiteral("<b>%1</b>").arg(QCoreApplication::applicationName()), about);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto *version = new QLabel(
        QStringLiteral("Version %1 (%2)")
            .arg(QCoreApplication::applicationVersion(), QStringLiteral(FERRYLINK_BUILD_NUMBER)),
        about);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto *credits
        = new QLabel(localized("ABOUT_CREDITS").arg(QString::fromLatin1(qVersion())), about);
    credits->setTextFormat(Qt::PlainText);
    credits->setWordWrap(true);
    credits->setAlignment(Qt::AlignCenter);
    layout->addWidget(credits);
    auto *passwords = new QLabel(passwordStorageText(), about);
    passwords->setObjectName(QStringLiteral("textPasswords"));
    passwords->setWordWrap(true);
    passwords->setAlignment(Qt::AlignCenter);
    layout->addWidget(passwords);
    // A Close button (Escape too), as dialogs on these desktops have.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, about);
    buttons->setObjectName(QStringLiteral("aboutButtons"));
    connect(buttons, &QDialogButtonBox::rejected, about, &QDialog::reject);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Close)->setFocus();
    about->show();
}

} // namespace flk
