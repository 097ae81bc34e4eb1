#include "DownloadViewController.h"

#include "TaskDetailsView.h"
#include "TorrentDeleteViewController.h"
#include "TorrentTrackerAddViewController.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/WorkQueue.h"
#include "app/KSTProgressHUDHelper.h"
#include "app/Utility.h"
#include "servers/FavoriteObject.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

EmptyView::EmptyView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
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
    m_button->setStyleSheet(QStringLiteral(
        "QPushButton { background: #2f7dd1; color: white; border-radius: 4px; padding: 5px; }"));
    layout->addSpacing(10);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(m_button, &QPushButton::clicked, this, &EmptyView::on_Reconnect);
}

void EmptyView::on_Reconnect()
{
    const QString hostID = favObj ? favObj->hostID() : QString();
    NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE),
        nullptr, { { QStringLiteral("hostID"), hostID.isNull() ? QStringLiteral("") : hostID } });
}

DownloadViewController::DownloadViewController(QWidget *parent)
    : DCBaseViewController(parent), m_model(new TaskListModel(this))
{
    btnOk()->hide();
    btnCancel()->hide();
    sortKey = QStringLiteral("position");
    order = QStringLiteral("asc");

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *toolbar = new QWidget(this);
    auto *bar = new QHBoxLayout(toolbar);
    bar->setContentsMargins(6, 4, 6, 4);
    auto tool = [&](QStyle::StandardPixmap icon, const char *tip) {
        auto *b = new QToolButton(toolbar);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(localized(tip));
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    m_btnAdd = tool(QStyle::SP_FileIcon, QT_TRID_NOOP("TOOL_TIP_ADD"));
    m_btnAdd->setIcon(QIcon(QStringLiteral(":/images/add.svg")));
    m_btnAdd->setEnabled(false); // until a list has come
    m_btnDelete = tool(QStyle::SP_TrashIcon, QT_TRID_NOOP("TOOL_TIP_DELETE"));
    m_btnStart = tool(QStyle::SP_MediaPlay, QT_TRID_NOOP("TOOL_TIP_START"));
    m_btnPause = tool(QStyle::SP_MediaPause, QT_TRID_NOOP("TOOL_TIP_PAUSE"));
    m_btnUp = tool(QStyle::SP_ArrowUp, QT_TRID_NOOP("TOOL_TIP_UP"));
    m_btnDown = tool(QStyle::SP_ArrowDown, QT_TRID_NOOP("TOOL_TIP_DOWN"));
    bar->addStretch();
    m_textNowSpeed = new QLabel(toolbar);
    bar->addWidget(m_textNowSpeed);
    bar->addSpacing(12);
    m_editFilter = new QLineEdit(toolbar);
    m_editFilter->setClearButtonEnabled(true);
    m_editFilter->setPlaceholderText(localized("SEARCH_TITLE"));
    m_editFilter->setFixedWidth(200);
    bar->addWidget(m_editFilter);
    layout->addWidget(toolbar);

    auto *table = new QTableView(this);
    table->setModel(m_model);
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
    table->horizontalHeader()->setSortIndicator(TaskListModel::ColPosition, Qt::AscendingOrder);
    // The indicator follows the clicks (the NAS does the sorting); it is set
    // before the base class reads it.
    followSortClicks(table);
    setTableView(table);

    QList<QPair<int, const char *>> columns;
    for (int c = 0; c < TaskListModel::ColumnCount; ++c)
        columns.append({ c, TaskListModel::columnTitleKey(c) });
    m_headerMenu = installColumnMenu(table, columns, this);

    // List above, details below; on resize the details keep their height.
    m_splitView = new QSplitter(Qt::Vertical, this);
    m_splitView->setHandleWidth(8);
    m_splitView->setChildrenCollapsible(false);
    m_details = new TaskDetailsView(m_splitView);
    table->setParent(m_splitView);
    m_splitView->addWidget(table);
    m_splitView->addWidget(m_details);
    table->setMinimumHeight(120);
    m_details->setMinimumHeight(120);
    m_splitView->setStretchFactor(0, 1);
    m_splitView->setStretchFactor(1, 0);
    m_splitView->setSizes({ 420, 230 });
    layout->addWidget(m_splitView, 1);
    connect(m_details, &TaskDetailsView::addTrackerRequested, this,
        &DownloadViewController::on_Add_Tracker);
    connect(m_details, &TaskDetailsView::removeTrackerRequested, this,
        &DownloadViewController::on_Remove_Tracker);
    connect(m_details, &TaskDetailsView::contentSortRequested, this,
        [this](const QString &key, const QString &ord) {
            sortKeyContent = key;
            orderContent = ord;
            refresh_Items();
        });
    connect(m_details, &TaskDetailsView::trackerSortRequested, this,
        [this](const QString &key, const QString &ord) {
            sortKeyTracker = key;
            orderTracker = ord;
            refresh_Items();
        });

    m_emptyView = new EmptyView(this);
    m_emptyView->hide();

    // Context menu: Edit, Delete, -, Start, Pause, -, Up, Down.
    m_menuDownload = new QMenu(this);
    connect(m_menuDownload->addAction(localized("TOOL_TIP_EDIT")), &QAction::triggered, this,
        &DownloadViewController::on_Edit_Torrent);
    connect(m_menuDownload->addAction(localized("TOOL_TIP_DELETE")), &QAction::triggered, this,
        &DownloadViewController::on_Delete_Torrent);
    m_menuDownload->addSeparator();
    connect(m_menuDownload->addAction(localized("TOOL_TIP_START")), &QAction::triggered, this,
        &DownloadViewController::on_Start_Torrent);
    connect(m_menuDownload->addAction(localized("TOOL_TIP_PAUSE")), &QAction::triggered, this,
        &DownloadViewController::on_Pause_Torrent);
    m_menuDownload->addSeparator();
    connect(m_menuDownload->addAction(localized("TOOL_TIP_UP")), &QAction::triggered, this,
        &DownloadViewController::on_Torrent_Up);
    connect(m_menuDownload->addAction(localized("TOOL_TIP_DOWN")), &QAction::triggered, this,
        &DownloadViewController::on_Torrent_Down);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &p) {
        // Below the last row: no menu. On a row outside the selection: that
        // row alone becomes the selection first.
        const QModelIndex at = table->indexAt(p);
        if (!at.isValid())
            return;
        if (!table->selectionModel()->isRowSelected(at.row(), {}))
            table->selectRow(at.row());
        m_menuDownload->popup(table->viewport()->mapToGlobal(p));
    });
    connect(m_btnDelete, &QToolButton::clicked, this, &DownloadViewController::on_Delete_Torrent);
    connect(m_btnAdd, &QToolButton::clicked, this, &DownloadViewController::on_Add_Torrent);
    setAcceptDrops(true);

    connect(m_btnStart, &QToolButton::clicked, this, &DownloadViewController::on_Start_Torrent);
    connect(m_btnPause, &QToolButton::clicked, this, &DownloadViewController::on_Pause_Torrent);
    connect(m_btnUp, &QToolButton::clicked, this, &DownloadViewController::on_Torrent_Up);
    connect(m_btnDown, &QToolButton::clicked, this, &DownloadViewController::on_Torrent_Down);
    connect(m_editFilter, &QLineEdit::textChanged, this, &DownloadViewController::on_Edit_Filter);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        updateButtons();
        // A refresh fetches the details once it has restored the selection.
        if (!m_applying)
            _refresh_Contents();
    });
    updateButtons();
}

void DownloadViewController::setFavObj(std::shared_ptr<FavoriteObject> record)
{
    m_favObj = std::move(record);
    m_emptyView->favObj = m_favObj;
}

QString DownloadViewController::sortKeyForColumn(int column) const
{
    return QString::fromLatin1(TaskListModel::columnKey(column));
}

QList<int> DownloadViewController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : tableView()->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DownloadViewController::updateButtons()
{
    const QList<int> rows = selectedRows();
    const bool any = !rows.isEmpty() && !m_emptyView->isVisible();
    // Torrent tasks among the selection: h (plain ones) differs from n.
    const bool torrents = any && !m_model->idStringFromType(rows, QStringLiteral("BT")).isEmpty();
    m_btnDelete->setEnabled(any);
    m_btnStart->setEnabled(any);
    m_btnPause->setEnabled(any);
    m_btnUp->setEnabled(torrents);
    m_btnDown->setEnabled(torrents);
    const QList<QAction *> items = m_menuDownload->actions();
    for (int i : { 1, 3, 4 })
        items[i]->setEnabled(any);
    for (int i : { 0, 6, 7 })
        items[i]->setEnabled(torrents);
}

void DownloadViewController::refresh_Items()
{
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    if (!client || !client->logon())
        return;
    tableView()->setColumnHidden(TaskListModel::ColOwner, !client->administrator());
    m_headerMenu->actions().value(TaskListModel::ColOwner)->setVisible(client->administrator());
    // A slow NAS is not flooded: a refresh waits for the previous one.
    if (m_listInFlight)
        return;
    m_listInFlight = true;
    QPointer<DownloadViewController> self(this);
    const int cat = int(category);
    const QString sort = sortKey, ord = order, filt = filter;
    // The rows shown now (a shared copy): texts that did not change are reused.
    const QList<TaskRow> previous = m_model->rows();
    backgroundQueue()->start([self, handle, client, cat, sort, ord, filt, previous] {
        Error e;
        // The body is decoded here, in one pass, straight into rows.
        TaskListSnapshot decoded;
        CgiCtrl::Reply reply;
        {
            CgiCtrl::ScopedBodyParser parser([&decoded, &previous](const QByteArray &body) {
                return TaskListModel::decodeBody(body, &decoded, previous);
            });
            reply = client->get_Torrent_List(cat, sort, ord, filt, &e);
        }
        std::optional<TaskListSnapshot> snapshot;
        if (reply && !e.isError())
            snapshot = std::move(decoded);
        // The GUI step: the worker waits for it, so replies apply in order.
        QMetaObject::invokeMethod(
            qApp,
            [self, &snapshot] {
                if (!self)
                    return;
                self->m_listInFlight = false;
                if (snapshot)
                    self->applyList(std::move(*snapshot));
            },
            Qt::BlockingQueuedConnection);
    });
}

void DownloadViewController::applyList(TaskListSnapshot snapshot)
{
    m_emptyView->hide();
    m_btnAdd->setEnabled(true);
    // Selection kept by type and id.
    QSet<QString> kept;
    for (int r : selectedRows())
        kept.insert(m_model->row(r).key());
    const int current = currentTaskRow();
    const QString currentKey = current >= 0 ? m_model->row(current).key() : QString();
    const QString dl = snapshot.totalDownload, ul = snapshot.totalUpload;
    const QVariantMap counts = snapshot.counts;
    m_applying = true;
    m_model->apply(std::move(snapshot));

    QItemSelection selection;
    int newCurrent = -1;
    for (int r : m_model->rowsWithKeys(kept)) {
        selection.select(m_model->index(r, 0), m_model->index(r, TaskListModel::ColumnCount - 1));
        if (m_model->row(r).key() == currentKey)
            newCurrent = r;
    }
    QItemSelectionModel *sm = tableView()->selectionModel();
    sm->select(selection, QItemSelectionModel::ClearAndSelect);
    // The current task follows its row when rows move.
    if (newCurrent >= 0 && sm->currentIndex().row() != newCurrent)
        sm->setCurrentIndex(m_model->index(newCurrent,
                                sm->currentIndex().column() < 0 ? 0 : sm->currentIndex().column()),
            QItemSelectionModel::NoUpdate);
    m_applying = false;

    m_textNowSpeed->setText(stringWithKSTFormat(localized("TXT_NOW_SPEED"), { dl, ul }));
    NotificationCenter::defaultCenter()->post(
        QString::fromLatin1(kNOTIFY_DOWNLOAD_ENTRY_UPDATED), this, counts);
    updateButtons();
    _refresh_Contents();
    emit listApplied();
}

void DownloadViewController::on_Category_Changed(const Notification &n)
{
    category = n.userInfo.value(QStringLiteral("category")).toUInt();
    refresh_Items();
}

void DownloadViewController::on_Edit_Filter(const QString &text)
{
    filter = text;
    refresh_Items();
}

void DownloadViewController::on_Show_Login_Fail_View()
{
    category = 0;
    m_emptyView->setGeometry(rect());
    m_emptyView->show();
    m_emptyView->raise();
    m_btnAdd->setEnabled(false);
    updateButtons();
}

void DownloadViewController::runCommand(Command command, int mode)
{
    const std::shared_ptr<CgiCtrl> handle = ctrlCgiHandle();
    CgiCtrl *client = handle ? handle.get() : ctrlCgi();
    const QList<int> rows = selectedRows();
    if (!client || rows.isEmpty())
        return;
    const QString bt = m_model->idStringFromType(rows, QStringLiteral("BT"));
    const QString plain = m_model->idStringFromType(rows, QStringLiteral("HTTP/FTP"));
    const QString all = m_model->idStringFromType(rows, QString());
    QPointer<DownloadViewController> self(this);
    QWidget *over = Utility::mainView() ? Utility::mainView() : this;
    HUD()->show_HUD(
        [handle, client, command, mode, bt, plain, all] {
            // A request whose id list is empty is not sent; the second of a
            // pair goes whatever the first returned.
            Error e;
            switch (command) {
            case Command::Start:
                if (!bt.isEmpty())
                    client->start_Torrent(bt, &e);
                if (!plain.isEmpty())
                    client->start_Download(plain, &e);
                break;
            case Command::Pause:
                if (!bt.isEmpty())
                    client->stop_Torrent(bt, &e);
                if (!plain.isEmpty())
                    client->stop_Download(plain, &e);
                break;
            case Command::Up:
            case Command::Down:
                if (!all.isEmpty())
                    client->change_Torrent_Order(all,
                        command == Command::Up ? QStringLiteral("up") : QStringLiteral("down"), &e);
                break;
            case Command::Delete:
                if (!bt.isEmpty())
                    client->remove_Torrent(bt, mode, &e);
                if (!plain.isEmpty())
                    client->remove_Download(plain, mode, &e);
                break;
            }
        },
        over,
        [self] {
            if (self)
                self->refresh_Items();
        });
}

void DownloadViewController::on_Start_Torrent()
{
    runCommand(Command::Start);
}

void DownloadViewController::on_Pause_Torrent()
{
    runCommand(Command::Pause);
}

void DownloadViewController::on_Torrent_Up()
{
    runCommand(Command::Up);
}

void DownloadViewController::on_Torrent_Down()
{
    runCommand(Command::Down);
}

void DownloadViewController::on_Delete_Torrent()
{
    if (selectedRows().isEmpty() || HUD()->isShowing())
        return;
    ToTorrentDeleteView();
}

void DownloadViewController::ToTorrentDeleteView()
{
    auto *sheet = new TorrentDeleteViewController;
    QPointer<DownloadViewController> self(this);
    sheet->completion = [self](bool ok, const QVariant &mode) {
        if (ok && self)
            self->deleteSelected(mode.toInt());
    };
    KSTSheetViewController::presentSheet(this, sheet);
}

void DownloadViewController::deleteSelected(int mode)
{
    runCommand(Command::Delete, mode);
}

} // namespace flk
