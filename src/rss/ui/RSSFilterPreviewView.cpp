// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterPreviewView.h"

#include "api/Localization.h"
#include "rss/RSSFilterPreview.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QVBoxLayout>

namespace flk {

namespace {

// A title with its matched runs in bold, elided by the view's width.
class MarkedTitleDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QString html(const QModelIndex &index)
    {
        QList<rssmatch::Span> marks;
        for (const QVariant &m : index.data(RSSFilterPreview::MarksRole).toList()) {
            const QVariantList pair = m.toList();
            if (pair.size() == 2)
                marks.append({ pair[0].toLongLong(), pair[1].toLongLong() });
        }
        return RSSFilterPreview::markedTitle(index.data().toString(), marks);
    }

    void paint(
        QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        QTextDocument doc;
        doc.setDefaultFont(opt.font);
        doc.setDocumentMargin(2);
        doc.setHtml(html(index));
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w);
        p->save();
        p->translate(text.topLeft());
        p->setClipRect(text.translated(-text.topLeft()));
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette = opt.palette;
        ctx.palette.setColor(QPalette::Text,
            opt.palette.color(
                opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        doc.documentLayout()->draw(p, ctx);
        p->restore();
    }
};

} // namespace

RSSFilterPreviewView::RSSFilterPreviewView(RSSFilterPreview *preview, QWidget *parent)
    : QWidget(parent), m_preview(preview), m_status(new QLabel(this)), m_list(new QListView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(localized("TXT_PREVIEW_TITLE"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *disclaimer = new QLabel(localized("TXT_PREVIEW_DISCLAIMER"), this);
    disclaimer->setWordWrap(true);
    QPalette muted = disclaimer->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    disclaimer->setPalette(muted);
    m_status->setObjectName(QStringLiteral("previewStatus"));
    m_status->setWordWrap(true);
    m_list->setModel(preview);
    // Titles come capped from the model; the marked-title delegate stays
    // (the application's capping delegate replaces only plain ones).
    m_list->setProperty("flkCapped", true);
    m_list->setItemDelegate(new MarkedTitleDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setAccessibleName(localized("TXT_PREVIEW_TITLE"));
    layout->addWidget(title);
    layout->addWidget(disclaimer);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);
    setMinimumWidth(260);

    const auto update = [this] {
        const QString text = m_preview->statusText();
        m_status->setText(text);
        m_list->setAccessibleDescription(text);
    };
    connect(preview, &RSSFilterPreview::statusChanged, this, update);
    update();
}

} // namespace flk
