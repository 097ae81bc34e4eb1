// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PreferenceViewController.h"

#include "ScheduleMatrix.h"
#include "SearchSiteAddViewController.h"
#include "SearchSiteEditViewController.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "preferences/ScheduleGrid.h"
#include "preferences/SearchSiteModel.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/FilterTextField.h"
#include "ui/FolderSelViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

namespace {
const QString kDigits = QStringLiteral("0123456789");

QLabel *descriptionLabel(const char *key, QWidget *parent)
{
    auto *l = new QLabel(localized(key), parent);
    l->setWordWrap(true);
    l->setForegroundRole(QPalette::PlaceholderText);
    return l;
}
} // namespace

PreferenceViewController::PreferenceViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : DCBaseViewController(parent), m_controller(new PreferenceController(this))
{
    setWindowTitle(localized("MITEM_PREFERENCES"));
    setCtrlCgi(std::move(client));
    bindSheetController(m_controller);
    HUD()->setText(localized("LOADING"));

    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildGeneral(), localized("PREFER_TAB_GENERAL"));
    const bool admin = m_controller->administrator();
    QWidget *connect = buildConnect(), *bandwidth = buildBandwidth(), *schedule = buildSchedule();
    if (admin) {
        m_tabs->addTab(connect, localized("PREFER_TAB_CONNECT"));
        m_tabs->addTab(bandwidth, localized("PREFER_TAB_BANDWIDTH"));
        m_tabs->addTab(schedule, localized("PREFER_TAB_SCHEDULE"));
    } else {
        // Not an administrator: those settings are the NAS's, not the user's.
        connect->hide();
        bandwidth->hide();
        schedule->hide();
        m_viewAdmin->hide();
    }
    m_tabs->addTab(buildSearchSites(), localized("PREFER_TAB_SEARCH_SITE"));
    m_sections = { { m_tabs->widget(0), false }, { connect, false }, { bandwidth, false },
        { schedule, true } };
    // What could not be read is not editable (and not saved) until it is.
    m_notLoaded = new QWidget(this);
    auto *notLoaded = new QHBoxLayout(m_notLoaded);
    notLoaded->setContentsMargins(0, 0, 0, 0);
    auto *notLoadedText = new QLabel(localized("PREFER_NOT_LOADED"), m_notLoaded);
    notLoadedText->setWordWrap(true);
    notLoaded->addWidget(notLoadedText, 1);
    auto *retry = new QPushButton(localized("RETRY"), m_notLoaded);
    retry->setObjectName(QStringLiteral("retry"));
    notLoaded->addWidget(retry);
    QObject::connect(retry, &QPushButton::clicked, m_controller, &PreferenceController::load);
    m_notLoaded->hide();
    layout->addWidget(m_notLoaded);
    layout->addWidget(m_tabs, 1);
    QObject::connect(m_controller, &PreferenceController::loaded, this, [this] {
        const bool pref = m_controller->preferenceLoaded(), sched = m_controller->scheduleLoaded();
        for (const auto &[page, isSchedule] : m_sections)
            page->setEnabled(isSchedule ? sched : pref);
        m_notLoaded->setVisible(!pref || !sched);
    });

    auto *buttons = buttonRow();
    m_btnApply = new QPushButton(localized("APPLY"), buttons);
    static_cast<QHBoxLayout *>(buttons->layout())->insertWidget(1, m_btnApply);
    // Apply says it worked: "Saved" beside the buttons for a few seconds.
    m_txtSaved = new QLabel(localized("PREFER_SAVED"), buttons);
    m_txtSaved->setObjectName(QStringLiteral("textSaved"));
    m_txtSaved->setAccessibleName(localized("PREFER_SAVED"));
    m_txtSaved->hide();
    static_cast<QHBoxLayout *>(buttons->layout())->insertWidget(0, m_txtSaved);
    m_savedTimer.setSingleShot(true);
    m_savedTimer.setInterval(4000);
    QObject::connect(&m_savedTimer, &QTimer::timeout, m_txtSaved, &QWidget::hide);
    QObject::connect(m_controller, &PreferenceController::saved, this, [this] {
        m_txtSaved->show();
        m_savedTimer.start();
    });
    QObject::connect(m_controller, &PreferenceController::saveFailed, m_txtSaved, &QWidget::hide);
    layout->addWidget(buttons);
    QObject::connect(m_btnApply, &QPushButton::clicked, this, &PreferenceViewController::on_Apply);
    QObject::connect(m_controller, &PreferenceController::valuesChanged, this,
        &PreferenceViewController::showValues);
    QObject::connect(m_controller, &PreferenceController::closeRequested, this, [this] {
        m_closing = true;
        DCBaseViewController::on_Ok();
    });
    setMinimumSize(760, 560);
    showValues();
}

PreferenceViewController *PreferenceViewController::present(
    QWidget *presenter, std::shared_ptr<CgiCtrl> client)
{
    auto *sheet = new PreferenceViewController(std::move(client));
    KSTSheetViewController::presentSheet(presenter, sheet);
    return sheet;
}

void PreferenceViewController::showEvent(QShowEvent *e)
{
    DCBaseViewController::showEvent(e);
    if (!m_loaded) {
        m_loaded = true;
        m_controller->load();
    }
}

// ---- building ---------------------------------------------------------------

QCheckBox *PreferenceViewController::boundCheck(
    const QString &property, const char *textKey, QWidget *parent)
{
    auto *box = new QCheckBox(localized(textKey), parent);
    m_checkBoxes.insert(property, box);
    QObject::connect(box, &QCheckBox::toggled, this, [this, property](bool on) {
        if (m_showing)
            return;
        m_controller->setValue(property, on);
        updateEnabling();
    });
    return box;
}

FilterTextField *PreferenceViewController::boundNumber(
    const QString &property, qint64 max, qint64 min, QWidget *parent)
{
    auto *field = new FilterTextField(parent);
    field->set_Acceptable_CharacterSet(kDigits);
    field->set_Max_Value(max);
    if (min > 0)
        field->set_Min_Value(min);
    field->setMaximumWidth(120);
    m_numberFields.insert(property, field);
    QObject::connect(field, &QLineEdit::textChanged, this, [this, property](const QString &t) {
        if (!m_showing)
            m_controller->setValue(property, t.toLongLong());
    });
    return field;
}

QLineEdit *PreferenceViewController::boundFolder(
    const QString &property, QWidget *parent, QPushButton **browse)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *field = new QLineEdit(row);
    field->setReadOnly(true);
    *browse = new QPushButton(localized("BROWSE"), row);
    layout->addWidget(field, 1);
    layout->addWidget(*browse);
    m_folderFields.insert(property, field);
    QObject::connect(
        *browse, &QPushButton::clicked, this, [this, property] { ToFolderSelView(property); });
    return field;
}

QWidget *PreferenceViewController::buildGeneral()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);

    auto *boxTask = new QGroupBox(localized("PREFER_BOX_TASK"), page);
    auto *taskLayout = new QVBoxLayout(boxTask);
    m_viewAdmin = new QWidget(boxTask);
    auto *adminForm = new QFormLayout(m_viewAdmin);
    adminForm->setContentsMargins(0, 0, 0, 0);
    m_cmbMaxActive = new QComboBox(m_viewAdmin);
    for (int i = 1; i <= 50; ++i)
        m_cmbMaxActive->addItem(QString::asprintf("%d", i));
    QObject::connect(
        m_cmbMaxActive, &QComboBox::currentTextChanged, this, [this](const QString &t) {
            if (!m_showing)
                m_controller->setValue(QStringLiteral("maxActive"), t);
        });
    adminForm->addRow(localized("PREFER_TXT_MAX_ACTIVE"), m_cmbMaxActive);
    auto *shareRow = new QHBoxLayout;
    shareRow->addWidget(
        boundCheck(QStringLiteral("enableShareRatio"), "PREFER_CHK_SHARE_RATIO", m_viewAdmin));
    shareRow->addWidget(boundNumber(QStringLiteral("shareRatio"), 999999, 0, m_viewAdmin));
    shareRow->addStretch();
    adminForm->addRow(shareRow);
    taskLayout->addWidget(m_viewAdmin);
    taskLayout->addWidget(
        boundCheck(QStringLiteral("enableAutoRemove"), "PREFER_CHK_AUTO_REMOVE", boxTask));
    layout->addWidget(boxTask);

    auto *boxDir = new QGroupBox(localized("PREFER_BOX_DIR"), page);
    auto *dirForm = new QFormLayout(boxDir);
    QPushButton *browse = nullptr;
    dirForm->addRow(localized("PREFER_TXT_DIR"),
        boundFolder(QStringLiteral("defaultFolder"), boxDir, &browse)->parentWidget());
    dirForm->addRow(localized("PREFER_TXT_TEMP_DIR"),
        boundFolder(QStringLiteral("tempFolder"), boxDir, &browse)->parentWidget());
    dirForm->addRow(descriptionLabel("PREFER_TXT_WATCH_DIR_DESC", boxDir));
    dirForm->addRow(
        boundCheck(QStringLiteral("enableWatchFolder"), "PREFER_CHK_WATCH_DIR", boxDir));
    dirForm->addRow(localized("PREFER_TXT_WATCH_DIR"),
        boundFolder(QStringLiteral("watchFolder"), boxDir, &browse)->parentWidget());
    dirForm->addRow(boundCheck(
        QStringLiteral("enableIgnoreOtherUser"), "PREFER_CHK_IGNORE_OTHER_USER", boxDir));
    layout->addWidget(boxDir);

    auto *boxPush = new QGroupBox(localized("PREFER_BOX_PUSH_NOTIFY"), page);
    auto *pushLayout = new QVBoxLayout(boxPush);
    pushLayout->addWidget(descriptionLabel("PREFER_TXT_PUSH_NOTIFY_DESC", boxPush));
    pushLayout->addWidget(
        boundCheck(QStringLiteral("enablePushNotification"), "PREFER_CHK_PUSH_NOTIFY", boxPush));
    layout->addWidget(boxPush);
    layout->addStretch();
    return page;
}

QWidget *PreferenceViewController::buildConnect()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *boxPort = new QGroupBox(localized("PREFER_BOX_PORT"), page);
    auto *portForm = new QFormLayout(boxPort);
    portForm->addRow(
        // A listening port is 1 to 65535 (a larger one cannot be listened on).
        localized("PREFER_TXT_PORT"), boundNumber(QStringLiteral("port"), 65535, 1, boxPort));
    layout->addWidget(boxPort);
    auto *boxEncrypt = new QGroupBox(localized("PREFER_BOX_ENCRYPT"), page);
    (new QVBoxLayout(boxEncrypt))
        ->addWidget(boundCheck(QStringLiteral("enableEncrypt"), "PREFER_TXT_ENCRYPT", boxEncrypt));
    layout->addWidget(boxEncrypt);
    auto *boxDht = new QGroupBox(localized("PREFER_BOX_DHT"), page);
    (new QVBoxLayout(boxDht))
        ->addWidget(boundCheck(QStringLiteral("enableDHT"), "PREFER_TXT_DHT", boxDht));
    layout->addWidget(boxDht);
    layout->addStretch();
    return page;
}

QWidget *PreferenceViewController::buildBandwidth()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    // A check box standing as the label of its field, so the fields line up.
    auto speedRow = [&](QFormLayout *form, QWidget *box, const QString &check, const char *key,
                        const QString &value) {
        form->addRow(boundCheck(check, key, box), boundNumber(value, 999999, 0, box));
    };
    auto *boxSpeed = new QGroupBox(localized("PREFER_BOX_TORRENT_SPEED"), page);
    auto *speedForm = new QFormLayout(boxSpeed);
    speedRow(speedForm, boxSpeed, QStringLiteral("enableMaxDownloadSpeed"),
        "PREFER_CHK_MAX_DL_SPEED", QStringLiteral("maxDownloadSpeed"));
    speedRow(speedForm, boxSpeed, QStringLiteral("enableMaxUploadSpeed"), "PREFER_CHK_MAX_UL_SPEED",
        QStringLiteral("maxUploadSpeed"));
    layout->addWidget(boxSpeed);
    auto *boxConnect = new QGroupBox(localized("PREFER_BOX_TORRENT_CONNECT"), page);
    auto *connectForm = new QFormLayout(boxConnect);
    connectForm->addRow(localized("PREFER_TXT_MAX_CONNECT"),
        boundNumber(QStringLiteral("maxConnection"), 9999, 0, boxConnect));
    connectForm->addRow(localized("PREFER_TXT_MAX_PEER"),
        boundNumber(QStringLiteral("maxPeer"), 9999, 0, boxConnect));
    layout->addWidget(boxConnect);
    auto *boxHttp = new QGroupBox(localized("PREFER_HTTP_FTP_SPEED"), page);
    speedRow(new QFormLayout(boxHttp), boxHttp, QStringLiteral("enableMaxHttpSpeed"),
        "PREFER_CHK_MAX_HTTP_FTP_SPEED", QStringLiteral("maxHttpSpeed"));
    layout->addWidget(boxHttp);
    layout->addStretch();
    return page;
}

QWidget *PreferenceViewController::buildSchedule()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *onOff = new QHBoxLayout;
    m_rdoAuto = new QRadioButton(localized("SCHEDULE_RDO_AUTO"), page);
    m_rdoManual = new QRadioButton(localized("SCHEDULE_RDO_MANUAL"), page);
    auto *group = new QButtonGroup(page);
    group->addButton(m_rdoAuto);
    group->addButton(m_rdoManual);
    onOff->addWidget(m_rdoAuto);
    onOff->addWidget(m_rdoManual);
    onOff->addStretch();
    layout->addLayout(onOff);
    QObject::connect(m_rdoAuto, &QRadioButton::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_controller->setValue(QStringLiteral("enableTorrentSchedule"), on);
        updateEnabling();
    });

    m_matrix = new ScheduleMatrix(m_controller->schedule(), page);
    layout->addWidget(m_matrix, 1);
    QObject::connect(m_matrix, &ScheduleMatrix::rowButtonClicked, this,
        [this](int row) { m_matrix->set_Schedule_Row(m_controller->scheduleType(), row); });
    QObject::connect(m_matrix, &ScheduleMatrix::columnButtonClicked, this,
        [this](int col) { m_matrix->set_Schedule_Col(m_controller->scheduleType(), col); });
    QObject::connect(m_matrix, &ScheduleMatrix::allButtonClicked, this,
        [this] { m_matrix->set_All_Schedule(m_controller->scheduleType()); });

    // The type chooser is also the legend: each type's pattern and name.
    auto *types = new QHBoxLayout;
    auto *typeGroup = new QButtonGroup(page);
    const int order[4] = { ScheduleGrid::DefaultSpeed, ScheduleGrid::Stop, ScheduleGrid::LimitSpeed,
        ScheduleGrid::SeedOnly };
    for (int type : order) {
        auto *rdo = new QRadioButton(ScheduleMatrix::typeName(type), page);
        rdo->setIcon(ScheduleMatrix::typeIcon(type));
        rdo->setIconSize(QSize(20, 16));
        typeGroup->addButton(rdo, type);
        types->addWidget(rdo);
        m_typeButtons.insert(type, rdo);
    }
    types->addStretch();
    layout->addLayout(types);
    m_typeButtons.value(ScheduleGrid::DefaultSpeed)->setChecked(true);
    QObject::connect(typeGroup, &QButtonGroup::idClicked, this,
        [this](int type) { m_controller->setScheduleType(type); });

    auto *limits = new QFormLayout;
    auto limitRow = [&](const QString &property) {
        auto *row = new QHBoxLayout;
        row->addWidget(boundNumber(property, 999999, 0, page));
        row->addStretch();
        return row;
    };
    limits->addRow(localized("SCHEDULE_CHK_LIMIT_DL_SPEED"),
        limitRow(QStringLiteral("maxLimitDownloadSpeed")));
    limits->addRow(
        localized("SCHEDULE_CHK_LIMIT_UL_SPEED"), limitRow(QStringLiteral("maxLimitUploadSpeed")));
    layout->addLayout(limits);
    return page;
}

void PreferenceViewController::showValues()
{
    m_showing = true;
    for (auto it = m_checkBoxes.cbegin(); it != m_checkBoxes.cend(); ++it)
        (*it)->setChecked(m_controller->value(it.key()).toBool());
    for (auto it = m_numberFields.cbegin(); it != m_numberFields.cend(); ++it)
        (*it)->setValueText(QString::number(m_controller->value(it.key()).toLongLong()));
    for (auto it = m_folderFields.cbegin(); it != m_folderFields.cend(); ++it)
        (*it)->setText(m_controller->value(it.key()).toString());
    m_cmbMaxActive->setCurrentText(m_controller->value(QStringLiteral("maxActive")).toString());
    const bool scheduleOn = m_controller->value(QStringLiteral("enableTorrentSchedule")).toBool();
    m_rdoAuto->setChecked(scheduleOn);
    m_rdoManual->setChecked(!scheduleOn);
    m_showing = false;
    updateEnabling();
    showSiteHeader();
}

void PreferenceViewController::updateEnabling()
{
    auto follows = [this](const char *check, const char *field) {
        if (QWidget *w = m_numberFields.value(QString::fromLatin1(field)))
            w->setEnabled(m_controller->value(QString::fromLatin1(check)).toBool());
    };
    follows("enableShareRatio", "shareRatio");
    follows("enableMaxDownloadSpeed", "maxDownloadSpeed");
    follows("enableMaxUploadSpeed", "maxUploadSpeed");
    follows("enableMaxHttpSpeed", "maxHttpSpeed");
    const bool watch = m_controller->value(QStringLiteral("enableWatchFolder")).toBool();
    if (QLineEdit *w = m_folderFields.value(QStringLiteral("watchFolder")))
        w->parentWidget()->setEnabled(watch);
    const bool scheduleOn = m_controller->value(QStringLiteral("enableTorrentSchedule")).toBool();
    if (m_matrix)
        m_matrix->setEnabled(scheduleOn);
}

// ---- commands ---------------------------------------------------------------

void PreferenceViewController::on_Apply()
{
    m_controller->apply(false);
}

void PreferenceViewController::on_Ok()
{
    // Saves, then closes (closeRequested).
    m_controller->apply(true);
}

void PreferenceViewController::on_Cancel()
{
    if (m_closing || !m_controller->hasUnsavedChanges() || HUD()->isShowing()) {
        DCBaseViewController::on_Cancel();
        return;
    }
    QPointer<PreferenceViewController> self(this);
    Utility::confirmDestructive(window(), localized("CONFIRM"), localized("PREFER_DISCARD_CHANGES"),
        localized("DISCARD"), [self](bool discard) {
            if (discard && self) {
                self->m_closing = true;
                self->DCBaseViewController::on_Cancel();
            }
        });
}

void PreferenceViewController::ToFolderSelView(const QString &property)
{
    auto *sheet = new FolderSelViewController(client());
    QPointer<PreferenceViewController> self(this);
    sheet->setCompletion([self, property](bool ok, const QVariant &path) {
        if (!ok || !self)
            return;
        self->m_controller->setValue(property, path.toString());
        self->m_folderFields.value(property)->setText(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
    emit sheetOpened(sheet);
}

} // namespace flk
