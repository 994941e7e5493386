// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/zoomedcombostyle.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionComboBox>

namespace chronivel {

namespace {

// The option as it would be at zoom 1, placed at the origin.
QStyleOptionComboBox AtZoomOne(const QStyleOptionComboBox& option, int factor)
{
    QStyleOptionComboBox small = option;
    small.rect = QRect(QPoint(0, 0), option.rect.size() / factor);
    return small;
}

}  // namespace

void ZoomedComboStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo || factor_ == 1)
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    // A canvas whose pixels are `factor_` times as dense: the style draws the
    // small box on it with every device pixel of the big one.
    const qreal ratio = painter->device()->devicePixelRatioF();
    QPixmap canvas(option->rect.size() * ratio);
    canvas.setDevicePixelRatio(ratio * factor_);
    canvas.fill(Qt::transparent);
    {
        QPainter small(&canvas);
        const QStyleOptionComboBox atOne = AtZoomOne(*combo, factor_);
        // The style asks for the parts of the small box while it draws it.
        drawingSmall_ = true;
        QProxyStyle::drawComplexControl(control, &atOne, &small, widget);
        drawingSmall_ = false;
    }
    painter->drawPixmap(option->rect, canvas);
}

QRect ZoomedComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                       const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo || factor_ == 1 || drawingSmall_)
        return QProxyStyle::subControlRect(control, option, part, widget);
    const QStyleOptionComboBox atOne = AtZoomOne(*combo, factor_);
    const QRect small = QProxyStyle::subControlRect(control, &atOne, part, widget);
    return QRect(option->rect.topLeft() + small.topLeft() * factor_, small.size() * factor_);
}

}  // namespace chronivel
