// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RightBoxCheckBox.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {
// Pixels between the caption and the box.
constexpr int kCaptionGap = 4;
} // namespace

QRect RightBoxCheckBox::IndicatorRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int boxWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int boxHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    // Centred on the caption's last line, which sits on the bottom edge.
    const int lineHeight = fontMetrics().height();
    const int top = height() - lineHeight + (lineHeight - boxHeight) / 2;
    return {width() - boxWidth, top, boxWidth, boxHeight};
}

void RightBoxCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton box = option;
    box.rect = IndicatorRect();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);

    QRect focusArea = box.rect;
    if (!text().isEmpty()) {
        const QRect captionArea = rect().adjusted(0, 0, -(box.rect.width() + kCaptionGap), 0);
        const int flags =
            Qt::AlignRight | Qt::AlignBottom | Qt::TextWordWrap | Qt::TextShowMnemonic;
        painter.drawItemText(captionArea, flags, option.palette, isEnabled(), text(),
                             QPalette::WindowText);
        focusArea = fontMetrics().boundingRect(captionArea, flags, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = focusArea;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
