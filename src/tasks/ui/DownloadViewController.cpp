// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DownloadViewController.h"

#include "ui/SpeedGraph.h"

#include "DownloadTaskViewController.h"
#include "TaskDetailsView.h"
#include "TorrentAddViewController.h"
#include "TorrentDeleteViewController.h"
#include "TorrentTrackerAddViewController.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskDetailsController.h"
#include "ui/EmptyViewHint.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ProgressDelegate.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

EmptyView::EmptyView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    auto *image = new QLabel(this);
    image->setPixmap(QIcon(QStringLiteral(":/images/ferrylink.svg")).pixmap(150, 150));
    image->setAlignment(Qt::AlignCenter);
    layout->addWidget(image);
    auto *text = new QLabel(localized("TXT_RE_CONNECT_NAS"), this);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_button = new QPushButton(localized("MITEM_RECONNECT_NAS"), this);
    m_button->setFixedWidth(180);
    m_button->setDefault(true);
    layout->addSpacing(10);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(m_button, &QPushButton::clicked, this, &EmptyView::on_Reconnect);
    // It covers its parent whatever size that takes.
    if (parent)
        parent->installEventFilter(this);
}

bool EmptyView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void EmptyView::on_Reconnect()
{
    const QString hostID = m_favObj ? m_favObj->hostID() : QString();
    NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE),
        nullptr, { { QStringLiteral("hostID"), hostID.isNull() ? QStringLiteral("") : hostID } });
}

DownloadViewController::DownloadViewController(QWidget *parent)
    : DownloadViewController(nullptr, parent)
{ }

DownloadViewController::DownloadViewController(TaskListController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new TaskListController(this))
{
    bindPageController(m_controller);
    setSortKey(m_controller->sortKey());
    setOrder(m_controller->order());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    using Command = TaskListController::Command;
    auto *toolbar = new QWidget(this);
    auto *bar = new QHBoxLayout(toolbar);
    bar->setContentsMargins(6, 4, 6, 4);
    auto tool = [&](Command command, const QIcon &icon) {
        QToolButton *b = ScreenParts::toolButton(m_controller->action(command), icon, toolbar);
        bar->addWidget(b);
        return b;
    };
    // The usual keys of download clients. A toolbar button carries its
    // action, so a key works while this page shows and never on a hidden
    // server's page.
    m_controller->action(Command::Add)->setShortcut(QKeySequence::New);
    m_controller->action(Command::Start)->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_controller->action(Command::Pause)->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    m_controller->action(Command::Up)->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Up")));
    m_controller->action(Command::Down)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Down")));
    m_actRefresh = new QAction(localized("REFRESH"), this);
    m_actRefresh->setShortcut(QKeySequence::Refresh);
    connect(m_actRefresh, &QAction::triggered, m_controller, &TaskListController::refresh_Items);
    addAction(m_actRefresh);
    m_actFind = new QAction(localized("SEARCH_TITLE"), this);
    m_actFind->setShortcut(QKeySequence::Find);
    addAction(m_actFind);
    m_btnAdd = tool(Command::Add, QIcon(QStringLiteral(":/images/add.svg")));
    m_btnDelete = tool(Command::Delete, style()->standardIcon(QStyle::SP_TrashIcon));
    m_btnStart = tool(Command::Start, style()->standardIcon(QStyle::SP_MediaPlay));
    m_btnPause = tool(Command::Pause, style()->standardIcon(QStyle::SP_MediaPause));
    m_btnUp = tool(Command::Up, style()->standardIcon(QStyle::SP_ArrowUp));
    m_btnDown = tool(Command::Down, style()->standardIcon(QStyle::SP_ArrowDown));
    bar->addSpacing(12);
    m_btnPreference
        = tool(Command::Preference, style()->standardIcon(QStyle::SP_FileDialogInfoView));
    m_controller->action(Command::Edit)
        ->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    bar->addStretch();
    // Shown while the list is overdue for a refresh.
    m_textStale = new QLabel(toolbar);
    m_textStale->setObjectName(QStringLiteral("textStale"));
    ScreenParts::setWarningColor(m_textStale);
    m_textStale->hide();
    bar->addWidget(m_textStale);
    // The last ten minutes of the totals beside them (the tool tip says
    // them in words; Action > Speed Statistics shows more).
    m_speedGraph = new SpeedGraph(toolbar);
    m_speedGraph->setObjectName(QStringLiteral("speedGraph"));
    m_speedGraph->setCompact(true);
    m_speedGraph->setSpanMs(10 * 60 * 1000);
    m_speedGraph->setHistory(m_controller->speedHistory());
    bar->addWidget(m_speedGraph);
    bar->addSpacing(6);
    m_textNowSpeed = new QLabel(toolbar);
    bar->addWidget(m_textNowSpeed);
    bar->addSpacing(12);
    m_editFilter = new QLineEdit(toolbar);
    ScreenParts::enableClearButton(m_editFilter);
    m_editFilter->setPlaceholderText(localized("SEARCH_TITLE"));
    m_editFilter->setFixedWidth(200);
    bar->addWidget(m_editFilter);
    m_editFilter->setAccessibleName(localized("SEARCH_TITLE"));
    connect(m_actFind, &QAction::triggered, m_editFilter, [this] {
        m_editFilter->setFocus(Qt::ShortcutFocusReason);
        m_editFilter->selectAll();
    });
    layout->addWidget(toolbar);

    auto *table = new QTableView(this);
    table->setModel(m_controller->model());
    table->setSelectionModel(m_controller->selectionModel());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setDefaultSectionSize(92);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(TaskListModel::ColPosition, 64);
    table->setColumnWidth(TaskListModel::ColName, 320);
    table->setColumnWidth(TaskListModel::ColEndTime, 130);
    table->setColumnWidth(TaskListModel::ColStatus, 100);
    table->setColumnHidden(TaskListModel::ColOwner, true);
    table->setItemDelegateForColumn(TaskListModel::ColPercent, new ProgressDelegate(table));
    table->horizontalHeader()->setSortIndicator(TaskListModel::ColPosition, Qt::AscendingOrder);
    // The indicator follows the clicks (the NAS does the sorting); it is set
    // before the base class reads it.
    followSortClicks(table);
    setTableView(table);

    QList<QPair<int, const char *>> columns;
    for (int c = 0; c < TaskListModel::ColumnCount; ++c)
        columns.append({ c, TaskListModel::columnTitleKey(c) });
    m_headerMenu = installColumnMenu(table, columns, this);
    m_headerMenu->actions().value(TaskListModel::ColOwner)->setVisible(false);

    // List above, details below; on resize the details keep their height.
    m_splitView = new QSplitter(Qt::Vertical, this);
    m_splitView->setHandleWidth(8);
    m_splitView->setChildrenCollapsible(false);
    m_details = new TaskDetailsView(m_controller->details(), m_splitView);
    table->setParent(m_splitView);
    m_splitView->addWidget(table);
    m_splitView->addWidget(m_details);
    table->setMinimumHeight(120);
    m_details->setMinimumHeight(120);
    m_splitView->setStretchFactor(0, 1);
    m_splitView->setStretchFactor(1, 0);
    m_splitView->setSizes({ 420, 230 });
    layout->addWidget(m_splitView, 1);
    // A header click in the details sorts there, then the list refreshes
    // and the details with it.
    connect(
        m_details, &TaskDetailsView::sortChanged, m_controller, &TaskListController::refresh_Items);

    m_emptyView = new EmptyView(this);
    m_emptyView->hide();

    // Context menu: Edit, Delete, -, Start, Pause, -, Up, Down.
    m_menuDownload = new QMenu(this);
    for (QAction *a : m_controller->contextMenuActions()) {
        if (a)
            m_menuDownload->addAction(a);
        else
            m_menuDownload->addSeparator();
    }
    installRowMenu(table, m_menuDownload);
    setAcceptDrops(true);
    // An empty list says why: the filter matches nothing, or the category
    // holds no task (nothing before the first list came).
    m_emptyHint = new EmptyViewHint(table, [this]() -> QString {
        if (m_controller->model()->rowCount() > 0 || m_controller->isLoginFailViewShown())
            return {};
        if (!m_controller->filter().isEmpty())
            return stringWithKSTFormat(
                localized("TXT_NO_TASK_MATCHES"), { m_controller->filter().left(80) });
        return m_controller->isListShown() ? localized("TXT_NO_TASK_IN_CATEGORY") : QString();
    });
    connect(m_controller, &TaskListController::listApplied, m_emptyHint, &EmptyViewHint::refresh);

    connect(
        m_editFilter, &QLineEdit::textChanged, m_controller, &TaskListController::on_Edit_Filter);
    connect(m_controller, &TaskListController::filterReset, m_editFilter, [this](const QString &f) {
        const QSignalBlocker quiet(m_editFilter);
        m_editFilter->setText(f);
    });
    connect(m_controller, &TaskListController::nowSpeedChanged, m_textNowSpeed, &QLabel::setText);
    connect(m_controller, &TaskListController::staleChanged, this,
        [this](bool stale, const QDateTime &last) {
            m_textStale->setText(last.isValid() ? stringWithKSTFormat(localized("TXT_LIST_STALE"),
                                     { QLocale().toString(last.time(), QLocale::ShortFormat) })
                                                : localized("TXT_LIST_WAITING"));
            m_textStale->setToolTip(localized("TXT_LIST_STALE_HINT"));
            m_textStale->setVisible(stale);
        });
    connect(m_controller, &TaskListController::administratorChanged, this,
        &DownloadViewController::setAdministrator);
    connect(m_controller, &TaskListController::loginFailViewChanged, this, [this](bool shown) {
        if (shown) {
            m_emptyView->setGeometry(rect());
            m_emptyView->show();
            m_emptyView->raise();
        } else {
            m_emptyView->hide();
        }
    });
    connect(m_controller, &TaskListController::deleteSheetRequested, this,
        &DownloadViewController::ToTorrentDeleteView);
    connect(m_controller, &TaskListController::addSheetRequested, this,
        &DownloadViewController::ToTorrentAddView);
    connect(m_controller, &TaskListController::taskDialogRequested, this,
        &DownloadViewController::ToTaskView);
    connect(m_controller->details(), &TaskDetailsController::trackerSheetRequested, this,
        &DownloadViewController::ToTrackerAddView);
    connect(m_controller, &TaskListController::uploadFileUnreadable, this,
        &DownloadViewController::showUnreadable);
}

void DownloadViewController::setFavObj(std::shared_ptr<FavoriteObject> record)
{
    m_controller->setFavObj(record);
    m_emptyView->setFavObj(std::move(record));
}

void DownloadViewController::setAdministrator(bool administrator)
{
    // Only when the account changes: a column the user hid stays hidden.
    tableView()->setColumnHidden(TaskListModel::ColOwner, !administrator);
    if (QAction *item = m_headerMenu->actions().value(TaskListModel::ColOwner)) {
        item->setVisible(administrator);
        item->setChecked(administrator);
    }
}

namespace {
// Saved header states carry the column count, so a state of another
// version's table is never applied to this one.
constexpr quint32 kListStateVersion = 1;
} // namespace

QByteArray DownloadViewController::saveListState() const
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << kListStateVersion << quint32(TaskListModel::ColumnCount)
      << tableView()->horizontalHeader()->saveState();
    return out;
}

bool DownloadViewController::restoreListState(const QByteArray &state)
{
    QDataStream s(state);
    quint32 version = 0, columns = 0;
    QByteArray header;
    s >> version >> columns >> header;
    if (s.status() != QDataStream::Ok || version != kListStateVersion
        || columns != quint32(TaskListModel::ColumnCount))
        return false;
    QHeaderView *h = tableView()->horizontalHeader();
    const bool ownerHidden = tableView()->isColumnHidden(TaskListModel::ColOwner);
    if (!h->restoreState(header))
        return false;
    // The owner column follows the account, not the saved state.
    tableView()->setColumnHidden(TaskListModel::ColOwner, ownerHidden);
    const QList<QAction *> items = m_headerMenu->actions();
    for (int c = 0; c < items.size(); ++c) {
        const QSignalBlocker block(items.at(c));
        items.at(c)->setChecked(!tableView()->isColumnHidden(c));
    }
    const int column = h->sortIndicatorSection();
    if (column >= 0 && column < TaskListModel::ColumnCount) {
        setSortKey(sortKeyForColumn(column));
        setOrder(h->sortIndicatorOrder() == Qt::AscendingOrder ? QStringLiteral("asc")
                                                               : QStringLiteral("desc"));
        m_controller->setSort(sortKey(), order());
    }
    return true;
}

void DownloadViewController::del()
{
    QAction *remove = m_controller->action(TaskListController::Command::Delete);
    if (remove->isEnabled())
        remove->trigger();
}

QString DownloadViewController::sortKeyForColumn(int column) const
{
    return QString::fromLatin1(TaskListModel::columnKey(column));
}

void DownloadViewController::sortChanged()
{
    m_controller->setSort(sortKey(), order());
}

void DownloadViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

void DownloadViewController::on_Show_Login_Fail_View()
{
    m_controller->on_Show_Login_Fail_View();
}

void DownloadViewController::on_Open_With_Items(
    const QStringList &files, const QStringList &links, std::function<void(bool sent)> done)
{
    m_controller->on_Open_With_Items(files, links, std::move(done));
}

void DownloadViewController::ToTorrentDeleteView()
{
    auto *sheet = new TorrentDeleteViewController;
    QPointer<TaskListController> controller(m_controller);
    sheet->setCompletion([controller](bool ok, const QVariant &mode) {
        if (ok && controller)
            controller->deleteSelected(mode.toInt());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::ToTorrentAddView()
{
    auto *sheet = new TorrentAddViewController(client());
    QPointer<TaskListController> controller(m_controller);
    sheet->setCompletion([controller](bool ok, const QVariant &result) {
        if (ok && controller)
            controller->addFromSheet(result.toMap());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::ToTaskView(const QJsonObject &torrent, qint64 id)
{
    QPointer<TaskListController> controller(m_controller);
    emit taskDialogOpened(DownloadTaskViewController::present(
        this, torrent, id, client(), [controller](bool, const QVariant &) {
            if (controller)
                controller->taskDialogClosed();
        }));
}

void DownloadViewController::ToTrackerAddView(qint64 taskId)
{
    auto *sheet = new TorrentTrackerAddViewController;
    QPointer<TaskDetailsController> details(m_controller->details());
    sheet->setCompletion([details, taskId](bool ok, const QVariant &text) {
        if (ok && details)
            details->addTrackers(taskId, text.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::showUnreadable(const QString &path, const QString &description)
{
    Utility::showAlert(Utility::mainView() ? Utility::mainView() : window(), Utility::Warning,
        localized("ERROR"),
        stringWithKSTFormat(localized("ERROR_TORRENT_FILE_UNREADABLE"),
            { QFileInfo(path).fileName(), description }),
        QString(), localized("OK"), std::function<void(bool)>());
}

void DownloadViewController::dragEnterEvent(QDragEnterEvent *e)
{
    if (m_controller->canAddDropped(e->mimeData()))
        e->acceptProposedAction();
}

void DownloadViewController::dropEvent(QDropEvent *e)
{
    if (m_controller->addDropped(e->mimeData()))
        e->acceptProposedAction();
}

} // namespace flk
