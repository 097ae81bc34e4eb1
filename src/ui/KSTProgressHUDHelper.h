// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "api/CommandOverlay.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace flk {

class HUDOverlay;

// The progress overlay of a screen: draws a CommandOverlay (spinner, or a
// success mark, and a text) over a view while it shows. A helper has its own
// CommandOverlay, or draws one that a controller owns (setCommands). Its
// operations are the overlay's: the action runs on the overlay's serial
// queue, the completion on the GUI thread; while it shows, further requests
// are dropped.
class KSTProgressHUDHelper : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void()>;
    using Completion = std::function<void()>;

    explicit KSTProgressHUDHelper(QObject *parent = nullptr);
    ~KSTProgressHUDHelper() override;

    bool show_HUD(Action action, QWidget *view, Completion completion);
    bool show_Cancellable_HUD(
        Action action, QWidget *view, Completion completion, Completion cancel);

    // The overlay drawn (its own unless set). Commands a controller starts on
    // it are drawn over the view that viewProvider names.
    CommandOverlay *commands() const { return m_commands; }
    void setCommands(CommandOverlay *commands);
    void setViewProvider(std::function<QWidget *()> provider);

    void setText(const QString &text);
    QString text() const;
    void setIndicatorViewStyle(CommandOverlay::Indicator style);
    CommandOverlay::Indicator indicatorViewStyle() const;
    bool isShowing() const;
    // The overlay widget while showing (tests click it).
    QWidget *overlay() const;
    // Waits, keeping events flowing, until this overlay's queue is idle.
    void waitForIdle();
    // The same for all network work (tests, shutdown).
    static void waitForAllQueues();

private:
    void onShowingChanged(bool showing);
    void removeOverlay();

    CommandOverlay *m_commands;
    QPointer<CommandOverlay> m_own;
    QMetaObject::Connection m_showing, m_text, m_indicator;
    std::function<QWidget *()> m_viewProvider;
    QPointer<QWidget> m_nextView; // the view of the show_HUD call under way
    QPointer<HUDOverlay> m_overlay;
};

} // namespace flk
