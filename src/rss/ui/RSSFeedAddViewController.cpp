// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFeedAddViewController.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/SaveRule.h"
#include "rss/RssModels.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace flk {

RSSFeedAddViewController::RSSFeedAddViewController(const QJsonObject &feed, QWidget *parent)
    : DCBaseViewController(parent)
{
    setWindowTitle(localized(feed.isEmpty() ? "TOOL_TIP_ADD" : "TOOL_TIP_EDIT"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_editUrl = new QLineEdit(this);
    m_editUrl->setMinimumWidth(360);
    m_editUrl->setPlaceholderText(QStringLiteral("https://"));
    m_cmb = new QComboBox(this);
    m_cmb->addItems(rssIntervalTexts());
    form->addRow(localized("RSS_URL"), m_editUrl);
    form->addRow(localized("RSS_UPDATE_INTERVAL"), m_cmb);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttonRow());

    // Edit mode: the presenter's feed; an interval outside the table opens
    // at the first one ("3 hours").
    if (!feed.isEmpty()) {
        m_id = json::intValue(feed, u"id");
        setRSSFeedURL(json::stringValue(feed, u"url"));
        const qint64 interval = json::intValue(feed, u"update_interval");
        const QJsonValue read = feed.value(QLatin1String("update_interval"));
        m_intervalRead
            = saverule::isWhole(read) && interval >= 0 && interval < rssIntervalTexts().size();
        setRSSFeedUpdateInterval(m_intervalRead ? uint(interval) : 0);
        m_loadedIntervalText = m_intervalText;
    }
    if (m_intervalText.isEmpty())
        setRSSFeedUpdateIntervalString(rssIntervalTexts().first());
    // OK starts enabled exactly in edit mode; afterwards it needs a URL.
    btnOk()->setEnabled(m_id > 0);

    connect(m_editUrl, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_url = t;
        rebuildResult();
    });
    connect(m_cmb, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        m_intervalText = t;
        rebuildResult();
    });
    setResultObject(QVariant());
    rebuildResult();
    btnOk()->setEnabled(m_id > 0);
}

uint RSSFeedAddViewController::RSSFeedUpdateInterval() const
{
    const qsizetype i = rssIntervalTexts().indexOf(m_intervalText);
    return i < 0 ? 0 : uint(i);
}

void RSSFeedAddViewController::setRSSFeedURL(const QString &url)
{
    m_url = url;
    if (m_editUrl->text() != url)
        m_editUrl->setText(url);
}

void RSSFeedAddViewController::setRSSFeedUpdateInterval(uint index)
{
    if (index < uint(rssIntervalTexts().size()))
        setRSSFeedUpdateIntervalString(rssIntervalTexts().at(index));
}

void RSSFeedAddViewController::setRSSFeedUpdateIntervalString(const QString &text)
{
    m_intervalText = text;
    if (m_cmb->currentText() != text)
        m_cmb->setCurrentText(text);
}

void RSSFeedAddViewController::rebuildResult()
{
    QVariantMap result;
    if (m_id > 0)
        result.insert(QStringLiteral("id"), m_id);
    if (!m_url.isNull())
        result.insert(QStringLiteral("url"), m_url);
    // An interval the sheet could not read goes only when chosen anew.
    if (m_id <= 0 || m_intervalRead || m_intervalText != m_loadedIntervalText)
        result.insert(QStringLiteral("update_interval"), RSSFeedUpdateInterval());
    setResultObject(result);
    btnOk()->setEnabled(!m_url.isEmpty());
}

RSSFeedAddViewController *RSSFeedAddViewController::present(QWidget *presenter,
    const QJsonObject &feed,
    std::function<void(const QVariantMap &, std::function<void(bool)>)> submit)
{
    auto *sheet = new RSSFeedAddViewController(feed);
    sheet->setSubmit([submit](const QVariant &result, std::function<void(bool)> done) {
        submit(result.toMap(), std::move(done));
    });
    KSTSheetViewController::presentSheet(presenter, sheet);
    return sheet;
}

} // namespace flk
