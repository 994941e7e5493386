// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/buttonglyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "ui/devicepixels.h"

namespace chronivel {

namespace {

QPixmap Transparent(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

qreal Rim(QSize size)
{
    return std::max(1, size.width() / PauseGlyphSize.width());
}

QPixmap PauseBars(QSize size)
{
    QPixmap pixmap = Transparent(size);
    QPainter painter(&pixmap);
    // A clear rim: a button takes the bottom-left pixel as its transparent colour.
    const qreal m = Rim(size), w = size.width() - 2 * m, h = size.height() - 2 * m;
    const qreal bar = w * 0.34;
    painter.fillRect(QRectF(m, m, bar, h), Qt::black);
    painter.fillRect(QRectF(m + w - bar, m, bar, h), Qt::black);
    return pixmap;
}

QPixmap PlayTriangle(QSize size)
{
    QPixmap pixmap = Transparent(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal m = Rim(size), w = size.width() - 2 * m, h = size.height() - 2 * m;
    QPainterPath triangle;
    triangle.moveTo(m, m);
    triangle.lineTo(m + w, m + h / 2);
    triangle.lineTo(m, m + h);
    triangle.closeSubpath();
    painter.fillPath(triangle, QColor(0, 110, 0));
    return pixmap;
}

QPixmap AlarmClock(bool ringing, QSize size)
{
    QPixmap pixmap = Transparent(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 15 × 16 grid and scaled, so every size shows the same clock.
    painter.scale(size.width() / 15.0, size.height() / 16.0);
    const QColor body = ringing ? QColor(200, 40, 30) : QColor(90, 90, 90);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(4.0, 3.2), 2.2, 2.2);   // bells
    painter.drawEllipse(QPointF(11.0, 3.2), 2.2, 2.2);
    painter.drawLine(QPointF(4.0, 13.0), QPointF(2.5, 15.2));  // feet
    painter.drawLine(QPointF(11.0, 13.0), QPointF(12.5, 15.2));
    painter.drawEllipse(QPointF(7.5, 8.8), 5.2, 5.2);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(7.5, 8.8), 3.7, 3.7);
    painter.drawLine(QPointF(7.5, 8.8), QPointF(7.5, 6.0));   // hands
    painter.drawLine(QPointF(7.5, 8.8), QPointF(9.6, 9.8));
    if (ringing) {
        painter.setPen(QPen(QColor(230, 160, 0), 1.0));
        painter.drawLine(QPointF(0.3, 7.0), QPointF(1.4, 7.6));
        painter.drawLine(QPointF(0.3, 10.6), QPointF(1.4, 10.0));
        painter.drawLine(QPointF(14.7, 7.0), QPointF(13.6, 7.6));
        painter.drawLine(QPointF(14.7, 10.6), QPointF(13.6, 10.0));
    }
    return pixmap;
}

// A tick or a cross on a 16 × 16 grid, in strokes an eighth of it wide.
QPixmap Strokes(QSize size, const QColor& color, std::initializer_list<QLineF> strokes)
{
    QPixmap pixmap = Transparent(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 16.0, size.height() / 16.0);
    painter.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QLineF& stroke : strokes) painter.drawLine(stroke);
    return pixmap;
}

}  // namespace

QPixmap OkGlyph(QSize size, qreal ratio)
{
    return AtRatio(size, ratio, [](QSize pixels) {
        return Strokes(pixels, QColor(0, 120, 0), {QLineF(3, 8.5, 6.5, 12), QLineF(6.5, 12, 13, 4)});
    });
}

QPixmap CancelGlyph(QSize size, qreal ratio)
{
    return AtRatio(size, ratio, [](QSize pixels) {
        return Strokes(pixels, QColor(170, 20, 20), {QLineF(4, 4, 12, 12), QLineF(12, 4, 4, 12)});
    });
}

QPixmap PauseGlyph(QSize size, qreal ratio)
{
    return AtRatio(size, ratio, PauseBars);
}

QPixmap PlayGlyph(QSize size, qreal ratio)
{
    return AtRatio(size, ratio, PlayTriangle);
}

QPixmap AlarmClockGlyph(bool ringing, QSize size, qreal ratio)
{
    return AtRatio(size, ratio, [ringing](QSize pixels) { return AlarmClock(ringing, pixels); });
}

}  // namespace chronivel
