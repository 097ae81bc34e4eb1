// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "tasks/DownloadEntryModel.h"
#include "ui/DCBaseViewController.h"

class QListView;

namespace flk {

// The sidebar of task categories with their counts.
class DownloadCategoryViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit DownloadCategoryViewController(QWidget *parent = nullptr);

    DownloadEntryModel *entries() const { return m_model; }
    QListView *listView() const { return m_list; }
    // The counts of the last task list ("all", "downloading", ...).
    void setCounts(const QVariantMap &counts);
    void selectCategory(int row);

signals:
    // The current category row moved (arrow keys or a click).
    void categoryChanged(uint category);
    // A click on a category: the task list page is to be shown.
    void featureActivated(uint feature);

private:
    DownloadEntryModel *m_model;
    QListView *m_list;
};

} // namespace flk
