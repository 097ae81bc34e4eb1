// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterInfoViewController.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "rss/RSSFilterEditor.h"
#include "ui/FolderSelViewController.h"
#include "ui/StayOpenMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

RSSFilterInfoViewController::RSSFilterInfoViewController(RSSFilterEditor *editor, QWidget *parent)
    : DCBaseViewController(parent), m_editor(editor)
{
    btnOk()->hide();
    btnCancel()->hide();
    auto *form = new QFormLayout(this);
    form->setContentsMargins(12, 8, 12, 8);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // With no filter chosen the editor says how to get one.
    m_txtNoFilter = new QLabel(
        stringWithKSTFormat(localized("FILTER_NONE_SELECTED"), { localized("CREATE") }), this);
    m_txtNoFilter->setObjectName(QStringLiteral("textNoFilter"));
    m_txtNoFilter->setWordWrap(true);
    form->addRow(m_txtNoFilter);

    m_cmbFeed = new QComboBox(this);
    form->addRow(localized("FILTER_TXT_FEED"), m_cmbFeed);
    m_editInclude = new QLineEdit(this);
    form->addRow(localized("FILTER_TXT_INCLUDE"), m_editInclude);
    m_editExclude = new QLineEdit(this);
    form->addRow(localized("FILTER_TXT_EXCLUDE"), m_editExclude);

    auto *qualityRow = new QHBoxLayout;
    m_editQuality = new QLineEdit(this);
    m_editQuality->setReadOnly(true);
    m_btnQuality = new QToolButton(this);
    m_btnQuality->setText(QStringLiteral("…"));
    m_btnQuality->setPopupMode(QToolButton::InstantPopup);
    m_btnQuality->setAccessibleName(localized("FILTER_TXT_QUALITY"));
    // Several qualities are ticked in one go: the menu stays open.
    m_menuQuality = new StayOpenMenu(this);
    for (const QString &q : CgiCtrl::rssQualityNames()) {
        QAction *a = m_menuQuality->addAction(q);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, q] {
            if (!m_showing)
                m_editor->toggleQuality(q);
        });
    }
    m_btnQuality->setMenu(m_menuQuality);
    qualityRow->addWidget(m_editQuality, 1);
    qualityRow->addWidget(m_btnQuality);
    form->addRow(localized("FILTER_TXT_QUALITY"), qualityRow);

    m_cmbTimePeriod = new QComboBox(this);
    m_cmbTimePeriod->addItems(RSSFilterEditor::timePeriodTexts());
    form->addRow(localized("FILTER_TXT_TIME_PERIOD"), m_cmbTimePeriod);

    m_chkTV = new QCheckBox(localized("FILTER_CHK_TV"), this);
    form->addRow(m_chkTV);
    m_tvBox = new QGroupBox(this);
    auto *grid = new QGridLayout(m_tvBox);
    grid->addWidget(new QLabel(localized("COL_SEASON"), m_tvBox), 0, 1);
    grid->addWidget(new QLabel(localized("COL_EPISODE"), m_tvBox), 0, 2);
    grid->addWidget(new QLabel(localized("FILTER_TXT_START"), m_tvBox), 1, 0);
    grid->addWidget(new QLabel(localized("FILTER_TXT_END"), m_tvBox), 2, 0);
    for (int tag = 0; tag < 4; ++tag) {
        auto *spin = new QSpinBox(m_tvBox);
        spin->setRange(1, 9999);
        spin->setAccessibleName(localized(tag % 2 == 0 ? "FILTER_TXT_START" : "FILTER_TXT_END")
            + QLatin1Char(' ') + localized(tag < 2 ? "COL_SEASON" : "COL_EPISODE"));
        m_tv[tag] = spin;
        // Tags: 0 start season, 1 end season, 2 start episode, 3 end episode.
        grid->addWidget(spin, 1 + tag % 2, 1 + tag / 2);
        connect(spin, &QSpinBox::valueChanged, this, [this, tag](int v) {
            if (!m_showing)
                m_editor->on_Change_TV_Number(tag, v);
        });
    }
    grid->setColumnStretch(3, 1);
    form->addRow(m_tvBox);

    auto *checkRow = new QHBoxLayout;
    m_chkUpdateEvery = new QCheckBox(localized("FILTER_CHK_CHECK_INTERVAL"), this);
    m_cmbUpdateEvery = new QComboBox(this);
    m_cmbUpdateEvery->addItems(RSSFilterEditor::checkIntervalTexts());
    checkRow->addWidget(m_chkUpdateEvery);
    checkRow->addWidget(m_cmbUpdateEvery, 1);
    form->addRow(checkRow);

    auto *dirRow = new QHBoxLayout;
    m_editDir = new QLineEdit(this);
    m_btnBrowse = new QPushButton(localized("BROWSE"), this);
    dirRow->addWidget(m_editDir, 1);
    dirRow->addWidget(m_btnBrowse);
    form->addRow(localized("FILTER_TXT_SAVE_TO"), dirRow);

    // The user's edits go to the editor state.
    connect(m_cmbFeed, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (!m_showing)
            m_editor->setFeedName(t);
    });
    connect(m_editInclude, &QLineEdit::textEdited, m_editor, &RSSFilterEditor::setInclude);
    connect(m_editExclude, &QLineEdit::textEdited, m_editor, &RSSFilterEditor::setExclude);
    connect(m_cmbTimePeriod, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_showing)
            m_editor->setTimePeriodIndex(i);
    });
    connect(m_chkTV, &QCheckBox::toggled, this, [this](bool on) {
        m_tvBox->setEnabled(on);
        if (!m_showing)
            m_editor->setTvEnabled(on);
    });
    connect(m_chkUpdateEvery, &QCheckBox::toggled, this, [this](bool on) {
        m_cmbUpdateEvery->setEnabled(on);
        if (!m_showing)
            m_editor->setCheckEnabled(on);
    });
    connect(m_cmbUpdateEvery, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_showing)
            m_editor->setCheckIntervalIndex(i);
    });
    connect(m_editDir, &QLineEdit::textEdited, m_editor, &RSSFilterEditor::setFolder);
    connect(m_btnBrowse, &QPushButton::clicked, this, &RSSFilterInfoViewController::on_Browse);
    connect(m_editor, &RSSFilterEditor::changed, this, &RSSFilterInfoViewController::showEditor);
    connect(m_editor, &RSSFilterEditor::qualitiesChanged, this,
        &RSSFilterInfoViewController::showQualities);
    showEditor();
    showQualities();
}

void RSSFilterInfoViewController::showEditor()
{
    m_showing = true;
    m_cmbFeed->clear();
    m_cmbFeed->addItems(m_editor->feedTitles());
    // A feed that is not offered shows as no feed.
    m_cmbFeed->setCurrentIndex(int(m_editor->feedTitles().indexOf(m_editor->feedName())));
    if (m_editInclude->text() != m_editor->include())
        m_editInclude->setText(m_editor->include());
    if (m_editExclude->text() != m_editor->exclude())
        m_editExclude->setText(m_editor->exclude());
    m_cmbTimePeriod->setCurrentIndex(m_editor->timePeriodIndex());
    m_chkTV->setChecked(m_editor->tvEnabled());
    m_tvBox->setEnabled(m_editor->tvEnabled());
    for (int tag = 0; tag < 4; ++tag)
        m_tv[tag]->setValue(m_editor->tvNumberText(tag).toInt());
    m_chkUpdateEvery->setChecked(m_editor->checkEnabled());
    m_cmbUpdateEvery->setEnabled(m_editor->checkEnabled());
    m_cmbUpdateEvery->setCurrentIndex(m_editor->checkIntervalIndex());
    if (m_editDir->text() != m_editor->folder())
        m_editDir->setText(m_editor->folder());
    setEnabled(m_editor->hasFilter());
    m_txtNoFilter->setVisible(!m_editor->hasFilter());
    m_showing = false;
}

void RSSFilterInfoViewController::showQualities()
{
    m_showing = true;
    for (QAction *a : m_menuQuality->actions())
        a->setChecked(m_editor->isQualityMarked(a->text()));
    m_editQuality->setText(m_editor->qualitySummary());
    m_showing = false;
}

void RSSFilterInfoViewController::on_Browse()
{
    ToFolderSelView();
}

void RSSFilterInfoViewController::ToFolderSelView()
{
    auto *sheet = new FolderSelViewController(client());
    QPointer<RSSFilterInfoViewController> self(this);
    sheet->setCompletion([self](bool ok, const QVariant &path) {
        if (!ok || !self)
            return;
        self->m_editDir->setText(path.toString());
        self->m_editor->setFolder(path.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

} // namespace flk
