#include "FLKMainViewController.h"

#include "AddServerWizardViewController.h"
#include "HostViewController.h"
#include "api/CgiCtrl.h"
#include "servers/FavoriteManager.h"

#include <QIcon>
#include <QTabWidget>
#include <QVBoxLayout>

namespace flk {

FLKMainViewController::FLKMainViewController(FavoriteManager *favorites, QWidget *parent)
    : QWidget(parent), m_favMan(favorites), m_tabView(new QTabWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabView->setDocumentMode(true);
    layout->addWidget(m_tabView);

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
}

} // namespace flk
