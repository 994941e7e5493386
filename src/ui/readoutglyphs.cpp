// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/readoutglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "core/sevensegment.h"
#include "ui/devicepixels.h"
#include "ui/digit.h"

namespace chronivel {

namespace {

const QColor kBlack(0, 0, 0);

// How many zoom-1 glyphs fit into this size, in the tighter direction.
double Scale(QSize size, QSize base)
{
    return std::min(static_cast<double>(size.width()) / base.width(),
                    static_cast<double>(size.height()) / base.height());
}

QPixmap BlackPixmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(kBlack);
    return pixmap;
}

// A mark of the separators: a parallelogram from `left` to `right` and
// `height` high, its top edge `lean` further right than its bottom edge.
QPolygonF Mark(double left, double right, double top, double height, double lean)
{
    return QPolygonF({QPointF(left + lean, top), QPointF(right, top), QPointF(right - lean, top + height),
                      QPointF(left, top + height)});
}

}  // namespace

GlyphStroke DigitGlyphStroke(QSize size)
{
    // A stroke of an eighth of the width at every zoom keeps the readout's
    // weight. At zoom 1 the one-pixel rim alone parts the segments: any more
    // and 16 × 25 digits fall apart into dashes. Larger digits get gaps that
    // grow with them, but slower, since the rim already shows.
    const double scale = Scale(size, DigitGlyphSize);
    const int limit = std::max(1, std::min(size.width(), size.height()) / 4);
    const int thickness = std::clamp(static_cast<int>(std::lround(2 * scale)), 1, limit);
    const int separation = std::max(0, static_cast<int>(std::lround(0.75 * (scale - 1))));
    return {thickness, separation};
}

QPixmap DigitGlyph(int digit, QSize size, qreal ratio, QRgb ink)
{
    if (digit < 0 || digit > 9) return BlankGlyph(size, ratio);
    return AtRatio(size, ratio, [digit, ink](QSize pixels) {
        QPixmap pixmap(pixels);
        QPainter painter(&pixmap);
        const GlyphStroke stroke = DigitGlyphStroke(pixels);
        PaintSevenSegments(painter, pixmap.rect(), DigitPatterns[digit], QColor(ink), kBlack, kBlack, stroke.thickness,
                           stroke.separation);
        return pixmap;
    });
}

QPixmap BlankGlyph(QSize size, qreal ratio)
{
    return AtRatio(size, ratio, BlackPixmap);
}

namespace {

QPixmap SeparatorPixmap(int index, QSize size, QRgb ink)
{
    QPixmap pixmap = BlackPixmap(size);
    if (index < ColonGlyph || index > CommaGlyph) return pixmap;

    // Measured on the digits beside it: a mark is as high as their bars are
    // lit, and sits on the rows of a bar or midway between two. Whole-pixel
    // rows make both marks of the colon come out alike.
    const double scale = static_cast<double>(size.height()) / DigitGlyphSize.height();
    const QSize digit(static_cast<int>(std::lround(DigitGlyphSize.width() * scale)), size.height());
    const int t = DigitGlyphStroke(digit).thickness;
    const int h = size.height() - 1;
    const int markHeight = 2 * t - 1;
    const int lowTop = h - 2 * t + 1;
    // One dark column on the left, as a digit's rim leaves, puts the mark
    // midway between the lit edges of its neighbours in the readout.
    const double left = 1;
    const double right = size.width();
    const double lean = markHeight / 4.0;

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(ink));
    switch (index) {
    case ColonGlyph: {
        // In the middle of the digits' upper and lower openings.
        const int upperCentre = (t + h / 2) / 2;
        const int lowerCentre = h / 2 + (h / 2 - upperCentre);
        painter.drawPolygon(Mark(left, right, upperCentre - (markHeight - 1) / 2, markHeight, lean));
        painter.drawPolygon(Mark(left, right, lowerCentre - (markHeight - 1) / 2, markHeight, lean));
        break;
    }
    case PointGlyph:
        painter.drawPolygon(Mark(left, right, lowTop, markHeight, lean));
        break;
    case CommaGlyph: {
        // A point raised by half its height, with a tail down to the bottom edge.
        const int top = lowTop - (markHeight - 1) / 2;
        const double bottom = size.height();
        const double width = right - left;
        QPolygonF comma = Mark(left, right, top, markHeight, lean);
        comma.insert(3, QPointF(left + width * 0.1, bottom));
        comma.insert(4, QPointF(left - width * 0.2, bottom));
        painter.drawPolygon(comma);
        break;
    }
    }
    return pixmap;
}

QPixmap SpeakerPixmap(bool soundOn, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on the zoom-1 grid, scaled to fit and centred.
    const double scale = Scale(size, SpeakerGlyphSize);
    painter.translate((size.width() - SpeakerGlyphSize.width() * scale) / 2,
                      (size.height() - SpeakerGlyphSize.height() * scale) / 2);
    painter.scale(scale, scale);

    const QColor ink(24, 24, 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    QPainterPath speaker;
    speaker.addRect(QRectF(3, 11.5, 6, 8));
    speaker.addPolygon(QPolygonF({QPointF(9, 11.5), QPointF(16, 5), QPointF(16, 26), QPointF(9, 19.5)}));
    speaker.setFillRule(Qt::WindingFill);
    painter.drawPath(speaker.simplified());

    if (soundOn) {
        QPen wave(ink, 2, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(wave);
        painter.setBrush(Qt::NoBrush);
        for (double radius : {4.5, 8.5, 12.5}) {
            const QRectF circle(15.5 - radius, 15.5 - radius, 2 * radius, 2 * radius);
            painter.drawArc(circle, -45 * 16, 90 * 16);
        }
    } else {
        painter.setPen(QPen(QColor(220, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(19.5, 10.5), QPointF(28.5, 20.5));
        painter.drawLine(QPointF(28.5, 10.5), QPointF(19.5, 20.5));
    }
    return pixmap;
}

}  // namespace

QPixmap SeparatorGlyph(int index, QSize size, qreal ratio, QRgb ink)
{
    return AtRatio(size, ratio, [index, ink](QSize pixels) { return SeparatorPixmap(index, pixels, ink); });
}

QPixmap SpeakerGlyph(bool soundOn, QSize size, qreal ratio)
{
    return AtRatio(size, ratio, [soundOn](QSize pixels) { return SpeakerPixmap(soundOn, pixels); });
}

}  // namespace chronivel
