// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterManagerController.h"

#include "RSSFilterPreview.h"
#include "models/TaskIntake.h"

#include "RSSFilterEditor.h"
#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/RowSelection.h"

#include <QItemSelectionModel>

namespace flk {

// ---- the table --------------------------------------------------------------

int RSSFilterTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString RSSFilterTableModel::columnKey(int column)
{
    return column == ColName ? QStringLiteral("name") : QStringLiteral("last_check");
}

QVariant RSSFilterTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return json::stringValue(rowAt(index.row()), columnKey(index.column()));
    return {};
}

bool RSSFilterTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ColName || role != Qt::EditRole)
        return false;
    mutableRows()[index.row()].insert(QStringLiteral("name"), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags RSSFilterTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColName)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant RSSFilterTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == ColName ? localized("COL_NAME") : localized("COL_LAST_CHECK");
}

void RSSFilterTableModel::setFilters(QList<QJsonObject> filters)
{
    updateRows(
        std::move(filters), [](const QJsonObject &f) { return json::intValue(f, u"id"); },
        [](const QJsonObject &a, const QJsonObject &b) { return a == b; });
}

int RSSFilterTableModel::rowWhere(const QString &key, const QJsonValue &value) const
{
    for (int r = 0; r < rowCount(); ++r) {
        const QJsonValue v = rowAt(r).value(key);
        if (v == value || (v.isDouble() && value.isDouble() && v.toInteger() == value.toInteger()))
            return r;
    }
    return -1;
}

// ---- the manager --------------------------------------------------------------

RSSFilterManagerController::RSSFilterManagerController(QObject *parent)
    : PaneController(parent),
      m_model(new RSSFilterTableModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)),
      m_editor(new RSSFilterEditor(this)),
      m_preview(new RSSFilterPreview(this))
{
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
        &RSSFilterManagerController::selectionMoved);
    m_preview->setClientSource([this] { return client(); });
    // The preview follows the editor as the person types.
    connect(m_editor, &RSSFilterEditor::changed, this, &RSSFilterManagerController::updatePreview);
    connect(
        m_editor, &RSSFilterEditor::ruleEdited, this, &RSSFilterManagerController::updatePreview);
}

void RSSFilterManagerController::updatePreview()
{
    const qint64 feed = m_editor->hasFilter() ? m_editor->feedId() : 0;
    m_preview->setRule(m_editor->matchRule());
    if (feed != m_preview->feedId())
        m_preview->loadFeed(feed);
}

bool RSSFilterManagerController::canSave() const
{
    return selectedRow() >= 0;
}

int RSSFilterManagerController::selectedRow() const
{
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void RSSFilterManagerController::selectRow(int row)
{
    if (!selectOnlyRow(m_selection, row))
        m_selection->clearSelection();
}

void RSSFilterManagerController::selectionMoved()
{
    if (m_holdSelection)
        return;
    // With no row selected the editor keeps what it shows.
    const int row = selectedRow();
    if (row >= 0) {
        const qint64 id = json::intValue(m_model->filter(row), u"id");
        if (m_shownId && *m_shownId != id && hasUnsavedChanges()) {
            // Nothing typed is dropped unasked: back to the shown filter.
            const int shown = m_model->rowWhere(QStringLiteral("id"), QJsonValue(*m_shownId));
            if (shown >= 0) {
                m_holdSelection = true;
                selectRow(shown);
                m_holdSelection = false;
                emit unsavedChangesFound(row);
                return;
            }
        }
        showFilterAt(row);
    }
    emit canSaveChanged(canSave());
}

void RSSFilterManagerController::showFilterAt(int row)
{
    const QJsonObject &filter = m_model->filter(row);
    m_shownId = json::intValue(filter, u"id");
    m_shownName = json::stringValue(filter, u"name");
    m_editor->setRSSFilterInfo(filter);
}

bool RSSFilterManagerController::hasUnsavedChanges() const
{
    if (!m_shownId)
        return false;
    if (m_editor->isEdited())
        return true;
    const int row = m_model->rowWhere(QStringLiteral("id"), QJsonValue(*m_shownId));
    return row >= 0 && json::stringValue(m_model->filter(row), u"name") != m_shownName;
}

void RSSFilterManagerController::saveThenSelect(int row)
{
    const QJsonValue wanted = row >= 0 && row < m_model->rowCount()
        ? m_model->filter(row).value(QLatin1String("id"))
        : QJsonValue();
    m_selectAfterSave = wanted.isUndefined() ? -1 : int(json::toInt(wanted));
    on_Ok();
}

void RSSFilterManagerController::discardThenSelect(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    // The edited name goes back to what it was.
    if (m_shownId) {
        const int shown = m_model->rowWhere(QStringLiteral("id"), QJsonValue(*m_shownId));
        if (shown >= 0)
            m_model->setData(
                m_model->index(shown, RSSFilterTableModel::ColName), m_shownName, Qt::EditRole);
    }
    m_shownId.reset();
    selectRow(row);
}

void RSSFilterManagerController::sortRecords(
    QList<QJsonObject> &records, const QString &key, const QString &order)
{
    const bool asc = order == QLatin1String("asc");
    std::stable_sort(
        records.begin(), records.end(), [&](const QJsonObject &a, const QJsonObject &b) {
            const QJsonValue x = a.value(key), y = b.value(key);
            int c;
            if (x.isDouble() && y.isDouble())
                c = x.toDouble() < y.toDouble() ? -1 : x.toDouble() > y.toDouble() ? 1 : 0;
            else
                c = QString::compare(json::toString(x), json::toString(y));
            return asc ? c < 0 : c > 0;
        });
}

void RSSFilterManagerController::setSort(const QString &key, const QString &order)
{
    m_sortKey = key;
    m_order = order;
    refresh_Items();
}

void RSSFilterManagerController::refresh_Items()
{
    // The list as it is (edited names included), sorted; kept by id, so the
    // selected filter stays selected.
    QList<QJsonObject> records = m_model->rows();
    sortRecords(records, m_sortKey, m_order);
    m_model->setFilters(records);
}

RSSFilterManagerController::Lists RSSFilterManagerController::fetchLists(
    CgiCtrl *c, bool sorted, const QString &key, const QString &order)
{
    Lists out;
    Error e;
    if (const auto filters = c->get_RSS_Filter_List(&e); filters && !e.isError()) {
        out.filtersOk = true;
        for (const QJsonValue &v : json::toArray(*filters))
            out.filters.append(json::toObject(v));
        if (sorted)
            sortRecords(out.filters, key, order);
    }
    Error fe;
    if (const auto feeds = c->get_RSS_Feed_List(QStringLiteral("id"), QStringLiteral("asc"), &fe);
        feeds && !fe.isError())
        out.feeds = json::toArray(*feeds);
    return out;
}

void RSSFilterManagerController::show(const Lists &lists)
{
    m_editor->setRSSFeedList(lists.feeds);
    m_model->setFilters(lists.filters);
}

void RSSFilterManagerController::load()
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    // The first load keeps the order received.
    overlay()->run([c] { return fetchLists(c.get(), false, {}, {}); },
        [this](Lists lists) {
            show(lists);
            emit canSaveChanged(canSave());
            emit commandFinished();
        });
}

void RSSFilterManagerController::on_Create()
{
    if (!overlay()->isShowing())
        emit createSheetRequested();
}

void RSSFilterManagerController::create(const QString &name)
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c || name.isEmpty())
        return;
    const QString key = m_sortKey, ord = m_order;
    struct Outcome {
        bool added = false;
        Lists lists;
    };
    overlay()->run(
        [c, name, key, ord] {
            Outcome out;
            Error pe;
            const QString folder = TaskIntake::defaultFolder(c.get(), &pe)
                                       .value_or(QString::fromLatin1(TaskIntake::kStandardFolder));
            Error e;
            out.added = c->add_RSS_Filter(name, folder, &e);
            if (out.added)
                out.lists = fetchLists(c.get(), true, key, ord);
            return out;
        },
        [this, name](Outcome out) {
            if (out.added) {
                show(out.lists);
                selectRow(m_model->rowWhere(QStringLiteral("name"), name));
            }
            emit canSaveChanged(canSave());
            emit commandFinished();
        });
}

void RSSFilterManagerController::on_Delete()
{
    const int row = selectedRow();
    const std::shared_ptr<CgiCtrl> c = client();
    if (row < 0 || !c)
        return;
    const qint64 id = json::intValue(m_model->filter(row), u"id");
    const QString key = m_sortKey, ord = m_order;
    struct Outcome {
        bool deleted = false;
        Lists lists;
    };
    overlay()->run(
        [c, id, key, ord] {
            Outcome out;
            Error e;
            out.deleted = c->delete_RSS_Filter(id, &e);
            if (out.deleted)
                out.lists = fetchLists(c.get(), true, key, ord);
            return out;
        },
        [this](Outcome out) {
            if (out.deleted)
                show(out.lists);
            emit canSaveChanged(canSave());
            emit commandFinished();
        });
}

void RSSFilterManagerController::on_Refresh()
{
    const std::shared_ptr<CgiCtrl> c = client();
    if (!c)
        return;
    const int row = selectedRow();
    const QJsonValue id
        = row >= 0 ? m_model->filter(row).value(QStringLiteral("id")) : QJsonValue();
    const QString key = m_sortKey, ord = m_order;
    overlay()->run([c, key, ord] { return fetchLists(c.get(), true, key, ord); },
        [this, id](Lists lists) {
            // A failed fetch empties the list. Refresh asks the NAS again on
            // purpose: what it gives replaces any edits.
            m_holdSelection = true;
            show(lists);
            const int again = id.isUndefined() ? -1 : m_model->rowWhere(QStringLiteral("id"), id);
            selectRow(again);
            m_holdSelection = false;
            // Shown again from the NAS's copy, even when the row stayed.
            if (again >= 0)
                showFilterAt(again);
            emit canSaveChanged(canSave());
            emit commandFinished();
        });
}

void RSSFilterManagerController::on_Ok()
{
    const int row = selectedRow();
    const std::shared_ptr<CgiCtrl> c = client();
    if (row < 0 || !c)
        return;
    const QJsonObject record = m_model->filter(row);
    const qint64 id = json::intValue(record, u"id");
    const QString name = json::stringValue(record, u"name");
    const QVariantMap info = m_editor->get_Filter_Edit_Info();
    const QString key = m_sortKey, ord = m_order;
    struct Outcome {
        bool saved = false;
        Lists lists;
    };
    overlay()->run(
        [c, id, name, info, key, ord] {
            Outcome out;
            Error e;
            out.saved = c->edit_RSS_Filter(id, name, info, &e);
            if (out.saved)
                out.lists = fetchLists(c.get(), true, key, ord);
            return out;
        },
        [this, id](Outcome out) {
            // Refused: nothing is fetched again, so the edits stay on screen.
            const int next = m_selectAfterSave;
            m_selectAfterSave = -1;
            if (out.saved) {
                m_shownId.reset();
                m_holdSelection = true;
                show(out.lists);
                m_holdSelection = false;
                // The filter that was asked for while editing, else the saved one.
                int again
                    = next >= 0 ? m_model->rowWhere(QStringLiteral("id"), QJsonValue(next)) : -1;
                if (again < 0)
                    again = m_model->rowWhere(QStringLiteral("id"), QJsonValue(id));
                m_holdSelection = true;
                selectRow(again);
                m_holdSelection = false;
                if (again >= 0)
                    showFilterAt(again);
            }
            emit canSaveChanged(canSave());
            emit saveFinished(out.saved);
            emit commandFinished();
        });
}

void RSSFilterManagerController::on_Change_Filter_Name(int row, const QString &name)
{
    if (row >= 0 && row < m_model->rowCount())
        m_model->setData(m_model->index(row, RSSFilterTableModel::ColName), name, Qt::EditRole);
}

} // namespace flk
