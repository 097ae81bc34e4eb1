// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/InputFilter.h"

#include <QLineEdit>

namespace flk {

// A text field that refuses, as it is typed or pasted, any single edit that
// would break its rules (allowed characters, maximum length, largest and
// smallest number). A refused edit does not happen; the field gives a short
// cue (a beep and a tool tip with what is allowed).
class FilterTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit FilterTextField(QWidget *parent = nullptr);

    void set_Acceptable_CharacterSet(const QString &characters);
    void set_Max_Length(int length);
    void set_Max_Value(qint64 value);
    void set_Min_Value(qint64 value);
    const InputFilter &filter() const { return m_filter; }
    // Shows a value the program sets (not an edit: no rule, no cue).
    void setValueText(const QString &text);
    // What the cue says for a refused edit.
    QString refusalHint(InputFilter::Verdict verdict) const;

signals:
    void editRefused(InputFilter::Verdict verdict);

protected:
    explicit FilterTextField(bool secure, QWidget *parent);

private:
    class Validator;
    void refused(InputFilter::Verdict verdict);

    InputFilter m_filter;
    Validator *m_validator;
    bool m_settingValue = false;
};

// The password form: characters, length and largest number only; emptying
// the field is always allowed.
class FilterSecureTextField : public FilterTextField
{
    Q_OBJECT

public:
    explicit FilterSecureTextField(QWidget *parent = nullptr);
};

} // namespace flk
