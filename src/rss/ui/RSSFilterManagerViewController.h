// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <functional>

#include "rss/RSSFilterManagerController.h"
#include "ui/DCBaseViewController.h"

#include <memory>

class QMenu;
class QPushButton;

namespace flk {

class CgiCtrl;
class RSSFilterInfoViewController;

// The filter manager sheet ("ToRSSFilterView"): the NAS's filters with
// Create, Delete and Refresh, the editor of the selected filter, Save (which
// keeps the sheet open) and Close.
class RSSFilterManagerViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit RSSFilterManagerViewController(
        std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    RSSFilterManagerController *controller() const { return m_controller; }
    RSSFilterInfoViewController *infoViewController() const { return m_info; }
    QMenu *menuRSSFilterHeader() const { return m_menuHeader; }
    QPushButton *btnCreate() const { return m_btnCreate; }
    QPushButton *btnDelete() const { return m_btnDelete; }
    QPushButton *btnRefresh() const { return m_btnRefresh; }

    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void sortChanged() override;
    // Save: the sheet stays open.
    void on_Ok() override;
    // Close: asks first when the shown filter has unsaved edits.
    void on_Cancel() override;
    void ToRSSFilterAddView();

    static RSSFilterManagerViewController *present(
        QWidget *presenter, std::shared_ptr<CgiCtrl> client);

protected:
    void showEvent(QShowEvent *e) override;

private:
    enum class Answer { Save, Discard, Keep };
    void askAboutUnsaved(std::function<void(Answer)> answer);

    RSSFilterManagerController *m_controller;
    RSSFilterInfoViewController *m_info;
    QMenu *m_menuHeader;
    QPushButton *m_btnCreate, *m_btnDelete, *m_btnRefresh;
    bool m_loaded = false;
    bool m_closeAfterSave = false;
};

} // namespace flk
