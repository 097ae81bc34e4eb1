// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DownloadCategoryViewController.h"

#include "api/Localization.h"
#include "api/Notifications.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

namespace flk {

DownloadCategoryViewController::DownloadCategoryViewController(QWidget *parent)
    : DCBaseViewController(parent),
      m_model(new DownloadEntryModel(this)),
      m_list(new QListView(this))
{
    btnOk()->hide();
    btnCancel()->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *title = new QLabel(localized("DOWNLOAD_TITLE"), this);
    title->setContentsMargins(8, 6, 8, 6);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    m_list->setModel(m_model);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setIconSize(QSize(16, 16));
    m_list->setSpacing(2);
    layout->addWidget(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            if (!current.isValid())
                return;
            emit categoryChanged(m_model->entry(current.row()).category);
        });
    connect(
        m_list, &QListView::clicked, this, [this] { emit featureActivated(kFeatureDownloads); });
    m_list->setCurrentIndex(m_model->index(0));
}

void DownloadCategoryViewController::selectCategory(int row)
{
    m_list->setCurrentIndex(m_model->index(row));
}

void DownloadCategoryViewController::setCounts(const QVariantMap &counts)
{
    m_model->setCounts(counts);
}

} // namespace flk
