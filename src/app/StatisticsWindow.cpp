// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "StatisticsWindow.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "models/SpeedHistory.h"
#include "preferences/SpeedLimitSchedule.h"
#include "servers/FavoriteObject.h"
#include "session/ServerSession.h"
#include "tasks/TaskListController.h"
#include "ui/SpeedGraph.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace flk {

namespace {
// A line of the legend: a swatch in the series' style and its name.
QLabel *legendSwatch(const QColor &color, bool dashed)
{
    QPixmap pm(22, 10);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(color, 2, dashed ? Qt::DashLine : Qt::SolidLine));
    p.drawLine(1, 5, 21, 5);
    p.end();
    auto *l = new QLabel;
    l->setPixmap(pm);
    return l;
}
} // namespace

qint64 StatisticsWindow::periodMs(int index)
{
    switch (index) {
    case 1:
        return 3600LL * 1000;
    case 2:
        return SpeedHistory::kSpanMs;
    default:
        return 10LL * 60 * 1000;
    }
}

StatisticsWindow::StatisticsWindow(ServerSession *session, QWidget *parent)
    : QDialog(parent),
      m_session(session),
      m_graph(new SpeedGraph(this)),
      m_limits(new SpeedLimitSchedule(this)),
      m_periods(new QButtonGroup(this)),
      m_summary(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    const auto record = session->record();
    setWindowTitle(stringWithKSTFormat(
        localized("TXT_STATISTICS_TITLE"), { record ? record->serverName() : QString() }));

    auto *periods = new QHBoxLayout;
    const char *keys[] = { "TXT_PERIOD_10_MIN", "TXT_PERIOD_1_HOUR", "TXT_PERIOD_24_HOURS" };
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(localized(keys[i]), this);
        b->setCheckable(true);
        b->setAutoDefault(false);
        m_periods->addButton(b, i);
        periods->addWidget(b);
    }
    periods->addStretch();
    const QPalette pal = palette();
    const bool dark = pal.color(QPalette::Window).lightness() < 128;
    const QColor dl = dark ? QColor(0x62, 0xa0, 0xea) : QColor(0x1c, 0x71, 0xd8);
    const QColor ul = dark ? QColor(0x8f, 0xf0, 0xa4) : QColor(0x26, 0xa2, 0x69);
    periods->addWidget(legendSwatch(dl, false));
    periods->addWidget(new QLabel(localized("TXT_LEGEND_DOWNLOAD"), this));
    periods->addSpacing(8);
    periods->addWidget(legendSwatch(ul, false));
    periods->addWidget(new QLabel(localized("TXT_LEGEND_UPLOAD"), this));
    periods->addSpacing(8);
    periods->addWidget(legendSwatch(pal.color(QPalette::WindowText), true));
    periods->addWidget(new QLabel(localized("TXT_LEGEND_LIMIT"), this));

    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(periods);
    layout->addWidget(m_graph, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);

    SpeedHistory *history = session->taskList()->speedHistory();
    m_graph->setHistory(history);
    connect(session, &QObject::destroyed, this, &QWidget::close);
    m_graph->setLimits(
        [this](qint64 t, SpeedHistory::Series s) { return m_limits->limitAt(t, s); });
    connect(m_limits, &SpeedLimitSchedule::changed, m_graph, qOverload<>(&QWidget::update));
    connect(history, &SpeedHistory::changed, this, &StatisticsWindow::updateSummary);
    connect(m_periods, &QButtonGroup::idClicked, this, &StatisticsWindow::setPeriod);
    // The schedule is an administrator's setting: other accounts see no
    // limit lines rather than an error.
    if (session->isSignedIn() && session->client()->administrator())
        m_limits->load(session->client());
    setPeriod(0);
    resize(760, 420);
}

void StatisticsWindow::setPeriod(int index)
{
    if (QAbstractButton *b = m_periods->button(index))
        b->setChecked(true);
    m_graph->setSpanMs(periodMs(index));
    updateSummary();
}

void StatisticsWindow::updateSummary()
{
    const QString text = m_graph->summaryText();
    m_summary->setText(text);
    m_summary->setAccessibleName(text);
}

} // namespace flk
