#pragma once

#include "app/DCBaseViewController.h"

#include <QAbstractListModel>
#include <QIcon>

class QListView;

namespace flk {

struct Notification;

// One row of the category list.
struct DownloadEntry {
    QString title;
    QString icon;
    uint category = 0;
    QString name;
    QString identifier;
};

class DownloadEntryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit DownloadEntryModel(QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    const DownloadEntry &entry(int row) const { return m_entries.at(row); }
    // Titles become "name (count)" from the counts keyed by each identifier.
    void setCounts(const QVariantMap &counts);

private:
    QList<DownloadEntry> m_entries;
};

// The sidebar of task categories with their counts.
class DownloadCategoryViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit DownloadCategoryViewController(QWidget *parent = nullptr);

    DownloadEntryModel *entries() const { return m_model; }
    QListView *listView() const { return m_list; }
    void on_Download_Entry_Changed(const Notification &n);
    void selectCategory(int row);

private:
    DownloadEntryModel *m_model;
    QListView *m_list;
};

} // namespace flk
