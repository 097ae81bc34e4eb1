// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TorrentDeleteViewController.h"

#include "api/Localization.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace flk {

TorrentDeleteViewController::TorrentDeleteViewController(QWidget *parent)
    : KSTSheetViewController(parent)
{
    setWindowTitle(localized("DELETE"));
    auto *layout = new QVBoxLayout(this);
    auto *desc = new QLabel(localized("COMFIRM_REMOVE_ITEM"), this);
    desc->setWordWrap(true);
    layout->addWidget(desc);
    m_taskOnly = new QRadioButton(localized("DEL_TORRENT_TASK_ONLY"), this);
    m_taskAndFiles = new QRadioButton(localized("DEL_TORRENT_TASK_FILE"), this);
    auto *group = new QButtonGroup(this);
    group->addButton(m_taskOnly, 0);
    group->addButton(m_taskAndFiles, 1);
    m_taskOnly->setChecked(true);
    layout->addWidget(m_taskOnly);
    layout->addWidget(m_taskAndFiles);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());
    setDestructive(localized("DELETE"));
    setMinimumWidth(380);
}

void TorrentDeleteViewController::on_Ok()
{
    setResultObject(m_taskAndFiles->isChecked() ? 1 : 0);
    KSTSheetViewController::on_Ok();
}

} // namespace flk
