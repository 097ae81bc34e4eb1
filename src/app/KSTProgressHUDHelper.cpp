#include "KSTProgressHUDHelper.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <QWidget>
#include <deque>

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
        if (o == parentWidget() && e->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
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
        const QSize box(180, 130);
        const QRect r(rect().center() - QPoint(box.width() / 2, box.height() / 2), box);
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
    bool m_cancellable;
    std::function<void()> m_onClick;
    QTimer m_spin;
    int m_angle = 0;
    int m_style = 1;
    QString m_text;
};

namespace {
QThreadPool *hudPool()
{
    // Actions block on NAS requests: give them threads of their own rather
    // than starving the global pool.
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(32);
        p->setObjectName(QStringLiteral("com.kestrel.queue.hud"));
        return p;
    }();
    return pool;
}
} // namespace

class KSTProgressHUDHelper::SerialQueue : public std::enable_shared_from_this<SerialQueue>
{
public:
    void post(std::function<void()> task)
    {
        QMutexLocker lock(&m_mutex);
        m_tasks.push_back(std::move(task));
        if (m_running)
            return;
        m_running = true;
        hudPool()->start([self = shared_from_this()] { self->drain(); });
    }
    bool idle() const
    {
        QMutexLocker lock(&m_mutex);
        return !m_running;
    }

private:
    void drain()
    {
        for (;;) {
            std::function<void()> task;
            {
                QMutexLocker lock(&m_mutex);
                if (m_tasks.empty()) {
                    m_running = false;
                    return;
                }
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    mutable QMutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false;
};

KSTProgressHUDHelper::KSTProgressHUDHelper(QObject *parent)
    : QObject(parent), m_queue(std::make_shared<SerialQueue>())
{ }

KSTProgressHUDHelper::~KSTProgressHUDHelper()
{
    // Work still running finishes on its own; its completion finds this
    // object gone and does nothing.
    ++m_generation;
    hide();
}

void KSTProgressHUDHelper::setText(const QString &text)
{
    m_text = text;
    if (m_overlay)
        m_overlay->setText(text);
}

void KSTProgressHUDHelper::setIndicatorViewStyle(int style)
{
    m_style = style;
    if (m_overlay)
        m_overlay->setStyle(style);
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
    while (!m_queue->idle()) {
        if (gui)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        else
            QThread::msleep(5);
    }
}

void KSTProgressHUDHelper::waitForAllQueues()
{
    while (!hudPool()->waitForDone(10))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool KSTProgressHUDHelper::show_HUD(Action action, QWidget *view, Completion completion)
{
    return start(std::move(action), view, std::move(completion), nullptr);
}

bool KSTProgressHUDHelper::show_Cancellable_HUD(
    Action action, QWidget *view, Completion completion, Completion cancel)
{
    return start(std::move(action), view, std::move(completion),
        cancel ? std::move(cancel) : Completion([] {}));
}

bool KSTProgressHUDHelper::start(
    Action action, QWidget *view, Completion completion, Completion cancel)
{
    if (m_showing)
        return false;
    m_showing = true;
    const quint64 run = ++m_generation;
    if (view) {
        const bool cancellable = bool(cancel);
        auto *overlay = new HUDOverlay(view, cancellable, [this, run, cancel] {
            if (run != m_generation || !m_showing)
                return;
            ++m_generation; // the action's completion no longer runs
            hide();
            if (cancel)
                cancel();
        });
        overlay->setText(m_text);
        overlay->setStyle(m_style);
        overlay->show();
        overlay->raise();
        m_overlay = overlay;
    }
    QPointer<KSTProgressHUDHelper> self(this);
    m_queue->post([self, run, action = std::move(action), completion = std::move(completion)] {
        if (action)
            action();
        // Back on the GUI thread: hide, then complete (unless cancelled meanwhile).
        QMetaObject::invokeMethod(
            qApp,
            [self, run, completion] {
                if (!self || run != self->m_generation)
                    return;
                self->hide();
                if (completion)
                    completion();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void KSTProgressHUDHelper::hide()
{
    m_showing = false;
    if (m_overlay) {
        m_overlay->hide();
        m_overlay->deleteLater();
        m_overlay = nullptr;
    }
}

} // namespace flk
