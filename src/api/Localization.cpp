// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Localization.h"

#include <QCoreApplication>
#include <QTranslator>

namespace flk {

QString stringWithKSTFormat(const QString &format, const QStringList &args)
{
    QString out;
    out.reserve(format.size());
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == QLatin1Char('{') && i + 2 < format.size() && format[i + 1].isDigit()
            && format[i + 1].unicode() < 128 && format[i + 2] == QLatin1Char('}')) {
            const int n = format[i + 1].unicode() - '0';
            if (n < args.size())
                out += args[n];
            i += 2;
            continue;
        }
        out += format[i];
    }
    return out;
}

QString localized(const char *key)
{
    return qtTrId(key);
}

bool installTranslations()
{
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    auto *t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QStringLiteral(":/i18n/ferrylink_en.qm"))) {
        delete t;
        qWarning("Ferrylink: the English string table is missing");
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

} // namespace flk
