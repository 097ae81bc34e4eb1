// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "UtilUAppDelegate.h"

#include "UninstallRun.h"
#include "api/Localization.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace sweepdeck {

using flk::localized;
using flk::stringWithKSTFormat;

namespace {
QLabel *wrapped(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel *iconLabel(const QIcon &icon, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setPixmap(icon.pixmap(64, 64));
    l->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    l->setFixedWidth(80);
    return l;
}
} // namespace

UtilUAppDelegate::UtilUAppDelegate(const Installation &installation,
    const std::optional<UninstallKeys> &keys, const QString &keysError, QWidget *parent)
    : QWidget(parent), m_installation(installation), m_keys(keys), m_tabs(new QStackedWidget(this))
{
    m_strTargetAppName = keys ? keys->targetAppName : QStringLiteral("Ferrylink");
    setWindowTitle(keys ? keys->bundleName : QStringLiteral("Sweepdeck"));
    const QIcon icon = targetIcon();
    setWindowIcon(icon);
    m_tabs->addWidget(buildConfirmPage(icon));
    m_tabs->addWidget(buildProgressPage(icon));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    setMinimumSize(560, 280);

    if (!keys) {
        m_txtError->setText(stringWithKSTFormat(localized("UNINSTALL_NO_KEYS"), { keysError }));
        m_txtError->show();
        m_txtNote->hide();
        m_txtWillRemove->hide();
        m_listWillRemove->hide();
        m_btnUninstall->setEnabled(false);
        m_chkRemovePrefer->setEnabled(false);
        return;
    }
    if (!m_installation.readManifest()) {
        m_txtNote->setText(
            stringWithKSTFormat(localized("UNINSTALL_NO_MANIFEST"), { m_strTargetAppName }));
    }
    showWillRemove();
    m_run = new UninstallRun(m_installation, *keys, this);
    connect(m_run, &UninstallRun::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_run, &UninstallRun::stateChanged, this, [this](UninstallRun::State s) {
        const bool idle = s == UninstallRun::State::Idle;
        m_btnUninstall->setEnabled(idle);
        m_chkRemovePrefer->setEnabled(idle);
        if (s == UninstallRun::State::Running)
            m_tabs->setCurrentIndex(1);
    });
    connect(
        m_run, &UninstallRun::authorisationEnded, this, &UtilUAppDelegate::onAuthorisationEnded);
    connect(m_run, &UninstallRun::finished, this, &UtilUAppDelegate::onFinished);
}

QIcon UtilUAppDelegate::targetIcon() const
{
    const QString name = m_keys ? m_keys->targetIconFile : QString();
    if (!name.isEmpty()) {
        const QString resource = QStringLiteral(":/sweepdeck/%1.svg").arg(name);
        if (QFileInfo::exists(resource))
            return QIcon(resource);
        const QString installed = m_installation.prefix()
            + QStringLiteral("/share/icons/hicolor/scalable/apps/%1.svg").arg(name);
        if (QFileInfo::exists(installed))
            return QIcon(installed);
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.isNull())
            return themed;
    }
    // The application's own icon, built in.
    if (QFileInfo::exists(QStringLiteral(":/sweepdeck/ferrylink.svg")))
        return QIcon(QStringLiteral(":/sweepdeck/ferrylink.svg"));
    return style()->standardIcon(QStyle::SP_TrashIcon);
}

QWidget *UtilUAppDelegate::buildConfirmPage(const QIcon &icon)
{
    auto *page = new QWidget(m_tabs);
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(20, 20, 20, 16);
    auto *row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(iconLabel(icon, page));
    auto *text = new QVBoxLayout;
    m_txtDesc
        = wrapped(stringWithKSTFormat(localized("UNINSTALL_DESC"), { m_strTargetAppName }), page);
    QFont big = m_txtDesc->font();
    big.setPointSizeF(big.pointSizeF() * 1.15);
    big.setBold(true);
    m_txtDesc->setFont(big);
    text->addWidget(m_txtDesc);
    m_txtNote = wrapped(localized("UNINSTALL_AUTH_NOTE"), page);
    m_txtNote->setForegroundRole(QPalette::PlaceholderText);
    text->addWidget(m_txtNote);
    text->addSpacing(8);
    m_chkRemovePrefer = new QCheckBox(localized("UNINSTALL_REMOVE_PREFER"), page);
    text->addWidget(m_chkRemovePrefer);
    // What will go, listed before anything goes.
    m_txtWillRemove = wrapped(localized("UNINSTALL_WILL_REMOVE"), page);
    text->addWidget(m_txtWillRemove);
    m_listWillRemove = new QPlainTextEdit(page);
    m_listWillRemove->setObjectName(QStringLiteral("listWillRemove"));
    m_listWillRemove->setReadOnly(true);
    m_listWillRemove->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_listWillRemove->setMaximumHeight(120);
    text->addWidget(m_listWillRemove);
    m_txtError = wrapped(QString(), page);
    // A red that reads on light and dark windows alike.
    QPalette warn = m_txtError->palette();
    const bool dark = warn.color(QPalette::Window).lightness() < 128;
    warn.setColor(QPalette::WindowText, dark ? QColor(0xff, 0x7b, 0x72) : QColor(0xc0, 0x1c, 0x28));
    m_txtError->setPalette(warn);
    m_txtError->hide();
    text->addWidget(m_txtError);
    text->addStretch();
    row->addLayout(text, 1);
    outer->addLayout(row, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_btnQuit = new QPushButton(localized("QUIT"), page);
    m_btnUninstall = new QPushButton(localized("UNINSTALL"), page);
    // Destructive: never the default button; Quit is (Escape quits too).
    m_btnUninstall->setAutoDefault(false);
    m_btnQuit->setDefault(true);
    buttons->addWidget(m_btnQuit);
    buttons->addWidget(m_btnUninstall);
    outer->addLayout(buttons);
    connect(m_btnQuit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_btnUninstall, &QPushButton::clicked, this, &UtilUAppDelegate::onUninstall);
    connect(m_chkRemovePrefer, &QCheckBox::toggled, this, &UtilUAppDelegate::showWillRemove);
    return page;
}

QWidget *UtilUAppDelegate::buildProgressPage(const QIcon &icon)
{
    auto *page = new QWidget(m_tabs);
    page->setObjectName(QStringLiteral("TabProgress"));
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(20, 20, 20, 16);
    auto *row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(iconLabel(icon, page));
    auto *text = new QVBoxLayout;
    m_txtUninstalling = wrapped(
        stringWithKSTFormat(localized("UNINSTALL_PROCESSING"), { m_strTargetAppName }), page);
    text->addWidget(m_txtUninstalling);
    m_progress = new QProgressBar(page);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    text->addWidget(m_progress);
    m_txtPackages = wrapped(QString(), page);
    m_txtPackages->hide();
    text->addWidget(m_txtPackages);
    m_txtFailures = wrapped(localized("UNINSTALL_FAILED_ITEMS"), page);
    m_txtFailures->hide();
    text->addWidget(m_txtFailures);
    m_listFailures = new QPlainTextEdit(page);
    m_listFailures->setReadOnly(true);
    m_listFailures->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_listFailures->hide();
    text->addWidget(m_listFailures, 1);
    text->addStretch();
    row->addLayout(text, 1);
    outer->addLayout(row, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_btnOk = new QPushButton(localized("Ok"), page);
    m_btnOk->setEnabled(false);
    buttons->addWidget(m_btnOk);
    outer->addLayout(buttons);
    connect(m_btnOk, &QPushButton::clicked, this, &QWidget::close);
    return page;
}

QStringList UtilUAppDelegate::willRemove() const
{
    QStringList out;
    if (!m_keys)
        return out;
    out << m_installation.targetFiles() << m_installation.ownFiles();
    if (m_installation.hasManifest())
        out << m_installation.manifestPath();
    const QString id = m_keys->targetBundleIdentifier;
    out << Installation::userCacheDir(id) + QStringLiteral("/finished-*.json");
    if (m_chkRemovePrefer->isChecked()) {
        out << Installation::userConfigDir(id) + QStringLiteral("/defaults.json")
            << Installation::userStateDir(id) + QStringLiteral("/state.json")
            << localized("UNINSTALL_WILL_REMOVE_KEYRING");
    }
    return out;
}

void UtilUAppDelegate::showWillRemove()
{
    m_listWillRemove->setPlainText(willRemove().join(QLatin1Char('\n')));
}

void UtilUAppDelegate::keyPressEvent(QKeyEvent *e)
{
    // Escape quits, except while the removal runs.
    if (e->key() == Qt::Key_Escape && m_tabs->currentIndex() == 0) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void UtilUAppDelegate::onUninstall()
{
    if (!m_run)
        return;
    m_txtError->hide();
    m_run->setRemovePreferences(m_chkRemovePrefer->isChecked());
    m_run->start();
}

void UtilUAppDelegate::onAuthorisationEnded(PurgehandClient::Start outcome, const QString &detail)
{
    // A cancelled dialog just leaves the page as it was.
    if (outcome == PurgehandClient::Start::Dismissed)
        return;
    m_txtError->setText(outcome == PurgehandClient::Start::Refused
            ? stringWithKSTFormat(localized("UNINSTALL_AUTH_REFUSED"), { m_strTargetAppName })
            : stringWithKSTFormat(
                localized("UNINSTALL_HELPER_FAILED"), { m_strTargetAppName, detail }));
    m_txtError->show();
}

void UtilUAppDelegate::onFinished(bool complete)
{
    // A run that removed nothing at all says so, not "removed, except".
    const char *headline = complete  ? "UNINSTALL_SUCCESS"
        : m_run->removedCount() == 0 ? "UNINSTALL_NOTHING_REMOVED"
                                     : "UNINSTALL_INCOMPLETE";
    m_txtUninstalling->setText(stringWithKSTFormat(localized(headline), { m_strTargetAppName }));
    const QStringList packages = m_run->packages();
    if (!packages.isEmpty()) {
        m_txtPackages->setText(stringWithKSTFormat(localized("UNINSTALL_PACKAGE_OWNED"),
            { m_strTargetAppName, packages.join(QLatin1Char(' ')) }));
        m_txtPackages->show();
    }
    if (!complete) {
        m_listFailures->setPlainText(m_run->failures().join(QLatin1Char('\n')));
        m_txtFailures->show();
        m_listFailures->show();
    }
    m_btnOk->setEnabled(true);
    m_btnOk->setDefault(true);
    m_btnOk->setFocus();
}

} // namespace sweepdeck
