// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DBClickActionViewController.h"

#include "api/Localization.h"
#include "servers/FavoriteManager.h"
#include "servers/FavoriteObject.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace flk {

DBClickActionViewController::DBClickActionViewController(FavoriteManager *favMan, QWidget *parent)
    : KSTSheetViewController(parent), m_favMan(favMan), m_cmbNas(new QComboBox(this))
{
    setWindowTitle(localized("MITEM_DB_CLICK"));
    auto *layout = new QVBoxLayout(this);
    auto *desc = new QLabel(localized("DF_NAS_DESC"), this);
    desc->setWordWrap(true);
    layout->addWidget(desc);
    auto *form = new QFormLayout;
    form->addRow(localized("DF_NAS_BIND_NAS"), m_cmbNas);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    setMinimumWidth(420);

    int chosen = -1;
    for (int i = 0; i < m_favMan->count(); ++i) {
        const auto record = m_favMan->get_Favorite_NAS(i);
        m_cmbNas->addItem(record ? record->serverName() : QString());
        if (chosen < 0 && record && record->isDefault())
            chosen = i;
    }
    // Adding the first entry selects it; only the default server is chosen.
    m_cmbNas->setCurrentIndex(chosen);
}

void DBClickActionViewController::on_Ok()
{
    const int chosen = m_cmbNas->currentIndex();
    for (int i = 0; i < m_favMan->count(); ++i)
        m_favMan->update_Favorite_NAS(
            i, QStringLiteral("default"), QJsonValue(i == chosen ? 1 : 0));
    KSTSheetViewController::on_Ok();
}

} // namespace flk
