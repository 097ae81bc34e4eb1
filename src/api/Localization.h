// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>
#include <QStringList>

namespace flk {

// Fills the placeholders "{0}" to "{9}" of a localised text with args in order:
// "{n}" takes args[n]. Substitution is one pass, so an argument that itself
// contains "{1}" is inserted as it stands. A placeholder without an argument
// becomes empty text.
QString stringWithKSTFormat(const QString &format, const QStringList &args);

// The localised text of a key (qtTrId of the English table).
QString localized(const char *key);

// Loads the built-in English string table into the running application.
// Safe to call more than once.
bool installTranslations();

} // namespace flk
