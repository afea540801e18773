// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A check box with its box at the right and its caption right-aligned,
// word-wrapped and standing on the bottom line, the way the search window's
// check boxes are laid out. Qt's own check box draws the box at the left and
// never wraps.
#pragma once

#include <QCheckBox>

class RightBoxCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The whole control, caption included, toggles the box.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    QRect IndicatorRect() const;
};
