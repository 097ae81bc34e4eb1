#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace flk {

class HUDOverlay;

// The progress overlay of a screen: drawn over a view with a spinner (or a
// success mark, indicator style 4) and a text. Each helper owns one serial
// work queue; the action runs there, the completion on the GUI thread. While
// it shows, further requests are dropped.
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

    void setText(const QString &text);
    QString text() const { return m_text; }
    void setIndicatorViewStyle(int style);
    int indicatorViewStyle() const { return m_style; }
    bool isShowing() const { return m_showing; }
    // The overlay widget while showing (tests click it).
    QWidget *overlay() const;
    // Waits, keeping events flowing, until this queue is idle. Not for
    // destructors: a helper never waits for its queue when it goes.
    void waitForIdle();
    // The same for every overlay's queue (tests, shutdown).
    static void waitForAllQueues();

    class SerialQueue;

private:
    bool start(Action action, QWidget *view, Completion completion, Completion cancel);
    void hide();

    // "com.kestrel.queue.hud": serial; shared so that work still running when
    // the helper goes finishes safely on its own.
    std::shared_ptr<SerialQueue> m_queue;
    QPointer<HUDOverlay> m_overlay;
    QString m_text;
    int m_style = 1;
    bool m_showing = false;
    quint64 m_generation = 0; // a cancelled run's completion is dropped
};

} // namespace flk
