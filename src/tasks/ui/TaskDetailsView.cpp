// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskDetailsView.h"

#include "ui/SpeedGraph.h"

#include "ui/ProgressDelegate.h"
#include "ui/ScreenParts.h"
#include "ui/TextCapping.h"

#include "api/Localization.h"
#include "tasks/TaskContentModel.h"
#include "tasks/TaskDetailsController.h"
#include "tasks/TaskTrackerModel.h"
#include "ui/DCBaseViewController.h"

#include <QAction>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

namespace {
QTableView *makeTable(QAbstractItemModel *model, QWidget *parent)
{
    auto *t = new QTableView(parent);
    t->setModel(model);
    t->setShowGrid(false);
    t->setWordWrap(false);
    t->setAlternatingRowColors(true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(22);
    t->horizontalHeader()->setHighlightSections(false);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setDefaultSectionSize(110);
    DCBaseViewController::followSortClicks(t);
    return t;
}
} // namespace

TaskDetailsView::TaskDetailsView(TaskDetailsController *controller, QWidget *parent)
    : QTabWidget(parent),
      m_controller(controller),
      m_content(controller->contentModel()),
      m_trackers(controller->trackerModel())
{
    setDocumentMode(true);
    addTab(buildInfoPage(), localized("TAB_ITEM_INFO"));

    m_contentTable = makeTable(m_content, this);
    m_contentTable->setItemDelegateForColumn(
        TaskContentModel::ColPercent, new ProgressDelegate(m_contentTable));
    m_contentTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_contentTable->setFocusPolicy(Qt::NoFocus);
    m_contentTable->setColumnWidth(TaskContentModel::ColCheck, 28);
    m_contentTable->setColumnWidth(TaskContentModel::ColName, 360);
    m_contentTable->horizontalHeader()->setSortIndicator(
        TaskContentModel::ColCheck, Qt::AscendingOrder);
    m_contentTable->horizontalHeader()->setSortIndicatorShown(false);
    addTab(m_contentTable, localized("TAB_ITEM_CONTENT"));
    m_menuContentHeader = DCBaseViewController::installColumnMenu(m_contentTable,
        { { TaskContentModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { TaskContentModel::ColSize, QT_TRID_NOOP("COL_SIZE") },
            { TaskContentModel::ColDownloaded, QT_TRID_NOOP("COL_DOWNLOADED") },
            { TaskContentModel::ColPercent, QT_TRID_NOOP("COL_PERCENT") } },
        this);
    connect(
        m_contentTable->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
            m_contentTable->horizontalHeader()->setSortIndicatorShown(true);
            m_controller->setContentSort(m_content->columnKey(column),
                DCBaseViewController::orderAfterClick(m_contentTable, column));
            emit sortChanged();
        });

    m_trackerPage = new QWidget(this);
    auto *trackerLayout = new QVBoxLayout(m_trackerPage);
    trackerLayout->setContentsMargins(0, 0, 0, 0);
    trackerLayout->setSpacing(0);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    auto tool = [&](QAction *action, const QIcon &icon) {
        QToolButton *b = ScreenParts::toolButton(action, icon, m_trackerPage);
        bar->addWidget(b);
        return b;
    };
    m_btnAddTracker
        = tool(m_controller->actAddTracker(), QIcon(QStringLiteral(":/images/add.svg")));
    m_btnRemoveTracker
        = tool(m_controller->actRemoveTracker(), style()->standardIcon(QStyle::SP_TrashIcon));
    bar->addStretch();
    trackerLayout->addLayout(bar);
    m_trackerTable = makeTable(m_trackers, m_trackerPage);
    m_trackerTable->setSelectionModel(m_controller->trackerSelection());
    m_trackerTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_trackerTable->setColumnWidth(TaskTrackerModel::ColURL, 340);
    m_trackerTable->setColumnWidth(TaskTrackerModel::ColUpdateTime, 140);
    m_trackerTable->horizontalHeader()->setSortIndicator(
        TaskTrackerModel::ColURL, Qt::AscendingOrder);
    trackerLayout->addWidget(m_trackerTable, 1);
    m_menuTrackerHeader = DCBaseViewController::installColumnMenu(m_trackerTable,
        { { TaskTrackerModel::ColURL, QT_TRID_NOOP("COL_URL") },
            { TaskTrackerModel::ColStatus, QT_TRID_NOOP("COL_STATUS") },
            { TaskTrackerModel::ColUpdateTime, QT_TRID_NOOP("COL_UPDATE_TIME") },
            { TaskTrackerModel::ColSeeds, QT_TRID_NOOP("COL_SEED") },
            { TaskTrackerModel::ColPeers, QT_TRID_NOOP("COL_PEER") } },
        this);
    connect(
        m_trackerTable->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
            m_controller->setTrackerSort(m_trackers->columnKey(column),
                DCBaseViewController::orderAfterClick(m_trackerTable, column));
            emit sortChanged();
        });

    m_menuTracker = new QMenu(this);
    m_menuTracker->addAction(m_controller->actAddTracker());
    m_menuTracker->addAction(m_controller->actRemoveTracker());
    // The menu opens on a tracker row only.
    DCBaseViewController::installRowMenu(m_trackerTable, m_menuTracker);
    connect(
        m_controller, &TaskDetailsController::detailsApplied, this, &TaskDetailsView::showDetails);
    showDetails();
}

QWidget *TaskDetailsView::buildInfoPage()
{
    auto *page = new QWidget(this);
    page->setAutoFillBackground(true);
    page->setBackgroundRole(QPalette::Base);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(16, 12, 16, 12);
    // In the empty state: why there is nothing to show.
    m_emptyHint = new QLabel(page);
    m_emptyHint->setObjectName(QStringLiteral("textEmptyDetails"));
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(m_emptyHint);
    auto *outer = new QHBoxLayout;
    outer->setSpacing(40);
    column->addLayout(outer, 1);

    struct Pair {
        const char *title;
        const char *key;
    };
    const Pair groups[2][5] = {
        { { QT_TRID_NOOP("TRANS_INFO_TIME_ELAPS"), "time_elapsed" },
            { QT_TRID_NOOP("TRANS_INFO_DL_SPEED"), "download_speed" },
            { QT_TRID_NOOP("TRANS_INFO_SEED"), "seeds" },
            { QT_TRID_NOOP("TRANS_INFO_DOWNLOADED"), "downloaded" },
            { QT_TRID_NOOP("TRANS_INFO_SHARE_RATIO"), "share_ratio" } },
        { { QT_TRID_NOOP("TRANS_INFO_DL_DIRECTORY"), "download_dir" },
            { QT_TRID_NOOP("TRANS_INFO_UL_SPEED"), "upload_speed" },
            { QT_TRID_NOOP("TRANS_INFO_PEERS"), "peers" },
            { QT_TRID_NOOP("TRANS_INFO_UPLOADED"), "uploaded" },
            { QT_TRID_NOOP("TRANS_INFO_TORRENT_FILE"), nullptr } },
    };
    for (const auto &group : groups) {
        // Titles share the width of the widest; values start 20 points right.
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(20);
        grid->setVerticalSpacing(6);
        QList<QLabel *> titles;
        int row = 0;
        for (const Pair &p : group) {
            QLabel *title;
            QLabel *value = new QLabel(QStringLiteral("-"), page);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (p.key) {
                title = new QLabel(localized(p.title), page);
                m_values.insert(QString::fromLatin1(p.key), value);
            } else {
                title = new QLabel(
                    stringWithKSTFormat(QStringLiteral("{0}:"), { localized(p.title) }), page);
                m_titleTorrentFile = title;
                m_textTorrentFile = value;
                value->setTextFormat(Qt::RichText);
                value->setTextInteractionFlags(Qt::TextBrowserInteraction);
                value->setOpenExternalLinks(true);
            }
            QFont bold = title->font();
            bold.setBold(true);
            title->setFont(bold);
            titles << title;
            grid->addWidget(title, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
            if (p.key && qstrcmp(p.key, "download_speed") == 0) {
                // The task's download speed since its details were shown.
                auto *cell = new QHBoxLayout;
                cell->setSpacing(10);
                cell->addWidget(value);
                m_taskGraph = new SpeedGraph(page);
                m_taskGraph->setObjectName(QStringLiteral("taskSpeedGraph"));
                m_taskGraph->setCompact(true);
                m_taskGraph->setSpanMs(5 * 60 * 1000);
                m_taskGraph->setFixedSize(100, 18);
                m_taskGraph->setHistory(m_controller->taskSpeeds());
                m_taskGraph->setVisible(!m_controller->isEmpty());
                connect(m_controller, &TaskDetailsController::detailsApplied, m_taskGraph,
                    [this] { m_taskGraph->setVisible(!m_controller->isEmpty()); });
                cell->addWidget(m_taskGraph);
                cell->addStretch();
                grid->addLayout(cell, row, 1);
            } else {
                grid->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
            }
            ++row;
        }
        int widest = 0;
        for (QLabel *t : titles)
            widest = std::max(widest, QFontMetrics(t->font()).horizontalAdvance(t->text()));
        for (QLabel *t : titles)
            t->setFixedWidth(widest);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
        outer->addLayout(grid, 1);
    }
    return page;
}

void TaskDetailsView::setTrackerTabShown(bool shown)
{
    const bool present = indexOf(m_trackerPage) >= 0;
    if (shown && !present) {
        addTab(m_trackerPage, localized("TAB_ITEM_TRACKER"));
    } else if (!shown && present) {
        removeTab(indexOf(m_trackerPage));
        m_trackerPage->hide();
    } else if (!shown) {
        m_trackerPage->hide(); // never added yet
    }
}

void TaskDetailsView::showDetails()
{
    if (m_controller->isEmpty()) {
        // Every value "-", no link, no tracker tab (the tracker list itself
        // is left as it was).
        for (QLabel *v : std::as_const(m_values))
            v->setText(QStringLiteral("-"));
        m_emptyHint->setText(m_controller->emptyText());
        m_emptyHint->show();
        m_titleTorrentFile->hide();
        m_textTorrentFile->hide();
        setTrackerTabShown(false);
        return;
    }
    m_emptyHint->hide();
    const TaskDetails &d = m_controller->details();
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        setCappedText(*it, d.info.value(it.key(), QStringLiteral("-")));
    m_titleTorrentFile->show();
    m_textTorrentFile->show();
    m_textTorrentFile->setText(
        QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(d.torrentLink.toHtmlEscaped(), localized("DOWNLOAD").toHtmlEscaped()));
    m_textTorrentFile->setToolTip(d.torrentLink);
    setTrackerTabShown(d.hasTrackers);
}

} // namespace flk
