// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PreferenceController.h"

#include "ScheduleGrid.h"
#include "SearchSiteModel.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/SaveRule.h"

#include <QAction>

#include <QItemSelectionModel>
#include <cmath>

namespace flk {

const QList<PreferenceController::Field> &PreferenceController::fields()
{
    static const QList<Field> f {
        { "maxActive", "max_dl_number", Field::IntText },
        { "enableShareRatio", "enable_share_ratio", Field::Bool },
        { "shareRatio", "share_ratio", Field::Int },
        { "enableAutoRemove", "enable_auto_remove", Field::Bool },
        { "defaultFolder", "default_dl_dir", Field::Text },
        { "tempFolder", "incomplete_dir", Field::Text },
        { "enableWatchFolder", "enable_watch", Field::Bool },
        { "watchFolder", "watch_dir", Field::Text },
        { "enableIgnoreOtherUser", "ignore_other_user", Field::Bool },
        { "enablePushNotification", "enable_apns", Field::Bool },
        { "port", "port", Field::Int },
        { "enableEncrypt", "enable_encryption", Field::Bool },
        { "enableDHT", "enable_dht", Field::Bool },
        { "enableMaxDownloadSpeed", "enable_max_dl_rate", Field::Bool },
        { "maxDownloadSpeed", "max_dl_rate", Field::Int },
        { "enableMaxUploadSpeed", "enable_max_up_rate", Field::Bool },
        { "maxUploadSpeed", "max_up_rate", Field::Int },
        { "maxConnection", "max_conn", Field::Int },
        { "maxPeer", "max_conn_per_peer", Field::Int },
        { "enableMaxHttpSpeed", "enable_http_ftp_speed_limit", Field::Bool },
        { "maxHttpSpeed", "http_ftp_speed_limit", Field::Int },
        // The schedule's three values.
        { "enableTorrentSchedule", "enable_scheduler", Field::Bool },
        { "maxLimitDownloadSpeed", "max_download_speed", Field::Int },
        { "maxLimitUploadSpeed", "max_upload_speed", Field::Int },
    };
    return f;
}

namespace {
bool isScheduleField(const PreferenceController::Field &f)
{
    return QLatin1String(f.property) == QLatin1String("enableTorrentSchedule")
        || QLatin1String(f.property) == QLatin1String("maxLimitDownloadSpeed")
        || QLatin1String(f.property) == QLatin1String("maxLimitUploadSpeed");
}

QVariant readField(const QJsonObject &record, const PreferenceController::Field &f)
{
    const QString member = QString::fromLatin1(f.member);
    switch (f.kind) {
    case PreferenceController::Field::Bool:
        return json::boolValue(record, member);
    case PreferenceController::Field::Int:
        return json::intValue(record, member);
    case PreferenceController::Field::IntText:
        return QString::number(json::intValue(record, member));
    case PreferenceController::Field::Text:
        return json::stringValue(record, member);
    }
    return {};
}

// Whether a member came in the shape its field reads (a member of another
// shape is shown as the field's empty value and must not be saved as that).
bool understood(const QJsonValue &v, const PreferenceController::Field &f)
{
    switch (f.kind) {
    case PreferenceController::Field::Bool:
        return saverule::isFlag(v);
    case PreferenceController::Field::Int:
        return saverule::isWhole(v);
    case PreferenceController::Field::IntText: {
        if (saverule::isWhole(v))
            return true;
        bool ok = false;
        v.toString().toLongLong(&ok);
        return v.isString() && ok;
    }
    case PreferenceController::Field::Text:
        return saverule::isText(v);
    }
    return false;
}

// A day of the schedule as the grid reads it: 24 values from 1 to 4.
bool understoodDay(const QJsonValue &v)
{
    if (!v.isArray() || v.toArray().size() != ScheduleGrid::kColumns)
        return false;
    for (const QJsonValue &h : v.toArray()) {
        const double d = h.toDouble(-1);
        if (!h.isDouble() || d != std::floor(d) || d < 1 || d > 4)
            return false;
    }
    return true;
}

QJsonValue fieldValue(const QVariant &v, const PreferenceController::Field &f)
{
    switch (f.kind) {
    case PreferenceController::Field::Bool:
        return v.toBool();
    case PreferenceController::Field::Int:
        return v.toLongLong();
    case PreferenceController::Field::IntText:
        return v.toString().toLongLong();
    case PreferenceController::Field::Text:
        return v.toString();
    }
    return {};
}
} // namespace

PreferenceController::PreferenceController(QObject *parent)
    : PaneController(parent),
      m_schedule(new ScheduleGrid(this)),
      m_sites(new SearchSiteModel(this)),
      m_siteSelection(new QItemSelectionModel(m_sites, this)),
      m_actAdd(new QAction(localized("TOOL_TIP_ADD"), this)),
      m_actEdit(new QAction(localized("TOOL_TIP_EDIT"), this)),
      m_actDelete(new QAction(localized("TOOL_TIP_DELETE"), this))
{
    for (const Field &f : fields())
        m_values.insert(QString::fromLatin1(f.property),
            f.kind == Field::Bool       ? QVariant(false)
                : f.kind == Field::Int  ? QVariant(qint64(0))
                : f.kind == Field::Text ? QVariant(QString())
                                        : QVariant(QStringLiteral("1")));
    connect(m_siteSelection, &QItemSelectionModel::selectionChanged, this,
        &PreferenceController::updateSiteActions);
    connect(m_actAdd, &QAction::triggered, this, &PreferenceController::on_Add_Search_Site);
    connect(m_actEdit, &QAction::triggered, this, &PreferenceController::on_Edit_Search_Site);
    connect(m_actDelete, &QAction::triggered, this, &PreferenceController::on_Delete_Search_Site);
    updateSiteActions();
}

bool PreferenceController::administrator() const
{
    const std::shared_ptr<CgiCtrl> c = client();
    return c && c->administrator();
}

void PreferenceController::setValue(const QString &property, const QVariant &value)
{
    if (m_values.contains(property))
        m_values.insert(property, value);
}

void PreferenceController::setScheduleType(int type)
{
    m_scheduleType = type;
    m_schedule->set_Schedule_Type(type);
}

QList<QJsonObject> PreferenceController::fetchSites(
    CgiCtrl *c, const QString &key, const QString &order)
{
    Error e;
    QList<QJsonObject> sites;
    if (const auto items = c->get_Search_Site_List(&e); items && !e.isError())
        for (const QJsonValue &v : *items)
            sites.append(json::toObject(v));
    sortSites(sites, key, order);
    return sites;
}

void PreferenceController::sortSites(
    QList<QJsonObject> &sites, const QString &key, const QString &order)
{
    const bool asc = order == QLatin1String("asc");
    std::stable_sort(sites.begin(), sites.end(), [&](const QJsonObject &a, const QJsonObject &b) {
        const QJsonValue x = a.value(key), y = b.value(key);
        int c;
        if (x.isDouble() && y.isDouble())
            c = x.toDouble() < y.toDouble() ? -1 : x.toDouble() > y.toDouble() ? 1 : 0;
        else
            c = QString::compare(json::toString(x), json::toString(y));
        return asc ? c < 0 : c > 0;
    });
}

void PreferenceController::load()
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    const QString key = m_siteSortKey, ord = m_siteOrder;
    overlay()->run(
        [c, key, ord] {
            Loaded out;
            Error pe, se;
            CgiCtrl::Reply pref = c->get_User_Preference(&pe);
            if (pref && !pe.isError())
                out.pref = *pref;
            CgiCtrl::Reply sched = c->get_Torrent_Schedule(&se);
            if (sched && !se.isError())
                out.sched = *sched;
            out.sites = fetchSites(c.get(), key, ord);
            return out;
        },
        [this](Loaded read) { show(read); });
}

QVariantMap PreferenceController::readValues(const std::optional<QJsonObject> &preference,
    const std::optional<QJsonObject> &schedule, QVariantMap current)
{
    for (const Field &f : fields()) {
        const std::optional<QJsonObject> &from = isScheduleField(f) ? schedule : preference;
        if (from)
            current.insert(QString::fromLatin1(f.property), readField(*from, f));
    }
    return current;
}

void PreferenceController::show(const Loaded &read)
{
    // A failed read leaves no record; the fields keep what they had.
    m_pref = read.pref;
    m_sched = read.sched;
    m_values = readValues(m_pref, m_sched, m_values);
    if (m_sched)
        m_schedule->fromRecord(*m_sched);
    m_sites->setSites(read.sites);
    // Every site the NAS has enabled joins the pending set (once).
    QSet<QString> enabled = m_sites->aryEnable();
    for (const QJsonObject &s : read.sites)
        if (json::boolValue(s, u"enable"))
            enabled.insert(json::stringValue(s, u"name"));
    m_sites->setAryEnable(enabled);
    m_loadedValues = m_values;
    m_loadedDays.clear();
    for (int row = 0; row < ScheduleGrid::kRows; ++row)
        m_loadedDays << m_schedule->dayString(row);
    m_loadedEnabled = m_sites->aryEnable();
    updateSiteActions();
    emit valuesChanged();
    emit loaded();
}

void PreferenceController::insertFields(
    QJsonObject &record, const std::optional<QJsonObject> &read, bool schedule) const
{
    // A field goes back as edited when its member was read in its shape or
    // the user changed it; a member read in another shape goes back exactly
    // as the NAS sent it; a member that was not there is not sent.
    for (const Field &f : fields()) {
        if (isScheduleField(f) != schedule)
            continue;
        const QString property = QString::fromLatin1(f.property);
        const QString member = QString::fromLatin1(f.member);
        const QJsonValue sent = read ? read->value(member) : QJsonValue(QJsonValue::Undefined);
        const bool edited = m_values.value(property) != m_loadedValues.value(property);
        switch (saverule::decide(edited, understood(sent, f), !sent.isUndefined(), true)) {
        case saverule::Send::ScreenValue:
            record.insert(member, fieldValue(m_values.value(property), f));
            break;
        case saverule::Send::AsRead:
            record.insert(member, sent);
            break;
        case saverule::Send::Nothing:
            break;
        }
    }
}

QJsonObject PreferenceController::preferenceRecord() const
{
    QJsonObject record;
    insertFields(record, m_pref, false);
    record.insert(QStringLiteral("enable_guide"), true);
    return record;
}

QJsonObject PreferenceController::scheduleRecord() const
{
    QJsonObject record;
    insertFields(record, m_sched, true);
    record.insert(QStringLiteral("enable_max_download_speed"), true);
    record.insert(QStringLiteral("enable_max_upload_speed"), true);
    for (int row = 0; row < ScheduleGrid::kRows; ++row) {
        // A day in a form the grid does not read is drawn at full speed; it
        // goes back only when the user drew it anew.
        const QString key = QString::fromLatin1(ScheduleGrid::dayKey(row));
        const bool edited = m_schedule->dayString(row) != m_loadedDays.value(row);
        if (edited || (m_sched && understoodDay(m_sched->value(key))))
            record.insert(key, m_schedule->dayString(row));
    }
    return record;
}

bool PreferenceController::hasUnsavedChanges() const
{
    if (m_values != m_loadedValues || m_sites->aryEnable() != m_loadedEnabled)
        return true;
    for (int row = 0; row < ScheduleGrid::kRows; ++row)
        if (m_schedule->dayString(row) != m_loadedDays.value(row))
            return true;
    return false;
}

void PreferenceController::apply(bool closeAfter)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    // A section that did not load is never sent: its fields hold no values
    // of the NAS's.
    const std::optional<QJsonObject> pref
        = m_pref ? std::optional<QJsonObject>(preferenceRecord()) : std::nullopt;
    const std::optional<QJsonObject> sched
        = m_sched ? std::optional<QJsonObject>(scheduleRecord()) : std::nullopt;
    QList<QPair<QString, bool>> enables;
    for (const QJsonObject &s : m_sites->rows()) {
        const QString name = json::stringValue(s, u"name");
        enables.append({ name, m_sites->aryEnable().contains(name) });
    }
    const QString key = m_siteSortKey, ord = m_siteOrder;
    overlay()->run(
        [c, pref, sched, enables, closeAfter, key, ord] {
            // Each step runs whatever the one before it gave; the request
            // layer reports a failure.
            Error e;
            bool failed = false;
            if (pref) {
                c->set_User_Preference(*pref, &e);
                failed = failed || e.isError();
            }
            if (sched) {
                c->set_Torrent_Schedule(*sched, &e);
                failed = failed || e.isError();
            }
            for (const auto &[name, on] : enables) {
                c->enable_Search_Site(name, on, &e);
                failed = failed || e.isError();
            }
            Loaded again;
            again.saveFailed = failed;
            // A failed save keeps the sheet open with what the NAS holds now.
            if (!closeAfter || failed) {
                Error pe, se;
                if (const auto p = c->get_User_Preference(&pe); p && !pe.isError())
                    again.pref = *p;
                if (const auto s = c->get_Torrent_Schedule(&se); s && !se.isError())
                    again.sched = *s;
                again.sites = fetchSites(c.get(), key, ord);
            }
            return again;
        },
        [this, closeAfter](Loaded again) {
            if (closeAfter && !again.saveFailed) {
                emit closeRequested();
                return;
            }
            show(again);
            if (again.saveFailed)
                emit saveFailed();
            else
                emit saved();
        });
}

// ---- search sites -----------------------------------------------------------

void PreferenceController::setSiteSort(const QString &key, const QString &order)
{
    m_siteSortKey = key;
    m_siteOrder = order;
    QList<QJsonObject> sites = m_sites->rows();
    sortSites(sites, key, order);
    m_sites->setSites(sites);
}

int PreferenceController::selectedSite() const
{
    const QModelIndexList rows = m_siteSelection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void PreferenceController::updateSiteActions()
{
    const int row = selectedSite();
    const QJsonObject site = row >= 0 ? m_sites->site(row) : QJsonObject();
    m_actEdit->setEnabled(row >= 0 && json::boolValue(site, u"account_support"));
    // Deleting: user-added sites only, by administrators.
    m_actDelete->setEnabled(row >= 0 && json::boolValue(site, u"custom") && administrator());
}

void PreferenceController::on_Add_Search_Site()
{
    if (!overlay()->isShowing())
        emit siteAddRequested();
}

void PreferenceController::refetchSites(std::function<bool(CgiCtrl *)> request)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    struct Outcome {
        bool done = false;
        QList<QJsonObject> sites;
    };
    const QString key = m_siteSortKey, ord = m_siteOrder;
    overlay()->run(
        [c, request, key, ord] {
            Outcome out;
            out.done = request(c.get());
            if (out.done)
                out.sites = fetchSites(c.get(), key, ord);
            return out;
        },
        [this](Outcome out) {
            // The pending enabled set stays as it is: a new site shows
            // unchecked until the next load.
            if (out.done)
                m_sites->setSites(out.sites);
            updateSiteActions();
            emit siteCommandFinished();
        });
}

void PreferenceController::addSite(const QString &path)
{
    if (path.isEmpty())
        return;
    refetchSites([path](CgiCtrl *c) {
        Error e;
        return c->add_Search_Site(path, &e);
    });
}

void PreferenceController::on_Edit_Search_Site()
{
    const int row = selectedSite();
    if (row >= 0 && m_actEdit->isEnabled() && !overlay()->isShowing())
        emit siteEditRequested(m_sites->name(row));
}

void PreferenceController::saveAccount(const QString &name, const QVariantMap &result)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c || name.isEmpty())
        return;
    QJsonObject settings;
    for (const char *key : { "account", "pwd" })
        if (result.contains(QString::fromLatin1(key)))
            settings.insert(
                QString::fromLatin1(key), result.value(QString::fromLatin1(key)).toString());
    overlay()->run(
        [c, name, settings] {
            Error e;
            c->set_Search_Site_Info(name, settings, &e);
        },
        [this] { emit siteCommandFinished(); });
}

void PreferenceController::on_Delete_Search_Site()
{
    const int row = selectedSite();
    if (row < 0 || !m_actDelete->isEnabled())
        return;
    const QString name = m_sites->name(row);
    refetchSites([name](CgiCtrl *c) {
        Error e;
        return c->delete_Search_Site(name, &e);
    });
}

} // namespace flk
