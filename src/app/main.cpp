// Ferrylink: a desktop client for the NAS download service.
#include "AppDelegate.h"
#include "MessageBoxAlertPresenter.h"
#include "SingleInstance.h"
#include "api/Localization.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrylink"));
    QApplication::setApplicationVersion(QStringLiteral(FERRYLINK_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Ferrylink"));
    QApplication::setDesktopFileName(QStringLiteral("ferrylink"));

    // Torrent files and magnet links from the desktop; a running Ferrylink
    // of this user and profile takes them instead.
    const QStringList items = flk::SingleInstance::normalizedArguments(
        QApplication::arguments().mid(1), QDir::currentPath());
    flk::SingleInstance instance(
        flk::SingleInstance::serverName(flk::DefaultsStore::standardPath()));
    if (instance.sendToRunning(items))
        return 0;
    if (!instance.listen())
        qWarning("Ferrylink: cannot listen on %s; hand-overs from later launches will not arrive",
            qPrintable(instance.name()));

    flk::installTranslations();
    flk::MessageBoxAlertPresenter alerts;
    flk::AlertPresenter::install(&alerts);

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
