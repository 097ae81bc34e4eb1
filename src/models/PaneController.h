// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QAction;

namespace flk {

class CgiCtrl;
class CommandOverlay;

// What every screen controller has: the client it sends with (looked up when
// needed: the host's, which comes and goes with sign-ins), the overlay its
// commands run under, and the object its notifications name as sender (its
// screen, which the host registers by).
class PaneController : public QObject
{
    Q_OBJECT

public:
    using ClientSource = std::function<std::shared_ptr<CgiCtrl>()>;

    explicit PaneController(QObject *parent = nullptr);

    void setClientSource(ClientSource source) { m_clientSource = std::move(source); }
    std::shared_ptr<CgiCtrl> client() const;
    // A client signed in right now, else null.
    std::shared_ptr<CgiCtrl> signedInClient() const;
    CommandOverlay *overlay() const { return m_overlay; }
    // Uses another overlay (a screen's sheets share their presenter's).
    void setOverlay(CommandOverlay *overlay) { m_overlay = overlay; }
    void setNotificationSender(QObject *sender) { m_sender = sender; }
    // A command of a screen: its text and tool tip from a localisation key,
    // which is also its object name (tests and the toolbar find it by it).
    static QAction *namedAction(QObject *owner, const char *textKey);

    QObject *notificationSender() const
    {
        return m_sender ? m_sender : const_cast<PaneController *>(this);
    }

private:
    ClientSource m_clientSource;
    CommandOverlay *m_overlay;
    QObject *m_sender = nullptr;
};

} // namespace flk
