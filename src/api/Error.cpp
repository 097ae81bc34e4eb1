// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Error.h"

namespace flk {

int Error::cgiId() const
{
    return userInfo.value(QStringLiteral("cgi_id")).toInt();
}

QString Error::toString() const
{
    if (!isError())
        return QStringLiteral("no error");
    QString s = QStringLiteral("%1 %2").arg(domain).arg(code);
    if (!userInfo.isEmpty()) {
        QStringList parts;
        for (auto it = userInfo.cbegin(); it != userInfo.cend(); ++it)
            parts << it.key() + QLatin1Char('=') + it.value().toString();
        s += QStringLiteral(" {") + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    return s;
}

} // namespace flk
