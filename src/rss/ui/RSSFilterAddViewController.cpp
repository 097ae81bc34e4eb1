// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterAddViewController.h"

#include "api/Localization.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace flk {

RSSFilterAddViewController::RSSFilterAddViewController(QWidget *parent)
    : DCBaseViewController(parent)
{
    setWindowTitle(localized("CREATE"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_edit = new QLineEdit(this);
    m_edit->setMinimumWidth(280);
    form->addRow(localized("FILTER_TXT_NEW_NAME"), m_edit);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    btnOk()->setEnabled(false);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &t) {
        setResultObject(t);
        btnOk()->setEnabled(!t.isEmpty());
    });
}

QString RSSFilterAddViewController::name() const
{
    return m_edit->text();
}

} // namespace flk
