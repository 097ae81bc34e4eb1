// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterPreview.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/Work.h"
#include "models/DisplayText.h"

namespace flk {

RSSFilterPreview::RSSFilterPreview(QObject *parent) : QAbstractListModel(parent) { }

int RSSFilterPreview::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RSSFilterPreview::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &r = m_rows[index.row()];
    const Item &item = m_items[r.item];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.title;
    case MarksRole: {
        QVariantList marks;
        for (const rssmatch::Span &s : r.marks)
            marks.append(QVariant(QVariantList { s.start, s.length }));
        return marks;
    }
    case AgeRole:
        return item.age ? QVariant(*item.age) : QVariant();
    default:
        return {};
    }
}

void RSSFilterPreview::setItems(const QJsonArray &items)
{
    QList<Item> list;
    list.reserve(items.size());
    for (const QJsonValue &v : items) {
        const QJsonObject o = v.toObject();
        Item item;
        item.title = capForDisplay(json::stringValue(o, u"title"));
        const QJsonValue age = o.value(QLatin1String("age"));
        if (age.isDouble() && age.toDouble() >= 0)
            item.age = qint64(age.toDouble());
        list.append(item);
    }
    m_items = std::move(list);
    recompute();
}

void RSSFilterPreview::setRule(const rssmatch::Rule &rule)
{
    m_rule = rule;
    recompute();
}

void RSSFilterPreview::recompute()
{
    QList<Row> rows;
    for (int i = 0; i < m_items.size(); ++i) {
        rssmatch::Result r = rssmatch::match(m_rule, m_items[i].title, m_items[i].age);
        if (r.picked)
            rows.append({ i, std::move(r.marks) });
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    emit statusChanged();
}

QString RSSFilterPreview::statusText() const
{
    if (m_loading)
        return localized("TXT_PREVIEW_LOADING");
    if (m_failed)
        return localized("TXT_PREVIEW_FAILED");
    if (m_feedId == 0)
        return localized("TXT_PREVIEW_NO_FEED");
    if (m_rows.isEmpty())
        return localized("TXT_PREVIEW_NONE");
    return stringWithKSTFormat(localized("TXT_PREVIEW_COUNT"),
        { QString::number(m_rows.size()), QString::number(m_items.size()) });
}

QString RSSFilterPreview::markedTitle(const QString &title, const QList<rssmatch::Span> &marks)
{
    QString out;
    qsizetype at = 0;
    for (const rssmatch::Span &s : marks) {
        if (s.start < at || s.start + s.length > title.size())
            continue;
        out += title.mid(at, s.start - at).toHtmlEscaped();
        out += QStringLiteral("<b>") + title.mid(s.start, s.length).toHtmlEscaped()
            + QStringLiteral("</b>");
        at = s.start + s.length;
    }
    out += title.mid(at).toHtmlEscaped();
    return out;
}

void RSSFilterPreview::loadFeed(qint64 feedId)
{
    const quint64 generation = ++m_generation;
    m_feedId = feedId;
    m_failed = false;
    const std::shared_ptr<CgiCtrl> c = m_clientSource ? m_clientSource() : nullptr;
    if (feedId == 0 || !c) {
        m_loading = false;
        setItems({});
        return;
    }
    m_loading = true;
    emit statusChanged();
    runWork(
        this,
        [c, feedId] {
            Error e;
            return c->get_RSS_Item_List(feedId, QString(), QString(), &e);
        },
        [this, generation](const std::optional<QJsonValue> &items) {
            if (generation != m_generation)
                return; // another feed was chosen meanwhile
            m_loading = false;
            m_failed = !items || !items->isArray();
            setItems(m_failed ? QJsonArray() : items->toArray());
        });
}

} // namespace flk
