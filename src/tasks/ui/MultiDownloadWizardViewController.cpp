// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "MultiDownloadWizardViewController.h"

#include "models/TaskIntake.h"

#include "DownloadTaskViewController.h"
#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "tasks/MultiDownloadResultModel.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

namespace {
QWidget *legend(const QString &icon, const char *key, QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    auto *image = new QLabel(w);
    image->setPixmap(QIcon(icon).pixmap(16, 16));
    h->addWidget(image);
    h->addWidget(new QLabel(localized(key), w));
    return w;
}
} // namespace

MultiDownloadWizardViewController *MultiDownloadWizardViewController::present(QWidget *presenter,
    std::shared_ptr<CgiCtrl> client, uint downloadType, const QJsonArray &aryTorrents)
{
    auto *wizard
        = new MultiDownloadWizardViewController(std::move(client), downloadType, aryTorrents);
    KSTSheetViewController::presentSheet(presenter, wizard);
    return wizard;
}

MultiDownloadWizardViewController::MultiDownloadWizardViewController(
    std::shared_ptr<CgiCtrl> client, uint type, const QJsonArray &torrents, QWidget *parent)
    : KSTSheetViewController(parent),
      m_downloadType(type),
      m_aryTorrents(torrents),
      m_client(std::move(client)),
      m_hud(new KSTProgressHUDHelper(this)),
      m_model(new MultiDownloadResultModel(this))
{
    m_hud->setViewProvider([this] { return this; });
    setWindowTitle(localized("MULTI_DOWNLOAD_TITLE"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(localized("MULTI_DOWNLOAD_TITLE"), this);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    m_pages = new QStackedWidget(this);

    // "SelMode"
    auto *mode = new QWidget(m_pages);
    mode->setObjectName(QStringLiteral("SelMode"));
    auto *mv = new QVBoxLayout(mode);
    m_auto = new QRadioButton(localized("MULTI_DOWNLOAD_BTN_AUTO"), mode);
    m_manual = new QRadioButton(localized("MULTI_DOWNLOAD_BTN_MANUAL"), mode);
    auto *group = new QButtonGroup(this);
    group->addButton(m_auto, 0);
    group->addButton(m_manual, 1);
    m_auto->setChecked(true);
    for (auto [button, key] : { std::pair { m_auto, QT_TRID_NOOP("MULTI_DOWNLOAD_DESC_AUTO") },
             std::pair { m_manual, QT_TRID_NOOP("MULTI_DOWNLOAD_DESC_MANUAL") } }) {
        mv->addWidget(button);
        auto *desc = new QLabel(localized(key), mode);
        desc->setWordWrap(true);
        desc->setContentsMargins(24, 0, 0, 8);
        mv->addWidget(desc);
    }
    mv->addStretch();
    m_pages->addWidget(mode);

    // "SelTorrent"
    auto *result = new QWidget(m_pages);
    result->setObjectName(QStringLiteral("SelTorrent"));
    auto *rv = new QVBoxLayout(result);
    m_desc = new QLabel(result);
    m_desc->setWordWrap(true);
    rv->addWidget(m_desc);
    m_header = CheckBoxHeaderView::makeTable(m_model, result, &m_table);
    m_table->setColumnWidth(MultiDownloadResultModel::ColCheck, 34);
    m_header->setStretchLastSection(true);
    m_header->setChecked(true);
    rv->addWidget(m_table, 1);
    auto *legends = new QHBoxLayout;
    m_successDesc = legend(QStringLiteral(":/images/btn_yes_n.svg"),
        QT_TRID_NOOP("MULTI_DOWNLOAD_DESC_PROCESS_SUCCESS"), result);
    m_failDesc = legend(QStringLiteral(":/images/btn_no_n.svg"),
        QT_TRID_NOOP("MULTI_DOWNLOAD_DESC_PROCESS_FAIL"), result);
    legends->addWidget(m_successDesc);
    legends->addWidget(m_failDesc);
    legends->addStretch();
    rv->addLayout(legends);
    m_pages->addWidget(result);

    layout->addWidget(m_pages, 1);
    layout->addWidget(buttonRow());
    setMinimumSize(480, 380);
    btnOk()->setText(localized("NEXT"));

    connect(m_header, &CheckBoxHeaderView::checkBoxClicked, this, [this](bool wasChecked) {
        if (!m_model->manual())
            return;
        m_model->checkAll(!wasChecked);
    });
    connect(m_model, &MultiDownloadResultModel::checkChanged, this,
        [this] { m_header->setChecked(m_model->allChecked()); });
}

bool MultiDownloadWizardViewController::manualMode() const
{
    return m_manual->isChecked();
}

void MultiDownloadWizardViewController::setManualMode(bool manual)
{
    (manual ? m_manual : m_auto)->setChecked(true);
}

QString MultiDownloadWizardViewController::currentPage() const
{
    return m_pages->currentWidget()->objectName();
}

void MultiDownloadWizardViewController::showResultPage()
{
    const bool manual = manualMode();
    m_model->setManual(manual);
    m_pages->setCurrentIndex(1);
    btnOk()->setText(localized(manual ? "START" : "COMPLETE"));
    m_desc->setText(
        localized(manual ? "MULTI_DOWNLOAD_DESC_SEL_TORRENT" : "MULTI_DOWNLOAD_DESC_AUTO_RESULT"));
    m_header->setCheckBoxVisible(manual);
    // Manual: only failures are marked, so only their legend shows.
    m_successDesc->setVisible(!manual);
}

void MultiDownloadWizardViewController::on_Ok()
{
    if (m_hud->isShowing())
        return;
    if (currentPage() == QLatin1String("SelMode")) {
        showResultPage();
        runBatch();
        return;
    }
    if (!m_model->manual()) {
        KSTSheetViewController::on_Ok();
        return;
    }
    on_Start_Multi_Download(-1);
}

void MultiDownloadWizardViewController::runBatch()
{
    if (m_batchRan)
        return;
    m_batchRan = true;
    m_table->setEnabled(false);
    btnOk()->setEnabled(false);
    btnCancel()->setEnabled(false);
    std::shared_ptr<CgiCtrl> client = m_client;
    const bool manual = manualMode();
    const uint type = m_downloadType;
    const QJsonArray torrents = m_aryTorrents;
    m_hud->commands()->run(
        [client, manual, type, torrents] {
            return TaskIntake::addBatch(client.get(), torrents, manual, type);
        },
        [this](QList<QJsonObject> records) {
            m_model->setRecords(records);
            m_table->setEnabled(true);
            btnOk()->setEnabled(true);
            btnCancel()->setEnabled(true);
            emit batchFinished();
        });
}

void MultiDownloadWizardViewController::on_Start_Multi_Download(int row)
{
    const QList<QJsonObject> &records = m_model->records();
    for (int next = row + 1; next < records.size(); ++next) {
        if (!m_model->indexSet().contains(next))
            continue;
        if (MultiDownloadResultModel::succeeded(records.at(next))) {
            ToTaskView({ { QStringLiteral("info"), records.at(next) },
                { QStringLiteral("index"), next } });
            return;
        }
    }
    NotificationCenter::defaultCenter()->post(
        QString::fromLatin1(kNOTIFY_DOWNLOAD_REFRESH_ITEMS), nullptr, {});
    KSTSheetViewController::on_Ok();
}

void MultiDownloadWizardViewController::ToTaskView(const QVariantMap &sender)
{
    const int index = sender.value(QStringLiteral("index")).toInt();
    QPointer<MultiDownloadWizardViewController> self(this);
    emit taskDialogOpened(DownloadTaskViewController::present(this,
        sender.value(QStringLiteral("info")).toJsonObject(), 0, m_client,
        [self, index](bool, const QVariant &) {
            if (self)
                self->on_Start_Multi_Download(index);
        }));
}

} // namespace flk
