// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/KeyedListModel.h"
#include "models/PaneController.h"

#include <QJsonArray>
#include <QJsonObject>

class QItemSelectionModel;

namespace flk {

class RSSFilterEditor;
class RSSFilterPreview;

// The filters of the filter manager: name (editable) and last check, kept by
// id. A name edited here lives in the record until Save sends it.
class RSSFilterTableModel : public KeyedListModel<QJsonObject>
{
    Q_OBJECT

public:
    enum Column { ColName, ColLastCheck, ColumnCount };
    using KeyedListModel::KeyedListModel;

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void setFilters(QList<QJsonObject> filters);
    const QJsonObject &filter(int row) const { return rowAt(row); }
    static QString columnKey(int column);
    // The first row whose member key has value (-1: none).
    int rowWhere(const QString &key, const QJsonValue &value) const;
};

// The filter manager sheet's logic: loading, create, delete, refresh and
// save, each under the manager's overlay; the client-side sort; the editor
// that shows the selected filter. The sheet stays open after a save; a save
// the NAS refuses keeps the user's edits.
class RSSFilterManagerController : public PaneController
{
    Q_OBJECT

public:
    explicit RSSFilterManagerController(QObject *parent = nullptr);

    RSSFilterTableModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    RSSFilterEditor *editor() const { return m_editor; }
    // Which items of the filter's feed the rule as edited would pick.
    RSSFilterPreview *preview() const { return m_preview; }
    void updatePreview();
    // Save is possible exactly while a filter is selected.
    bool canSave() const;
    int selectedRow() const;
    void selectRow(int row);

    QString sortKey() const { return m_sortKey; }
    QString order() const { return m_order; }
    // A header click: the list is sorted here and the selection kept.
    void setSort(const QString &key, const QString &order);
    void refresh_Items();

    // When the sheet has appeared.
    void load();
    // on_Create: the new-filter sheet is wanted; create(name) on its OK.
    void on_Create();
    void create(const QString &name);
    void on_Delete();
    void on_Refresh();
    // Save (the sheet's OK).
    void on_Ok();
    // A name edited in the table.
    void on_Change_Filter_Name(int row, const QString &name);

    // The filter on show was edited (its controls or its name) and not saved.
    bool hasUnsavedChanges() const;
    // Answers to unsavedChangesFound: save the shown filter, then show the
    // wanted row; drop the edits and show it; or stay (the shown filter
    // stays selected).
    void saveThenSelect(int row);
    void discardThenSelect(int row);

    // Sorts records by key, "asc" ascending, else descending.
    static void sortRecords(QList<QJsonObject> &records, const QString &key, const QString &order);

signals:
    void createSheetRequested();
    void canSaveChanged(bool canSave);
    // A command finished (tests and the sheet follow it).
    void commandFinished();
    // Another filter was chosen while the shown one has unsaved edits: the
    // selection stays on the shown one until the user answers.
    void unsavedChangesFound(int wantedRow);
    // A save ended (refused: the edits stay).
    void saveFinished(bool saved);

private:
    struct Lists {
        QList<QJsonObject> filters;
        QJsonArray feeds;
        bool filtersOk = false;
    };
    // The filter and feed lists, fetched on a worker.
    static Lists fetchLists(CgiCtrl *c, bool sorted, const QString &key, const QString &order);
    void show(const Lists &lists);
    void selectionMoved();
    void showFilterAt(int row);

    RSSFilterTableModel *m_model;
    QItemSelectionModel *m_selection;
    RSSFilterEditor *m_editor;
    RSSFilterPreview *m_preview;
    QString m_sortKey = QStringLiteral("id");
    QString m_order = QStringLiteral("asc");
    // The filter the editor shows: its id and its name when it was shown.
    std::optional<qint64> m_shownId;
    QString m_shownName;
    bool m_holdSelection = false;
    int m_selectAfterSave = -1;
};

} // namespace flk
