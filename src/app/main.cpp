// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Ferrylink: a desktop client for the NAS download service.
#include "AppDelegate.h"
#include "SingleInstance.h"
#include "api/Localization.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/PasswordVault.h"
#include "ui/MessageBoxAlertPresenter.h"
#include "ui/TextCapping.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int s_quitPipe[2] = { -1, -1 };

void onTerminate(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(s_quitPipe[1], &c, 1);
}

// SIGTERM and SIGINT (a desktop session ending, a terminal's Ctrl+C) quit
// through the event loop, so what is kept across restarts is saved.
void quitOnTerminate(QApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_quitPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(s_quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    quitOnTerminate(app);
    QApplication::setApplicationName(QStringLiteral("Ferrylink"));
    QApplication::setApplicationVersion(QStringLiteral(FERRYLINK_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Ferrylink"));
    QApplication::setDesktopFileName(QStringLiteral("com.kestrel.Ferrylink"));

    // Torrent files and magnet links from the desktop; a running Ferrylink
    // of this user and profile takes them instead.
    const QStringList items = flk::SingleInstance::normalizedArguments(
        QApplication::arguments().mid(1), QDir::currentPath());
    flk::SingleInstance instance(
        flk::SingleInstance::serverName(flk::DefaultsStore::standardPath()),
        flk::DefaultsStore::standardPath());
    flk::installTranslations();
    if (!instance.tryBecomePrimary() && !instance.isPrimary()) {
        // Another Ferrylink of this user and profile runs: it takes the
        // items, or this launch says why not. It never takes the place of a
        // running instance (two would overwrite each other's servers).
        const auto handed = instance.sendToRunning(items);
        if (handed == flk::SingleInstance::HandOver::Delivered)
            return 0;
        QMessageBox::warning(nullptr, QStringLiteral("Ferrylink"),
            handed == flk::SingleInstance::HandOver::TooLarge
                ? flk::stringWithKSTFormat(
                    flk::localized("HANDOVER_TOO_LARGE"), { QString::number(items.size()) })
                : flk::localized("HANDOVER_NOT_ANSWERED"));
        return 1;
    }
    if (!instance.lastError().isEmpty())
        qWarning("Ferrylink: cannot listen on %s (%s); hand-overs from later launches will not "
                 "arrive",
            qPrintable(instance.name()), qPrintable(instance.lastError()));

    flk::installTextCapping();
    flk::MessageBoxAlertPresenter alerts;
    flk::AlertPresenter::install(&alerts);

    // Saved passwords live in the desktop keyring where one answers
    // (FERRYLINK_KEYRING=off keeps them in the defaults file).
    if (qEnvironmentVariable("FERRYLINK_KEYRING") != QLatin1String("off"))
        flk::FavoriteManager::sharedFavoriteManager()->setPasswordVault(
            std::make_shared<flk::PasswordVault>(flk::makeKeychainStore()));
    flk::AppDelegate delegate(
        flk::FavoriteManager::sharedFavoriteManager(), flk::DefaultsStore::standardDefaults());
    delegate.application_openFiles(items);
    delegate.applicationDidFinishLaunching();
    QObject::connect(&instance, &flk::SingleInstance::received, &delegate,
        &flk::AppDelegate::application_openFiles);
    // The application ends when its last window closes.
    QApplication::setQuitOnLastWindowClosed(
        delegate.applicationShouldTerminateAfterLastWindowClosed());
    const int rc = app.exec();
    flk::AlertPresenter::install(nullptr);
    return rc;
}
