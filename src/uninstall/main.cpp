// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Sweepdeck: removes the Ferrylink installation it belongs to (the prefix it
// is installed in), with the user's consent and an administrator's
// authorisation for the installed files.
//
// --no-pkexec starts the removal helper directly, as the same user, instead
// of through pkexec. It grants nothing (the helper can then delete only what
// this user could anyway); tests use it.
#include "Installation.h"
#include "UninstallRun.h"
#include "UtilUAppDelegate.h"
#include "api/Localization.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sweepdeck"));
    QApplication::setDesktopFileName(QStringLiteral("sweepdeck"));
    flk::installTranslations();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Removes Ferrylink from this computer."));
    parser.addHelpOption();
    const QCommandLineOption noPkexec(QStringLiteral("no-pkexec"),
        QStringLiteral("Start the removal helper directly, as this user (for tests)."));
    parser.addOption(noPkexec);
    parser.process(app);

    const sweepdeck::Installation installation
        = sweepdeck::Installation::fromApplicationDir(QCoreApplication::applicationDirPath());
    QString keysError;
    const auto keys = sweepdeck::UninstallKeys::load(installation.keysPath(), &keysError);

    sweepdeck::UtilUAppDelegate window(installation, keys, keysError);
    if (window.run())
        window.run()->setUsePkexec(!parser.isSet(noPkexec));
    window.show();
    // Closing the window quits.
    return app.exec();
}
