// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PaneController.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"

#include <QAction>

namespace flk {

PaneController::PaneController(QObject *parent)
    : QObject(parent), m_overlay(new CommandOverlay(this))
{ }

std::shared_ptr<CgiCtrl> PaneController::client() const
{
    return m_clientSource ? m_clientSource() : nullptr;
}

std::shared_ptr<CgiCtrl> PaneController::signedInClient() const
{
    std::shared_ptr<CgiCtrl> c = client();
    return c && c->logon() ? c : nullptr;
}

QAction *PaneController::namedAction(QObject *owner, const char *textKey)
{
    auto *a = new QAction(localized(textKey), owner);
    a->setToolTip(localized(textKey));
    a->setObjectName(QString::fromLatin1(textKey));
    return a;
}

} // namespace flk
