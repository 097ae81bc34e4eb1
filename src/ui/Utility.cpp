// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Utility.h"

#include "api/AlertPresenter.h"
#include "api/Localization.h"
#include "servers/ReachabilityMonitor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMessageBox>
#include <QWidget>

namespace flk::Utility {

QWidget *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(w))
            return w;
    }
    return nullptr;
}

QWidget *mainView()
{
    if (auto *w = qobject_cast<QMainWindow *>(mainWindow()))
        return w->centralWidget();
    return nullptr;
}

QWidget *topMostWindow()
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    if (QWidget *w = mainWindow())
        return w;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !qobject_cast<QMessageBox *>(w))
            return w;
    }
    return nullptr;
}

bool is_Network_Valid()
{
    if (ReachabilityMonitor::shared()->isReachable())
        return true;
    showAlert(topMostWindow(), Warning, localized("ERROR"), localized("ERR_NETWORK_DISCONNECT"),
        QString(), localized("OK"), std::function<void(bool)>());
    return false;
}

void showAlert(QWidget *window, int style, const QString &title, const QString &message,
    const QString &cancelButtonTitle, const QStringList &otherButtonTitles,
    std::function<void(bool, int)> complete)
{
    AlertRequest request;
    request.title = title.isNull() ? QStringLiteral("") : title;
    request.message = message.isNull() ? QStringLiteral("") : message;
    request.buttons = otherButtonTitles;
    const int cancelIndex = cancelButtonTitle.isEmpty() ? -1 : int(request.buttons.size());
    if (cancelIndex >= 0)
        request.buttons << cancelButtonTitle;
    request.style = AlertRequest::Style(style);
    request.parentWindow = window;
    auto done = [complete, cancelIndex](int button) {
        if (complete)
            complete(button == cancelIndex || button < 0, button);
    };
    if (AlertPresenter *p = AlertPresenter::current())
        p->present(request, done);
    else
        done(-1);
}

void showAlert(QWidget *window, int style, const QString &title, const QString &message,
    const QString &cancelButtonTitle, const QString &okButtonTitle,
    std::function<void(bool)> complete)
{
    showAlert(window, style, title, message, cancelButtonTitle, QStringList { okButtonTitle },
        [complete](bool cancelled, int) {
            if (complete)
                complete(!cancelled);
        });
}

void confirmDestructive(QWidget *window, const QString &title, const QString &message,
    const QString &actionTitle, std::function<void(bool)> complete)
{
    AlertRequest request;
    request.title = title;
    request.message = message;
    request.buttons = QStringList { actionTitle, localized("CANCEL") };
    request.style = AlertRequest::Warning;
    request.destructive = true;
    request.parentWindow = window;
    auto done = [complete](int button) {
        if (complete)
            complete(button == 0);
    };
    if (AlertPresenter *p = AlertPresenter::current())
        p->present(request, done);
    else
        done(-1);
}

void openWebPages(QWidget *window, const QList<QUrl> &urls)
{
    for (const QUrl &url : urls) {
        if (!QDesktopServices::openUrl(url)) {
            showAlert(window, Warning, localized("ERROR"), localized("ERR_NO_BROWSER"), QString(),
                localized("OK"), std::function<void(bool)>());
            return;
        }
    }
}

void showLinksRefused(QWidget *window, const QStringList &schemes)
{
    showAlert(window, Warning, localized("ERROR"),
        stringWithKSTFormat(localized("ERR_LINK_REFUSED"), { schemes.join(QStringLiteral(", ")) }),
        QString(), localized("OK"), std::function<void(bool)>());
}

} // namespace flk::Utility
