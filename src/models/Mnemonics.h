// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QStringList>

namespace flk {

// Gives each text of one menu (or of one menu bar) a keyboard mnemonic that
// no other text of the same list uses: the first letter of a word where it
// is free, else any free letter or digit of the text, else an appended
// "(&X)" as is usual for scripts without letters to mark. A text that marks
// its own mnemonic ("&Quit") keeps it; other ampersands are shown as such.
// Empty texts (separators) stay empty.
QStringList assignMnemonics(const QStringList &texts);

} // namespace flk
