// Ferrylink: a desktop client for the NAS download service.
#include "AppDelegate.h"
#include "MessageBoxAlertPresenter.h"
#include "api/Localization.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrylink"));
    QApplication::setApplicationVersion(QStringLiteral(FERRYLINK_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Ferrylink"));
    QApplication::setDesktopFileName(QStringLiteral("ferrylink"));
    flk::installTranslations();

    flk::MessageBoxAlertPresenter alerts;
    flk::AlertPresenter::install(&alerts);

    flk::AppDelegate delegate(
        flk::FavoriteManager::sharedFavoriteManager(), flk::DefaultsStore::standardDefaults());
    delegate.application_openFiles(QApplication::arguments().mid(1));
    delegate.applicationDidFinishLaunching();
    // The application ends when its last window closes.
    QApplication::setQuitOnLastWindowClosed(
        delegate.applicationShouldTerminateAfterLastWindowClosed());
    const int rc = app.exec();
    flk::AlertPresenter::install(nullptr);
    return rc;
}
