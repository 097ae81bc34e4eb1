// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "TextCapping.h"

namespace flk {

// Draws a cell whose text is a share ("45.2%") as a progress bar carrying
// that text; the model keeps the text, so screen readers and Copy read it as
// sent. A text without a leading number is drawn as text.
class ProgressDelegate : public CappedTextDelegate
{
    Q_OBJECT

public:
    using CappedTextDelegate::CappedTextDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
};

} // namespace flk
