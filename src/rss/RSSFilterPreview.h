// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "RSSFilterMatcher.h"

#include <QAbstractListModel>
#include <QJsonArray>
#include <QPointer>

#include <functional>
#include <memory>

namespace flk {

class CgiCtrl;

// The items of the filter's feed that the rule as edited now would pick, as
// Ferrylink reads the rule (the NAS decides). Rows: the picked items in the
// feed's order; the title with its matched runs (MarksRole). No widgets.
class RSSFilterPreview : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { MarksRole = Qt::UserRole + 1, AgeRole };
    using ClientSource = std::function<std::shared_ptr<CgiCtrl>()>;

    explicit RSSFilterPreview(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The rss-item-list reply's items of the feed the rule is for.
    void setItems(const QJsonArray &items);
    void setRule(const rssmatch::Rule &rule);
    int itemCount() const { return int(m_items.size()); }
    bool isLoading() const { return m_loading; }
    // "n of m items match", "No item of this feed matches", or what is
    // being waited for.
    QString statusText() const;
    // The marked title as rich text (matched runs in bold), escaped.
    static QString markedTitle(const QString &title, const QList<rssmatch::Span> &marks);

    // Fetches the items of a feed on a worker (a feed id of 0: none chosen,
    // the list empties). A fetch for another feed meanwhile wins.
    void setClientSource(ClientSource source) { m_clientSource = std::move(source); }
    void loadFeed(qint64 feedId);
    qint64 feedId() const { return m_feedId; }

signals:
    void statusChanged();

private:
    struct Item {
        QString title;
        std::optional<qint64> age;
    };
    struct Row {
        int item;
        QList<rssmatch::Span> marks;
    };
    void recompute();

    QList<Item> m_items;
    QList<Row> m_rows;
    rssmatch::Rule m_rule;
    ClientSource m_clientSource;
    qint64 m_feedId = 0;
    quint64 m_generation = 0;
    bool m_loading = false;
    bool m_failed = false;
};

} // namespace flk
