// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace flk {

// Window and alert operations of the GUI (GUI thread). Alerts go through the
// installed AlertPresenter, window-modal on the given window.
namespace Utility {

enum AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

QWidget *mainWindow();
QWidget *mainView();
QWidget *topMostWindow();

// Whether the network is reachable; when not, first shows "ERR_NETWORK_DISCONNECT".
bool is_Network_Valid();

// Buttons: the other titles in order (the first is the default), then the
// cancel button when its title is non-empty. complete gets (cancel pressed,
// index of the pressed button counted from the first other title).
void showAlert(QWidget *window, int style, const QString &title, const QString &message,
    const QString &cancelButtonTitle, const QStringList &otherButtonTitles,
    std::function<void(bool cancelled, int index)> complete);
// One OK button and an optional cancel button; complete gets true for OK.
void showAlert(QWidget *window, int style, const QString &title, const QString &message,
    const QString &cancelButtonTitle, const QString &okButtonTitle,
    std::function<void(bool ok)> complete);

// Asks before something is destroyed: the action's own name on its button
// ("Delete", "Remove"), Cancel the default; complete gets true for the action.
void confirmDestructive(QWidget *window, const QString &title, const QString &message,
    const QString &actionTitle, std::function<void(bool confirmed)> complete);

// Opens web pages in the desktop's browser; says so when none could start.
void openWebPages(QWidget *window, const QList<QUrl> &urls);
// Says which links were not opened (their schemes).
void showLinksRefused(QWidget *window, const QStringList &schemes);

} // namespace Utility

} // namespace flk
