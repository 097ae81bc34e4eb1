// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FLKMainViewController.h"

#include "AddServerWizardViewController.h"
#include "HostViewController.h"
#include "api/CgiCtrl.h"
#include "servers/FavoriteManager.h"

#include "api/Localization.h"
#include "servers/FavoriteObject.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace flk {

FLKMainViewController::FLKMainViewController(FavoriteManager *favorites, QWidget *parent)
    : QWidget(parent),
      m_favMan(favorites),
      m_stack(new QStackedWidget(this)),
      m_empty(new QWidget(m_stack)),
      m_tabView(new QTabWidget(m_stack))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabView->setDocumentMode(true);
    layout->addWidget(m_stack);

    // No server saved yet: say so, and offer the one thing to do.
    m_empty->setObjectName(QStringLiteral("emptyView"));
    auto *empty = new QVBoxLayout(m_empty);
    empty->addStretch(2);
    auto *icon = new QLabel(m_empty);
    icon->setPixmap(QIcon(QStringLiteral(":/images/ferrylink.svg")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);
    empty->addWidget(icon);
    auto *heading = new QLabel(localized("EMPTY_NO_SERVER_TITLE"), m_empty);
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    heading->setFont(big);
    heading->setAlignment(Qt::AlignCenter);
    empty->addWidget(heading);
    auto *text = new QLabel(localized("EMPTY_NO_SERVER_DESC"), m_empty);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setFixedWidth(440);
    text->setMinimumHeight(text->heightForWidth(440));
    empty->addWidget(text, 0, Qt::AlignHCenter);
    auto *add = new QPushButton(localized("EMPTY_ADD_SERVER"), m_empty);
    add->setObjectName(QStringLiteral("btnAddServer"));
    add->setDefault(true);
    empty->addSpacing(8);
    empty->addWidget(add, 0, Qt::AlignHCenter);
    empty->addStretch(3);
    connect(add, &QPushButton::clicked, this, &FLKMainViewController::ToAddServerSheet);
    m_stack->addWidget(m_empty);
    m_stack->addWidget(m_tabView);

    const auto servers = m_favMan->favorites();
    int selected = -1;
    for (int i = 0; i < servers.size(); ++i) {
        HostViewController *host = makeHost(i);
        m_tabView->addTab(
            host, QIcon(QStringLiteral(":/images/active_icon.svg")), servers[i]->serverName());
        if (selected < 0 && servers[i]->isDefault())
            selected = i;
    }
    if (selected >= 0)
        m_tabView->setCurrentIndex(selected);
    updateTabTitles();
    showEmptyWhenNoServer();
}

void FLKMainViewController::showEmptyWhenNoServer()
{
    m_stack->setCurrentWidget(m_tabView->count() > 0 ? static_cast<QWidget *>(m_tabView) : m_empty);
}

void FLKMainViewController::updateTabTitles()
{
    QStringList names;
    QStringList accounts;
    for (int t = 0; t < m_tabView->count(); ++t) {
        const HostViewController *h = hostAt(t);
        const auto record = h ? m_favMan->get_Favorite_NAS(h->index()) : nullptr;
        names << (record ? record->serverName() : m_tabView->tabText(t));
        accounts << (record ? record->account() : QString());
    }
    for (int t = 0; t < names.size(); ++t) {
        // Two accounts on one NAS read alike: the account tells them apart.
        const bool repeated = names.count(names[t]) > 1 && !accounts[t].isEmpty();
        const QString title = repeated
            ? stringWithKSTFormat(localized("TAB_SERVER_ACCOUNT"), { names[t], accounts[t] })
            : names[t];
        m_tabView->setTabText(t, title);
        m_tabView->setTabToolTip(t, title);
    }
}

HostViewController *FLKMainViewController::makeHost(int index)
{
    return new HostViewController(m_favMan, index);
}

HostViewController *FLKMainViewController::hostAt(int i) const
{
    return qobject_cast<HostViewController *>(m_tabView->widget(i));
}

int FLKMainViewController::hostCount() const
{
    return m_tabView->count();
}

void FLKMainViewController::ToAddServerSheet()
{
    auto *wizard = new AddServerWizardViewController(m_favMan);
    wizard->setCompletion([this](bool ok, const QVariant &result) {
        auto *client = qobject_cast<CgiCtrl *>(result.value<QObject *>());
        if (ok && client)
            addHostForLastServer(client);
    });
    KSTSheetViewController::presentSheet(this, wizard);
    emit wizardOpened(wizard);
}

HostViewController *FLKMainViewController::addHostForLastServer(CgiCtrl *client)
{
    const int index = m_favMan->count() - 1;
    const auto record = m_favMan->get_Favorite_NAS(index);
    if (!record)
        return nullptr;
    HostViewController *host = makeHost(index);
    host->adoptClient(client);
    emit hostCreated(host);
    const int tab = m_tabView->addTab(
        host, QIcon(QStringLiteral(":/images/active_icon.svg")), record->serverName());
    m_tabView->setCurrentIndex(tab);
    updateTabTitles();
    showEmptyWhenNoServer();
    return host;
}

void FLKMainViewController::removeHostAt(int i)
{
    QWidget *page = m_tabView->widget(i);
    if (!page)
        return;
    m_tabView->removeTab(i);
    page->deleteLater();
    for (int j = i; j < m_tabView->count(); ++j) {
        if (HostViewController *h = hostAt(j))
            h->setIndex(h->index() - 1);
    }
    updateTabTitles();
    showEmptyWhenNoServer();
}

} // namespace flk
