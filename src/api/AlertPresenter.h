// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace flk {

// What a prompt shows. buttons[0] is the affirmative button ("OK" or "YES").
struct AlertRequest {
    enum Style { Warning = 0, Informational = 1, Critical = 2 };
    QString title;
    QString message;
    // A line under the message (the NAS's error code), may be empty.
    QString detail;
    QStringList buttons;
    Style style = Warning;
    // The saved server the alert is about (its name), when it is about one:
    // with several servers, an alert of a server not on show says which.
    QString server;
    // The first button destroys something (Delete, Remove, Discard): it is
    // never the default, so Return does not destroy by accident.
    bool destructive = false;
    // The window the alert belongs to (a QWidget* in the GUI); null for the
    // top-most window.
    void *parentWindow = nullptr;
};

// Presents alerts to the user. The GUI implements it with a window-modal
// message box; tests install a recorder. present() is called on the GUI thread
// and returns at once; done receives the index of the button that closed the
// alert (-1 when it closed without an answer).
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    virtual void present(const AlertRequest &request, std::function<void(int button)> done) = 0;

    static AlertPresenter *current();
    // Installs p (not owned); pass nullptr to uninstall.
    static void install(AlertPresenter *p);
};

} // namespace flk
