// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TextCapping.h"

#include "api/Localization.h"
#include "models/DisplayText.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

namespace flk {

void CappedTextDelegate::initStyleOption(
    QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = capForDisplay(option->text);
}

bool CappedTextDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString tip = index.data(Qt::ToolTipRole).toString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return false;
        }
        QToolTip::showText(event->globalPos(), capForDisplay(tip), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

namespace {
// Polished item views get the capped delegate and a Copy shortcut.
class Installer : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Polish)
            return false;
        auto *view = qobject_cast<QAbstractItemView *>(watched);
        if (!view || view->property("flkCapped").toBool())
            return false;
        view->setProperty("flkCapped", true);
        QAbstractItemDelegate *d = view->itemDelegate();
        if (d && d->metaObject() == &QStyledItemDelegate::staticMetaObject) {
            view->setItemDelegate(new CappedTextDelegate(view));
            if (d->parent() == view)
                d->deleteLater();
        }
        auto *copy = new QAction(view);
        copy->setShortcut(QKeySequence::Copy);
        copy->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(copy, &QAction::triggered, view, [view] {
            const QModelIndex current = view->currentIndex();
            if (current.isValid())
                QGuiApplication::clipboard()->setText(current.data(Qt::DisplayRole).toString());
        });
        view->addAction(copy);
        return false;
    }
};
} // namespace

void installTextCapping()
{
    static Installer *installer = nullptr;
    if (installer || !qApp)
        return;
    installer = new Installer(qApp);
    qApp->installEventFilter(installer);
}

void setCappedText(QLabel *label, const QString &text)
{
    const QString shown = capForDisplay(text);
    label->setText(shown);
    label->setProperty("flkFullText", shown.size() == text.size() ? QVariant() : QVariant(text));
    if (shown.size() == text.size() || label->property("flkCopyMenu").toBool())
        return;
    // The whole text, for the clipboard.
    label->setProperty("flkCopyMenu", true);
    label->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copy = new QAction(localized("COPY"), label);
    QObject::connect(copy, &QAction::triggered, label, [label] {
        const QVariant full = label->property("flkFullText");
        QGuiApplication::clipboard()->setText(full.isValid() ? full.toString() : label->text());
    });
    label->addAction(copy);
}

} // namespace flk
