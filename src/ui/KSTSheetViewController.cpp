// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "KSTSheetViewController.h"

#include "api/Localization.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace flk {

namespace {

// The window-modal wrapper: Escape cancels the sheet rather than just closing.
class SheetDialog : public QDialog
{
public:
    SheetDialog(QWidget *parent, KSTSheetViewController *sheet) : QDialog(parent), m_sheet(sheet)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(sheet);
        setWindowTitle(sheet->windowTitle());
        setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        setAttribute(Qt::WA_DeleteOnClose);
    }
    void reject() override
    {
        if (m_sheet && !m_dismissing) {
            m_dismissing = true;
            m_sheet->on_Cancel();
            return;
        }
        QDialog::reject();
    }
    bool m_dismissing = false;

private:
    KSTSheetViewController *m_sheet;
};

} // namespace

KSTSheetViewController::KSTSheetViewController(QWidget *parent) : QWidget(parent)
{
    m_btnCancel = new QPushButton(localized("CANCEL"), this);
    m_btnCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    m_btnOk = new QPushButton(localized("OK"), this);
    m_btnOk->setDefault(true);
    m_btnOk->setAutoDefault(true);
    m_btnOk->setShortcut(QKeySequence(Qt::Key_Return));
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { on_Cancel(); });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { on_Ok(); });
}

void KSTSheetViewController::setDestructive(const QString &actionTitle)
{
    m_btnOk->setText(actionTitle);
    m_btnOk->setDefault(false);
    m_btnOk->setAutoDefault(false);
    m_btnOk->setShortcut(QKeySequence());
    m_btnCancel->setDefault(true);
    m_btnCancel->setAutoDefault(true);
}

void KSTSheetViewController::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_focusGiven)
        return;
    m_focusGiven = true;
    QWidget *focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus)
        && (qobject_cast<QLineEdit *>(focus) || qobject_cast<QPlainTextEdit *>(focus)
            || qobject_cast<QTextEdit *>(focus)))
        return;
    focusFirstField();
}

void KSTSheetViewController::focusFirstField()
{
    // The Tab order from this sheet: the first editable text field.
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!isAncestorOf(w) || !w->isVisibleTo(this) || !w->isEnabled())
            continue;
        auto *line = qobject_cast<QLineEdit *>(w);
        if ((line && !line->isReadOnly()) || qobject_cast<QPlainTextEdit *>(w)) {
            w->setFocus(Qt::TabFocusReason);
            if (line)
                line->selectAll();
            return;
        }
    }
}

QWidget *KSTSheetViewController::buttonRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addWidget(m_btnCancel);
    layout->addWidget(m_btnOk);
    return row;
}

void KSTSheetViewController::on_Ok()
{
    if (m_submit) {
        if (m_submitting || !m_btnOk->isEnabled())
            return;
        m_submitting = true;
        m_btnOk->setEnabled(false);
        QPointer<KSTSheetViewController> self(this);
        m_submit(m_resultObject, [self](bool taken) {
            if (!self)
                return;
            self->m_submitting = false;
            self->m_btnOk->setEnabled(true);
            if (!taken) {
                self->focusFirstField();
                return;
            }
            if (self->m_completion)
                self->m_completion(true, self->m_resultObject);
            self->dismiss();
        });
        return;
    }
    if (m_completion)
        m_completion(true, m_resultObject);
    dismiss();
}

void KSTSheetViewController::on_Cancel()
{
    if (m_completion) {
        m_resultObject.clear();
        m_completion(false, QVariant());
    }
    dismiss();
}

QDialog *KSTSheetViewController::presentSheet(QWidget *parentWindow, KSTSheetViewController *sheet)
{
    auto *dialog = new SheetDialog(parentWindow ? parentWindow->window() : nullptr, sheet);
    dialog->open();
    return dialog;
}

void KSTSheetViewController::dismiss()
{
    if (auto *dialog = qobject_cast<QDialog *>(parentWidget())) {
        if (auto *sheetDialog = dynamic_cast<SheetDialog *>(dialog))
            sheetDialog->m_dismissing = true;
        dialog->done(QDialog::Accepted);
    } else {
        hide();
    }
}

} // namespace flk
