// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/PaneController.h"

#include <QJsonObject>
#include <QSet>
#include <QVariantMap>

#include <optional>

class QAction;
class QItemSelectionModel;

namespace flk {

class ScheduleGrid;
class SearchSiteModel;

// The download preferences of one server, without widgets: loading the
// preference record, the schedule and the search sites; the edited values
// (one property per member, named as the pane names them); the schedule
// grid; the search-site tab's pending enabled set and its commands; and
// applying everything (preferences, schedule, one enable request per site;
// a failed step does not stop the later ones), then loading again (Apply)
// or closing (OK).
class PreferenceController : public PaneController
{
    Q_OBJECT

public:
    explicit PreferenceController(QObject *parent = nullptr);

    // The pane's properties and the preference members they stand for.
    struct Field {
        const char *property;
        const char *member;
        enum Kind { Bool, Int, Text, IntText } kind;
    };
    static const QList<Field> &fields();
    // The pane's values read from the records (a record that is none leaves
    // its fields as in current).
    static QVariantMap readValues(const std::optional<QJsonObject> &preference,
        const std::optional<QJsonObject> &schedule, QVariantMap current);

    bool administrator() const;
    ScheduleGrid *schedule() const { return m_schedule; }
    SearchSiteModel *sites() const { return m_sites; }
    QItemSelectionModel *siteSelection() const { return m_siteSelection; }
    QAction *actAddSite() const { return m_actAdd; }
    QAction *actEditSite() const { return m_actEdit; }
    QAction *actDeleteSite() const { return m_actDelete; }

    const std::optional<QJsonObject> &dicPreference() const { return m_pref; }
    const std::optional<QJsonObject> &dicSchedule() const { return m_sched; }

    QVariant value(const QString &property) const { return m_values.value(property); }
    void setValue(const QString &property, const QVariant &value);
    int scheduleType() const { return m_scheduleType; }
    void setScheduleType(int type);

    // Loading: the three lists under the overlay, then the fields.
    void load();
    // Whether each section loaded (one that did not is never sent).
    bool preferenceLoaded() const { return m_pref.has_value(); }
    bool scheduleLoaded() const { return m_sched.has_value(); }
    // Applying; closeAfter: OK (close) instead of Apply (load again).
    void apply(bool closeAfter);
    QJsonObject preferenceRecord() const;
    QJsonObject scheduleRecord() const;
    // Something was edited since the last load.
    bool hasUnsavedChanges() const;

    // The search-site tab.
    QString siteSortKey() const { return m_siteSortKey; }
    QString siteOrder() const { return m_siteOrder; }
    void setSiteSort(const QString &key, const QString &order);
    int selectedSite() const;
    void on_Add_Search_Site();
    // After the plug-in sheet handed back a file.
    void addSite(const QString &path);
    void on_Edit_Search_Site();
    // After the account sheet handed back {account, pwd}.
    void saveAccount(const QString &name, const QVariantMap &result);
    void on_Delete_Search_Site();

    // Sorts site records by key, "asc" ascending, else descending.
    static void sortSites(QList<QJsonObject> &sites, const QString &key, const QString &order);

signals:
    // The fields show the values again (after a load).
    void valuesChanged();
    void loaded();
    void closeRequested();
    // Apply or OK: everything went to the NAS, or a step was refused (the
    // request layer said why; the sheet stays open, loaded again).
    void saved();
    void saveFailed();
    void siteAddRequested();
    void siteEditRequested(const QString &name);
    void siteCommandFinished();

private:
    struct Loaded {
        std::optional<QJsonObject> pref, sched;
        QList<QJsonObject> sites;
        bool saveFailed = false;
    };
    void insertFields(
        QJsonObject &record, const std::optional<QJsonObject> &read, bool schedule) const;
    void show(const Loaded &read);
    void updateSiteActions();
    static QList<QJsonObject> fetchSites(CgiCtrl *c, const QString &key, const QString &order);
    void refetchSites(std::function<bool(CgiCtrl *)> request);

    ScheduleGrid *m_schedule;
    SearchSiteModel *m_sites;
    QItemSelectionModel *m_siteSelection;
    QAction *m_actAdd, *m_actEdit, *m_actDelete;
    std::optional<QJsonObject> m_pref, m_sched;
    QVariantMap m_values, m_loadedValues;
    QStringList m_loadedDays;
    QSet<QString> m_loadedEnabled;
    int m_scheduleType = 1;
    QString m_siteSortKey = QStringLiteral("id");
    QString m_siteOrder = QStringLiteral("asc");
};

} // namespace flk
