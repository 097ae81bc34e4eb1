#include "DownloadCategoryViewController.h"

#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

namespace flk {

DownloadEntryModel::DownloadEntryModel(QObject *parent) : QAbstractListModel(parent)
{
    const struct {
        const char *nameKey, *icon, *identifier;
    } rows[] = { { QT_TRID_NOOP("ITEM_CATE_ALL"), "all_icon", "all" },
        { QT_TRID_NOOP("ITEM_CATE_DOWNLOADING"), "downloading_icon", "downloading" },
        { QT_TRID_NOOP("ITEM_CATE_COMPLETED"), "complete_icon", "completed" },
        { QT_TRID_NOOP("ITEM_CATE_ACTIVE"), "active_icon", "active" },
        { QT_TRID_NOOP("ITEM_CATE_INACTIVE"), "inactive_icon", "inactive" } };
    uint category = 0;
    for (const auto &r : rows) {
        DownloadEntry e;
        e.name = localized(r.nameKey);
        e.icon = QString::fromLatin1(r.icon);
        e.category = category++;
        e.identifier = QString::fromLatin1(r.identifier);
        e.title = QStringLiteral("%1 (%2)").arg(e.name).arg(0);
        m_entries.append(e);
    }
}

int DownloadEntryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DownloadEntryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const DownloadEntry &e = m_entries[index.row()];
    if (role == Qt::DisplayRole)
        return e.title;
    if (role == Qt::DecorationRole)
        return QIcon(QStringLiteral(":/images/%1.svg").arg(e.icon));
    return {};
}

void DownloadEntryModel::setCounts(const QVariantMap &counts)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        DownloadEntry &e = m_entries[i];
        e.title
            = QStringLiteral("%1 (%2)").arg(e.name).arg(counts.value(e.identifier).toLongLong());
    }
    emit dataChanged(index(0), index(int(m_entries.size()) - 1), { Qt::DisplayRole });
}

DownloadCategoryViewController::DownloadCategoryViewController(QWidget *parent)
    : DCBaseViewController(parent),
      m_model(new DownloadEntryModel(this)),
      m_list(new QListView(this))
{
    btnOk()->hide();
    btnCancel()->hide();
    setProperty("flkFeatureSource", true);
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
            NotificationCenter::defaultCenter()->post(
                QString::fromLatin1(kNOTIFY_DOWNLOAD_CATEGORY_CHANGED), this,
                { { QStringLiteral("category"), m_model->entry(current.row()).category } });
        });
    connect(m_list, &QListView::clicked, this, [this] {
        NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_FEATURE_ACTIVED),
            this, { { QStringLiteral("feature"), uint(kFeatureDownloads) } });
    });
    m_list->setCurrentIndex(m_model->index(0));
}

void DownloadCategoryViewController::selectCategory(int row)
{
    m_list->setCurrentIndex(m_model->index(row));
}

void DownloadCategoryViewController::on_Download_Entry_Changed(const Notification &n)
{
    m_model->setCounts(n.userInfo);
}

} // namespace flk
