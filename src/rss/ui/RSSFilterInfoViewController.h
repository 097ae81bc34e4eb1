// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ui/DCBaseViewController.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolButton;

class QLabel;

namespace flk {

class CgiCtrl;
class RSSFilterEditor;

// The filter editor inside the filter manager: draws an RSSFilterEditor and
// writes the user's changes to it (feed, include/exclude words, qualities,
// time period, TV-series range, check interval, download folder).
class RSSFilterInfoViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    RSSFilterInfoViewController(RSSFilterEditor *editor, QWidget *parent = nullptr);

    RSSFilterEditor *editor() const { return m_editor; }
    QComboBox *cmbFeed() const { return m_cmbFeed; }
    QLineEdit *editInclude() const { return m_editInclude; }
    QLineEdit *editExclude() const { return m_editExclude; }
    QLineEdit *editQuality() const { return m_editQuality; }
    QMenu *menuQuality() const { return m_menuQuality; }
    QComboBox *cmbTimePeriod() const { return m_cmbTimePeriod; }
    QCheckBox *chkTV() const { return m_chkTV; }
    // Stepper fields by tag: 0 start season, 1 end season, 2 start episode,
    // 3 end episode.
    QSpinBox *tvStepper(int tag) const { return m_tv[tag]; }
    QCheckBox *chkUpdateEvery() const { return m_chkUpdateEvery; }
    QComboBox *cmbUpdateEvery() const { return m_cmbUpdateEvery; }
    QLineEdit *editDir() const { return m_editDir; }
    QPushButton *btnBrowse() const { return m_btnBrowse; }

    void on_Browse();
    void ToFolderSelView();

private:
    void showEditor();
    void showQualities();

    RSSFilterEditor *m_editor;
    QComboBox *m_cmbFeed, *m_cmbTimePeriod, *m_cmbUpdateEvery;
    QLineEdit *m_editInclude, *m_editExclude, *m_editQuality, *m_editDir;
    QToolButton *m_btnQuality;
    QMenu *m_menuQuality;
    QCheckBox *m_chkTV, *m_chkUpdateEvery;
    QGroupBox *m_tvBox;
    QSpinBox *m_tv[4];
    QPushButton *m_btnBrowse;
    bool m_showing = false;
    QLabel *m_txtNoFilter = nullptr;
};

} // namespace flk
