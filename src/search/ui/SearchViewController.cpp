// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchViewController.h"

#include "api/Localization.h"
#include "tasks/ui/DownloadTaskViewController.h"
#include "tasks/ui/MultiDownloadWizardViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

SearchViewController::SearchViewController(QWidget *parent) : SearchViewController(nullptr, parent)
{ }

SearchViewController::SearchViewController(SearchResultController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new SearchResultController(this))
{
    // Over this page only: while the NAS searches, the sidebar, the other
    // pages and the other servers stay usable.
    bindPageController(m_controller, OverlayOver::Self);
    setSortKey(m_controller->sortKey());
    setOrder(m_controller->order());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QWidget(this);
    auto *row = ScreenParts::toolbar(bar);
    m_btnDownload = ScreenParts::toolButton(
        m_controller->actDownload(), QIcon(QStringLiteral(":/images/downloading_icon.svg")), bar);
    m_btnOpen = ScreenParts::toolButton(
        m_controller->actOpen(), QIcon(QStringLiteral(":/images/open.svg")), bar);
    m_btnPreference = ScreenParts::toolButton(
        m_controller->actPreference(), style()->standardIcon(QStyle::SP_FileDialogInfoView), bar);
    row->addWidget(m_btnDownload);
    row->addWidget(m_btnOpen);
    row->addSpacing(12);
    row->addWidget(m_btnPreference);
    row->addSpacing(16);
    m_txtTitle = ScreenParts::pageTitle(bar);
    row->addWidget(m_txtTitle, 1);
    auto *cateLabel = new QLabel(localized("COL_CATEGORY"), bar);
    m_cmbCategory = new QComboBox(bar);
    m_cmbCategory->setMinimumWidth(150);
    cateLabel->setBuddy(m_cmbCategory);
    row->addWidget(cateLabel);
    row->addWidget(m_cmbCategory);
    row->addSpacing(12);
    m_editFilter = new QLineEdit(bar);
    ScreenParts::enableClearButton(m_editFilter);
    m_editFilter->setPlaceholderText(localized("SEARCH_TITLE"));
    m_editFilter->setFixedWidth(200);
    row->addWidget(m_editFilter);
    layout->addWidget(bar);

    QTableView *table
        = ScreenParts::listTable(m_controller->model(), m_controller->selectionModel(), this);
    table->setColumnWidth(SearchResultModel::ColName, 360);
    table->setColumnWidth(SearchResultModel::ColSeeds, 70);
    table->setColumnWidth(SearchResultModel::ColPeer, 70);
    // The NAS sorts by seeds, most first, until a header is clicked.
    table->horizontalHeader()->setSortIndicator(SearchResultModel::ColSeeds, Qt::DescendingOrder);
    layout->addWidget(table, 1);
    setTableView(table);
    QList<QPair<int, const char *>> columns;
    for (int c = 0; c < SearchResultModel::ColumnCount; ++c)
        columns.append({ c, SearchResultModel::columnTitleKey(c) });
    m_menuHeader = installColumnMenu(table, columns, this);
    m_menuRow = new QMenu(this);
    m_menuRow->addAction(m_controller->actDownload());
    m_menuRow->addAction(m_controller->actOpen());
    installRowMenu(table, m_menuRow);
    connect(table, &QTableView::doubleClicked, m_controller, &SearchResultController::on_Download);

    connect(m_cmbCategory, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (!m_showingCategories)
            m_controller->on_Click_Search_Category(t);
    });
    connect(m_editFilter, &QLineEdit::textChanged, m_controller,
        &SearchResultController::on_Edit_Filter);
    connect(m_controller, &SearchResultController::categoriesChanged, this,
        &SearchViewController::showCategories);
    connect(m_controller, &SearchResultController::taskDialogRequested, this,
        &SearchViewController::ToTaskView);
    connect(m_controller, &SearchResultController::multiDownloadRequested, this,
        &SearchViewController::ToMultiDownloadView);
    connect(m_controller, &SearchResultController::openUrlRequested, this,
        [this](const QUrl &url) { Utility::openWebPages(window(), { url }); });
    connect(m_controller, &SearchResultController::linkRefused, this,
        [this](const QStringList &schemes) { Utility::showLinksRefused(window(), schemes); });
    connect(m_controller, &SearchResultController::searchKeyChanged, this, [this] {
        const auto key = m_controller->searchKey();
        ScreenParts::setPageTitle(m_txtTitle,
            key ? stringWithKSTFormat(localized("PAGE_SEARCH_RESULTS"), { *key }) : QString());
    });
    showCategories();
}

void SearchViewController::showCategories()
{
    m_showingCategories = true;
    m_cmbCategory->clear();
    m_cmbCategory->addItems(m_controller->categoryChoices());
    m_cmbCategory->setCurrentIndex(m_controller->categoryIndex());
    m_showingCategories = false;
}

void SearchViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

QString SearchViewController::sortKeyForColumn(int column) const
{
    return m_controller->model()->columnKey(column);
}

void SearchViewController::sortChanged()
{
    m_controller->setSort(sortKey(), order());
}

void SearchViewController::ToTaskView(const QJsonObject &torrent)
{
    emit sheetOpened(DownloadTaskViewController::present(this, torrent, 0, client()));
}

void SearchViewController::ToMultiDownloadView(uint downloadType, const QJsonArray &torrents)
{
    emit sheetOpened(
        MultiDownloadWizardViewController::present(this, client(), downloadType, torrents));
}

} // namespace flk
