// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QTimer>

#include "preferences/PreferenceController.h"
#include "ui/DCBaseViewController.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

class QLabel;

namespace flk {

class CgiCtrl;
class CheckBoxHeaderView;
class FilterTextField;
class ScheduleMatrix;

// The download preferences sheet ("ToPreferenceView"): draws a
// PreferenceController in five tabs (General, Connect, Bandwidth, Schedule,
// Search site; three of them only for administrators), with Apply, OK and
// Cancel. Closing with unsaved edits asks first.
class PreferenceViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit PreferenceViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent = nullptr);

    PreferenceController *controller() const { return m_controller; }
    QTabWidget *tabView() const { return m_tabs; }
    ScheduleMatrix *scheduleMatrix() const { return m_matrix; }
    QPushButton *btnApply() const { return m_btnApply; }
    QWidget *viewAdmin() const { return m_viewAdmin; }
    QComboBox *cmbMaxActive() const { return m_cmbMaxActive; }
    // The numeric fields by property name ("port", "shareRatio", ...).
    FilterTextField *numberField(const QString &property) const
    {
        return m_numberFields.value(property);
    }
    QCheckBox *checkBox(const QString &property) const { return m_checkBoxes.value(property); }
    QLineEdit *folderField(const QString &property) const { return m_folderFields.value(property); }
    QRadioButton *scheduleTypeButton(int type) const { return m_typeButtons.value(type); }
    QRadioButton *rdoScheduleAuto() const { return m_rdoAuto; }
    QTableView *siteTable() const { return m_siteTable; }
    CheckBoxHeaderView *siteHeader() const { return m_siteHeader; }
    QMenu *menuSearchSite() const { return m_menuSite; }
    QMenu *menuSearchSiteHeader() const { return m_menuSiteHeader; }
    QToolButton *btnDeleteSearchSite() const { return m_btnDeleteSite; }
    QToolButton *btnEditSearchSite() const { return m_btnEditSite; }

    void on_Ok() override;
    void on_Cancel() override;
    void on_Apply();
    // Browse for one of the three folders ("defaultFolder", "tempFolder",
    // "watchFolder").
    void ToFolderSelView(const QString &property);
    void ToSearchSiteAddView();
    void ToSearchSiteEditView(const QString &name);

    static PreferenceViewController *present(QWidget *presenter, std::shared_ptr<CgiCtrl> client);

signals:
    void sheetOpened(QWidget *sheet);

protected:
    void showEvent(QShowEvent *e) override;

private:
    QWidget *buildGeneral();
    QWidget *buildConnect();
    QWidget *buildBandwidth();
    QWidget *buildSchedule();
    QWidget *buildSearchSites();
    QCheckBox *boundCheck(const QString &property, const char *textKey, QWidget *parent);
    FilterTextField *boundNumber(const QString &property, qint64 max, qint64 min, QWidget *parent);
    QLineEdit *boundFolder(const QString &property, QWidget *parent, QPushButton **browse);
    void showValues();
    void updateEnabling();
    void showSiteHeader();

    PreferenceController *m_controller;
    QTabWidget *m_tabs;
    QPushButton *m_btnApply;
    QLabel *m_txtSaved = nullptr;
    QTimer m_savedTimer;
    QWidget *m_viewAdmin = nullptr;
    QWidget *m_notLoaded = nullptr; // says what could not be read, with Retry
    QList<QPair<QWidget *, bool>> m_sections; // page, and whether it is the schedule's
    QComboBox *m_cmbMaxActive = nullptr;
    QHash<QString, FilterTextField *> m_numberFields;
    QHash<QString, QCheckBox *> m_checkBoxes;
    QHash<QString, QLineEdit *> m_folderFields;
    QHash<int, QRadioButton *> m_typeButtons;
    QRadioButton *m_rdoAuto = nullptr, *m_rdoManual = nullptr;
    ScheduleMatrix *m_matrix = nullptr;
    QTableView *m_siteTable = nullptr;
    CheckBoxHeaderView *m_siteHeader = nullptr;
    QMenu *m_menuSite = nullptr, *m_menuSiteHeader = nullptr;
    QToolButton *m_btnAddSite = nullptr, *m_btnEditSite = nullptr, *m_btnDeleteSite = nullptr;
    bool m_showing = false;
    bool m_loaded = false;
    bool m_closing = false;
};

} // namespace flk
