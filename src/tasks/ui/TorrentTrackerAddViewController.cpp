// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TorrentTrackerAddViewController.h"

#include "api/Localization.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace flk {

TorrentTrackerAddViewController::TorrentTrackerAddViewController(QWidget *parent)
    : KSTSheetViewController(parent), m_text(new QPlainTextEdit(this))
{
    setWindowTitle(localized("TAB_ITEM_TRACKER"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(localized("COL_URL"), this));
    m_text->setPlaceholderText(QStringLiteral("udp://tracker.example.org:1337/announce"));
    layout->addWidget(m_text, 1);
    layout->addWidget(buttonRow());
    setMinimumSize(420, 220);
    connect(m_text, &QPlainTextEdit::textChanged, this,
        &TorrentTrackerAddViewController::textDidChange);
    textDidChange();
}

bool TorrentTrackerAddViewController::hasTrackerLine(const QString &text)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString lower = line.toLower();
        if (lower.startsWith(QLatin1String("http://"))
            || lower.startsWith(QLatin1String("https://"))
            || lower.startsWith(QLatin1String("udp://")))
            return true;
    }
    return false;
}

void TorrentTrackerAddViewController::textDidChange()
{
    const QString text = m_text->toPlainText();
    setResultObject(text);
    btnOk()->setEnabled(hasTrackerLine(text));
}

} // namespace flk
