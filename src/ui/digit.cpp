// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/digit.h"

#include <QPainter>
#include <QPolygon>

#include "core/sevensegment.h"

namespace chronivel {

namespace {

constexpr QSize kDefaultSize(16, 32);

}  // namespace

void PaintSevenSegments(QPainter& painter, const QRect& rect, std::uint8_t pattern, const QColor& on,
                        const QColor& off, const QColor& background, int thickness, int separation)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, background);
    painter.setPen(QPen(background, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.translate(rect.topLeft());
    for (const SegmentPolygon& segment : SegmentPolygons(rect.width(), rect.height(), thickness, separation)) {
        painter.setBrush((pattern & segment.mask) == segment.mask ? on : off);
        QPolygon polygon(segment.vertexCount);
        for (int i = 0; i < segment.vertexCount; ++i) {
            polygon.setPoint(i, segment.vertices[i].x, segment.vertices[i].y);
        }
        painter.drawPolygon(polygon);
    }
    painter.restore();
}

TDigit::TDigit(QWidget* parent)
    : QWidget(parent), valueBinary_(DigitPatterns[0])
{
    // Every pixel is painted, so nothing needs erasing behind the digit.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDefaultSize);
}

QSize TDigit::sizeHint() const
{
    return kDefaultSize;
}

void TDigit::SetValue(int value)
{
    if (value == value_) return;
    if (value < 0 || value > 9) {
        value_ = 0;
        emit overflow(this);
    } else {
        value_ = value;
    }
    valueBinary_ = DigitPatterns[value_];
    repaint();
}

void TDigit::SetThickness(int thickness)
{
    if (thickness > width() / 2 || thickness > height() / 2) return;
    thickness_ = thickness;
    update();
}

void TDigit::SetSeparation(int separation)
{
    separation_ = separation;
    update();
}

void TDigit::paintEvent(QPaintEvent*)
{
    ++paintCount_;
    // Qt clips the painter to the invalid region already.
    QPainter painter(this);
    PaintSevenSegments(painter, rect(), valueBinary_, colorOn_, colorOff_, color_, thickness_, separation_);
}

}  // namespace chronivel
