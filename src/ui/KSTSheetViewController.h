// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QVariant>
#include <QWidget>

#include <functional>

#include <QPushButton>
class QDialog;

namespace flk {

// Base of every sheet: OK (Return) and Cancel (Escape), a result object and a
// completion called with (OK pressed, result). Shown in a window-modal dialog
// over its parent window; dismissing closes that dialog.
class KSTSheetViewController : public QWidget
{
    Q_OBJECT

public:
    using Completion = std::function<void(bool ok, const QVariant &result)>;

    explicit KSTSheetViewController(QWidget *parent = nullptr);

    QVariant resultObject() const { return m_resultObject; }
    void setResultObject(const QVariant &result) { m_resultObject = result; }
    Completion completion() const { return m_completion; }
    void setCompletion(Completion completion) { m_completion = std::move(completion); }

    QPushButton *btnOk() const { return m_btnOk; }
    QPushButton *btnCancel() const { return m_btnCancel; }

    virtual void on_Ok();
    virtual void on_Cancel();

    // OK hands the result to submit, which reports whether it was taken
    // (the NAS answered yes): the sheet completes and closes then; after a
    // refusal it stays open with its input, the first field focused.
    using Submit = std::function<void(const QVariant &result, std::function<void(bool)> done)>;
    void setSubmit(Submit submit) { m_submit = std::move(submit); }
    bool isSubmitting() const { return m_submitting; }

    // Shows sheet in a window-modal dialog on parentWindow's window; the
    // dialog owns the sheet and goes when it is dismissed.
    static QDialog *presentSheet(QWidget *parentWindow, KSTSheetViewController *sheet);
    void dismiss();

protected:
    // A row with the two buttons, right-aligned, for subclasses' layouts.
    QWidget *buttonRow();
    // The OK button destroys something: it carries the action's name and
    // Cancel is the default (Return never destroys).
    void setDestructive(const QString &actionTitle);
    // The first text field in the Tab order has the focus when the sheet
    // opens (unless the sheet gave it elsewhere).
    void showEvent(QShowEvent *e) override;

private:
    QVariant m_resultObject;
    Completion m_completion;
    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;
    bool m_focusGiven = false;
    bool m_submitting = false;
    Submit m_submit;
    void focusFirstField();
};

} // namespace flk
