// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonValue>

namespace flk::saverule {

// The shapes the sheets read members in.
// A finite whole number.
bool isWhole(const QJsonValue &v);
// true/false, or the numbers 0 and 1.
bool isFlag(const QJsonValue &v);
bool isText(const QJsonValue &v);
// An array of texts (possibly empty).
bool isWords(const QJsonValue &v);

// What a sheet sends for one member it shows. The screen's value goes when
// the user edited it or the member was read in the shape the screen
// understands. Otherwise the screen shows a stand-in (an empty field, an
// unticked box) that must never reach the NAS: the member goes back exactly
// as the NAS sent it when the save takes members in the form they are read
// (canEcho), and is left out when it was missing or cannot go back in its
// own form.
enum class Send { ScreenValue, AsRead, Nothing };
Send decide(bool edited, bool understood, bool present, bool canEcho);

} // namespace flk::saverule
