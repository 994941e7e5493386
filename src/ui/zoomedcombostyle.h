// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace chronivel {

// Draws a drop-down list's box, button and arrow as they look at zoom 1,
// magnified by the window's zoom factor, so that its arrow grows with the
// rest of the face; drawn at the screen's full resolution, not stretched.
// The text keeps the list's own font. Set on one widget, it follows the
// application's style in everything else.
class ZoomedComboStyle final : public QProxyStyle {
public:
    ZoomedComboStyle() = default;

    void SetZoom(int factor) { factor_ = factor < 1 ? 1 : factor; }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;

private:
    int factor_ = 1;
    mutable bool drawingSmall_ = false;
};

}  // namespace chronivel
