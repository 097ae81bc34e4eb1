// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FilterTextField.h"

#include "api/Localization.h"

#include <QApplication>
#include <QToolTip>
#include <QValidator>

namespace flk {

// Puts every edit of the field to its rules. The edit is worked out from the
// text the field last accepted and the proposed text with its cursor, so a
// typed character, a paste over a selection, a drop or an undo are all seen
// as the single edit they are.
class FilterTextField::Validator : public QValidator
{
public:
    Validator(FilterTextField *field) : QValidator(field), m_field(field) { }
    State validate(QString &input, int &pos) const override
    {
        if (input == m_accepted || m_field->m_settingValue)
            return Acceptable;
        qsizetype location = 0, length = 0;
        QString replacement;
        InputFilter::editBetween(m_accepted, input, pos, &location, &length, &replacement);
        const InputFilter::Verdict v
            = m_field->filter().check(m_accepted, location, length, replacement);
        if (v == InputFilter::Accepted)
            return Acceptable;
        // Only what the user does gets a cue.
        if (m_field->hasFocus())
            m_field->refused(v);
        return Invalid;
    }
    QString m_accepted;

private:
    FilterTextField *m_field;
};

FilterTextField::FilterTextField(QWidget *parent) : FilterTextField(false, parent) { }

FilterTextField::FilterTextField(bool secure, QWidget *parent)
    : QLineEdit(parent), m_validator(new Validator(this))
{
    m_filter.secure = secure;
    setValidator(m_validator);
    // The text the next edit starts from (also after setText).
    connect(this, &QLineEdit::textChanged, this,
        [this](const QString &t) { m_validator->m_accepted = t; });
}

void FilterTextField::setValueText(const QString &text)
{
    m_settingValue = true;
    setText(text);
    m_settingValue = false;
}

void FilterTextField::set_Acceptable_CharacterSet(const QString &characters)
{
    m_filter.characterSet = characters;
}

void FilterTextField::set_Max_Length(int length)
{
    m_filter.maxLength = length;
}

void FilterTextField::set_Max_Value(qint64 value)
{
    m_filter.maxValue = value;
}

void FilterTextField::set_Min_Value(qint64 value)
{
    if (!m_filter.secure)
        m_filter.minValue = value;
}

QString FilterTextField::refusalHint(InputFilter::Verdict verdict) const
{
    switch (verdict) {
    case InputFilter::BadCharacter:
        return stringWithKSTFormat(
            localized("INPUT_ALLOWED_CHARACTERS"), { m_filter.characterSet });
    case InputFilter::TooLong:
        return stringWithKSTFormat(
            localized("INPUT_ALLOWED_LENGTH"), { QString::number(m_filter.maxLength) });
    case InputFilter::AboveMaximum:
    case InputFilter::BelowMinimum:
        if (m_filter.minValue > 0 && m_filter.maxValue > 0)
            return stringWithKSTFormat(localized("INPUT_ALLOWED_RANGE"),
                { QString::number(m_filter.minValue), QString::number(m_filter.maxValue) });
        if (m_filter.maxValue > 0)
            return stringWithKSTFormat(
                localized("INPUT_ALLOWED_MAXIMUM"), { QString::number(m_filter.maxValue) });
        return stringWithKSTFormat(localized("INPUT_ALLOWED_RANGE"),
            { QString::number(m_filter.minValue), QStringLiteral("…") });
    case InputFilter::Accepted:
        break;
    }
    return QString();
}

void FilterTextField::refused(InputFilter::Verdict verdict)
{
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), refusalHint(verdict), this, {}, 2500);
    emit editRefused(verdict);
}

FilterSecureTextField::FilterSecureTextField(QWidget *parent) : FilterTextField(true, parent)
{
    setEchoMode(QLineEdit::Password);
}

} // namespace flk
