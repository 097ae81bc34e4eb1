// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "EmptyViewHint.h"

#include <QAbstractItemView>
#include <QEvent>

namespace flk {

EmptyViewHint::EmptyViewHint(QAbstractItemView *view, std::function<QString()> text)
    : QLabel(view->viewport()), m_view(view), m_text(std::move(text))
{
    setObjectName(QStringLiteral("emptyViewHint"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setForegroundRole(QPalette::PlaceholderText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setMargin(24);
    view->viewport()->installEventFilter(this);
    if (QAbstractItemModel *m = view->model()) {
        for (auto signal : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
            connect(m, signal, this, &EmptyViewHint::refresh);
        connect(m, &QAbstractItemModel::modelReset, this, &EmptyViewHint::refresh);
        connect(m, &QAbstractItemModel::layoutChanged, this, &EmptyViewHint::refresh);
    }
    refresh();
}

void EmptyViewHint::refresh()
{
    const QAbstractItemModel *m = m_view->model();
    const QString text = m && m->rowCount() == 0 && m_text ? m_text() : QString();
    setText(text);
    setGeometry(m_view->viewport()->rect());
    setVisible(!text.isEmpty());
}

bool EmptyViewHint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        setGeometry(m_view->viewport()->rect());
    return QLabel::eventFilter(watched, event);
}

} // namespace flk
