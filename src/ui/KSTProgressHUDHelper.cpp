// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "KSTProgressHUDHelper.h"

#include "api/Localization.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <QWidget>

namespace flk {

// The drawing: a dimmed cover with a rounded box, a turning arc (or a check
// mark) and the text.
class HUDOverlay : public QWidget
{
public:
    HUDOverlay(QWidget *parent, bool cancellable, std::function<void()> onClick)
        : QWidget(parent), m_cancellable(cancellable), m_onClick(std::move(onClick))
    {
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(parent->rect());
        if (m_cancellable) {
            // A button to stop the work, reachable by keyboard (Escape too).
            m_button = new QPushButton(localized("CANCEL"), this);
            m_button->setAccessibleName(localized("CANCEL"));
            connect(m_button, &QPushButton::clicked, this, [this] {
                if (m_onClick)
                    m_onClick();
            });
            setFocusProxy(m_button);
            placeButton();
        }
        parent->installEventFilter(this);
        connect(&m_spin, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
        m_spin.start(80);
    }
    void setText(const QString &t)
    {
        m_text = t;
        update();
    }
    void setStyle(int s)
    {
        m_style = s;
        update();
    }
    QString text() const { return m_text; }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == parentWidget() && e->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
            placeButton();
        }
        return false;
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (m_cancellable && m_onClick && e->key() == Qt::Key_Escape) {
            e->accept();
            m_onClick();
            return;
        }
        QWidget::keyPressEvent(e);
    }
    QRect boxRect() const
    {
        const QSize box(m_cancellable ? 240 : 180, m_cancellable ? 170 : 130);
        return QRect(rect().center() - QPoint(box.width() / 2, box.height() / 2), box);
    }
    void placeButton()
    {
        if (!m_button)
            return;
        const QRect r = boxRect();
        const QSize hint = m_button->sizeHint();
        m_button->setGeometry(r.center().x() - hint.width() / 2, r.bottom() - hint.height() - 10,
            hint.width(), hint.height());
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        e->accept();
        if (m_cancellable && m_onClick)
            m_onClick();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(0, 0, 0, 60));
        const QRect r = boxRect();
        QPainterPath path;
        path.addRoundedRect(r, 12, 12);
        p.fillPath(path, QColor(40, 40, 40, 220));
        const QRect icon(r.center().x() - 18, r.top() + 22, 36, 36);
        QPen pen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        if (m_style == 4) {
            QPainterPath check;
            check.moveTo(icon.left() + 4, icon.center().y());
            check.lineTo(icon.center().x() - 3, icon.bottom() - 6);
            check.lineTo(icon.right() - 2, icon.top() + 6);
            p.drawPath(check);
        } else {
            p.drawArc(icon, -m_angle * 16, 270 * 16);
        }
        p.setPen(Qt::white);
        p.drawText(QRect(r.left() + 8, icon.bottom() + 12, r.width() - 16, 40),
            Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_text);
    }

private:
    QPushButton *m_button = nullptr;
    bool m_cancellable;
    std::function<void()> m_onClick;
    QTimer m_spin;
    int m_angle = 0;
    int m_style = 1;
    QString m_text;
};

KSTProgressHUDHelper::KSTProgressHUDHelper(QObject *parent)
    : QObject(parent), m_commands(nullptr), m_own(new CommandOverlay(this))
{
    setCommands(m_own);
}

KSTProgressHUDHelper::~KSTProgressHUDHelper()
{
    // Work still running finishes on its own; its completion finds the
    // overlay gone and does nothing.
    removeOverlay();
}

void KSTProgressHUDHelper::setCommands(CommandOverlay *commands)
{
    if (!commands)
        commands = m_own;
    if (commands == m_commands)
        return;
    disconnect(m_showing);
    disconnect(m_text);
    disconnect(m_indicator);
    removeOverlay();
    m_commands = commands;
    m_showing = connect(
        m_commands, &CommandOverlay::showingChanged, this, &KSTProgressHUDHelper::onShowingChanged);
    m_text = connect(m_commands, &CommandOverlay::textChanged, this, [this](const QString &t) {
        if (m_overlay)
            m_overlay->setText(t);
    });
    m_indicator = connect(
        m_commands, &CommandOverlay::indicatorChanged, this, [this](CommandOverlay::Indicator i) {
            if (m_overlay)
                m_overlay->setStyle(int(i));
        });
    if (m_commands->isShowing())
        onShowingChanged(true);
}

void KSTProgressHUDHelper::setViewProvider(std::function<QWidget *()> provider)
{
    m_viewProvider = std::move(provider);
}

void KSTProgressHUDHelper::setText(const QString &text)
{
    m_commands->setText(text);
}

QString KSTProgressHUDHelper::text() const
{
    return m_commands->text();
}

void KSTProgressHUDHelper::setIndicatorViewStyle(CommandOverlay::Indicator style)
{
    m_commands->setIndicator(style);
}

CommandOverlay::Indicator KSTProgressHUDHelper::indicatorViewStyle() const
{
    return m_commands->indicator();
}

bool KSTProgressHUDHelper::isShowing() const
{
    return m_commands->isShowing();
}

QWidget *KSTProgressHUDHelper::overlay() const
{
    return m_overlay.data();
}

void KSTProgressHUDHelper::waitForIdle()
{
    // An action may be waiting for a request that the GUI thread carries out:
    // keep that going while we wait on the GUI thread.
    const bool gui = QThread::currentThread() == qApp->thread();
    while (!m_commands->isIdle()) {
        if (gui)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        else
            QThread::msleep(5);
    }
    if (gui)
        QCoreApplication::sendPostedEvents();
}

void KSTProgressHUDHelper::waitForAllQueues()
{
    waitForNetworkWork();
}

bool KSTProgressHUDHelper::show_HUD(Action action, QWidget *view, Completion completion)
{
    m_nextView = view;
    const bool started = m_commands->run(std::move(action), [completion] {
        if (completion)
            completion();
    });
    m_nextView = nullptr;
    return started;
}

bool KSTProgressHUDHelper::show_Cancellable_HUD(
    Action action, QWidget *view, Completion completion, Completion cancel)
{
    m_nextView = view;
    const bool started = m_commands->runCancellable(
        std::move(action),
        [completion] {
            if (completion)
                completion();
        },
        [cancel] {
            if (cancel)
                cancel();
        });
    m_nextView = nullptr;
    return started;
}

void KSTProgressHUDHelper::removeOverlay()
{
    // Later: the overlay may be in its own click handler right now.
    if (m_overlay) {
        m_overlay->hide();
        m_overlay->deleteLater();
        m_overlay = nullptr;
    }
}

void KSTProgressHUDHelper::onShowingChanged(bool showing)
{
    removeOverlay();
    if (!showing)
        return;
    QWidget *view = m_nextView ? m_nextView.data() : nullptr;
    if (!view && m_viewProvider)
        view = m_viewProvider();
    if (!view)
        return; // drawn nowhere (tests without a window)
    QPointer<CommandOverlay> commands(m_commands);
    auto *overlay = new HUDOverlay(view, m_commands->isCancellable(), [commands] {
        if (commands)
            commands->cancel();
    });
    overlay->setText(m_commands->text());
    overlay->setStyle(int(m_commands->indicator()));
    overlay->show();
    overlay->raise();
    if (m_commands->isCancellable())
        overlay->setFocus(Qt::OtherFocusReason);
    m_overlay = overlay;
}

} // namespace flk
