// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PreferenceViewController.h"

// The search-site tab of the preferences: its table, buttons and menus, and
// the plug-in and account sheets it opens.

#include "ScheduleMatrix.h"
#include "SearchSiteAddViewController.h"
#include "SearchSiteEditViewController.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "preferences/ScheduleGrid.h"
#include "preferences/SearchSiteModel.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/FilterTextField.h"
#include "ui/FolderSelViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

QWidget *PreferenceViewController::buildSearchSites()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *bar = new QWidget(page);
    auto *row = ScreenParts::toolbar(bar);
    m_btnAddSite = ScreenParts::toolButton(
        m_controller->actAddSite(), QIcon(QStringLiteral(":/images/add.svg")), bar);
    m_btnEditSite = ScreenParts::toolButton(
        m_controller->actEditSite(), style()->standardIcon(QStyle::SP_FileDialogDetailedView), bar);
    m_btnDeleteSite = ScreenParts::toolButton(
        m_controller->actDeleteSite(), style()->standardIcon(QStyle::SP_TrashIcon), bar);
    row->addWidget(m_btnAddSite);
    row->addWidget(m_btnEditSite);
    row->addWidget(m_btnDeleteSite);
    row->addStretch();
    layout->addWidget(bar);
    if (!m_controller->administrator())
        m_btnDeleteSite->hide();

    m_siteTable = new QTableView(page);
    m_siteHeader = new CheckBoxHeaderView(m_siteTable);
    m_siteTable->setHorizontalHeader(m_siteHeader);
    m_siteTable->setModel(m_controller->sites());
    m_siteTable->setSelectionModel(m_controller->siteSelection());
    m_siteTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_siteTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_siteTable->setShowGrid(false);
    m_siteTable->setAlternatingRowColors(true);
    m_siteTable->verticalHeader()->hide();
    m_siteTable->verticalHeader()->setDefaultSectionSize(24);
    m_siteHeader->setStretchLastSection(true);
    m_siteTable->setColumnWidth(SearchSiteModel::ColEnable, 32);
    m_siteTable->setColumnWidth(SearchSiteModel::ColName, 180);
    m_siteTable->setColumnWidth(SearchSiteModel::ColUrl, 300);
    layout->addWidget(m_siteTable, 1);
    QObject::connect(m_siteHeader, &CheckBoxHeaderView::checkBoxClicked, this,
        [this] { m_controller->sites()->toggleAll(); });
    QObject::connect(m_siteHeader, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == SearchSiteModel::ColEnable)
            return;
        // The header shows the order a click leaves; the sort is local.
        const bool flip = m_siteHeader->sortIndicatorSection() == section
            && m_siteHeader->sortIndicatorOrder() == Qt::AscendingOrder;
        m_siteHeader->setSortIndicator(section, flip ? Qt::DescendingOrder : Qt::AscendingOrder);
        m_siteHeader->setSortIndicatorShown(true);
        m_controller->setSiteSort(SearchSiteModel::columnKey(section),
            flip ? QStringLiteral("desc") : QStringLiteral("asc"));
    });
    QObject::connect(m_controller->sites(), &SearchSiteModel::enabledChanged, this,
        &PreferenceViewController::showSiteHeader);
    QObject::connect(m_controller->sites(), &QAbstractItemModel::rowsInserted, this,
        &PreferenceViewController::showSiteHeader);
    QObject::connect(m_controller->sites(), &QAbstractItemModel::modelReset, this,
        &PreferenceViewController::showSiteHeader);

    m_menuSite = new QMenu(this);
    m_menuSite->addAction(m_controller->actEditSite());
    m_menuSite->addAction(m_controller->actDeleteSite());
    installRowMenu(m_siteTable, m_menuSite);
    QObject::connect(m_menuSite, &QMenu::aboutToShow, this, [this] {
        // Shown, not just enabled: edit where the site takes an account,
        // delete for an administrator's own plug-ins.
        m_controller->actEditSite()->setVisible(m_controller->actEditSite()->isEnabled());
        m_controller->actDeleteSite()->setVisible(m_controller->actDeleteSite()->isEnabled());
    });
    QObject::connect(m_menuSite, &QMenu::aboutToHide, this, [this] {
        m_controller->actEditSite()->setVisible(true);
        m_controller->actDeleteSite()->setVisible(true);
    });
    m_menuSiteHeader = installColumnMenu(m_siteTable,
        { { SearchSiteModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { SearchSiteModel::ColUrl, QT_TRID_NOOP("COL_URL") },
            { SearchSiteModel::ColVer, QT_TRID_NOOP("COL_VERSION") } },
        this);
    QObject::connect(m_controller, &PreferenceController::siteAddRequested, this,
        &PreferenceViewController::ToSearchSiteAddView);
    QObject::connect(m_controller, &PreferenceController::siteEditRequested, this,
        &PreferenceViewController::ToSearchSiteEditView);
    QObject::connect(m_siteTable, &QTableView::doubleClicked, m_controller,
        &PreferenceController::on_Edit_Search_Site);
    return page;
}

// ---- values -------------------------------------------------------------------

void PreferenceViewController::showSiteHeader()
{
    if (m_siteHeader)
        m_siteHeader->setChecked(m_controller->sites()->headerChecked());
}

void PreferenceViewController::ToSearchSiteAddView()
{
    auto *sheet = new SearchSiteAddViewController;
    QPointer<PreferenceController> controller(m_controller);
    sheet->setCompletion([controller](bool ok, const QVariant &path) {
        if (ok && controller)
            controller->addSite(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
    emit sheetOpened(sheet);
}

void PreferenceViewController::ToSearchSiteEditView(const QString &name)
{
    auto *sheet = new SearchSiteEditViewController(name, client());
    QPointer<PreferenceController> controller(m_controller);
    sheet->setCompletion([controller, name](bool ok, const QVariant &result) {
        if (ok && controller)
            controller->saveAccount(name, result.toMap());
    });
    KSTSheetViewController::presentSheet(this, sheet);
    emit sheetOpened(sheet);
}

} // namespace flk
