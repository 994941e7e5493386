// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dial.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace chronivel {
namespace {

constexpr double kPi = std::numbers::pi;

// Radii as fractions of the outer radius.
constexpr double kRingInner = 0.905;
constexpr double kPlateEdge = 0.875;
constexpr double kTickOuter = 0.835;
constexpr double kMinorTickInner = 0.775;
constexpr double kMajorTickInner = 0.705;

void DrawRing(QPainter& painter, const QPointF& centre, double radius)
{
    // Brushed metal: a conical sweep of silvers lit from the upper left.
    QConicalGradient metal(centre, 135.0);
    metal.setColorAt(0.00, QColor(250, 251, 252));
    metal.setColorAt(0.12, QColor(196, 200, 205));
    metal.setColorAt(0.25, QColor(150, 155, 162));
    metal.setColorAt(0.38, QColor(205, 209, 214));
    metal.setColorAt(0.50, QColor(120, 126, 133));
    metal.setColorAt(0.62, QColor(200, 204, 209));
    metal.setColorAt(0.75, QColor(152, 157, 164));
    metal.setColorAt(0.88, QColor(214, 218, 222));
    metal.setColorAt(1.00, QColor(250, 251, 252));
    painter.setPen(QPen(QColor(92, 98, 106), std::max(1.0, radius / 90.0)));
    painter.setBrush(metal);
    painter.drawEllipse(centre, radius, radius);
    // A bright edge just inside the outline, as light catching a polished rim.
    const double lip = radius - std::max(1.5, radius / 60.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 140), std::max(1.0, radius / 110.0)));
    painter.drawEllipse(centre, lip, lip);

    // The inner bevel falls away from the light, so the plate sits below the ring.
    const double bevel = radius * kRingInner;
    QLinearGradient shade(centre.x() - bevel, centre.y() - bevel, centre.x() + bevel, centre.y() + bevel);
    shade.setColorAt(0.0, QColor(96, 102, 110));
    shade.setColorAt(0.5, QColor(168, 173, 179));
    shade.setColorAt(1.0, QColor(238, 240, 243));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(centre, bevel, bevel);
}

void DrawPlate(QPainter& painter, const QPointF& centre, double radius)
{
    const double plate = radius * kPlateEdge;
    // Flat in the middle so the centre pixel is exactly the window colour,
    // darkening only towards the rim.
    QRadialGradient tint(centre, plate);
    tint.setColorAt(0.0, kDialCentreColor);
    tint.setColorAt(0.62, kDialCentreColor);
    tint.setColorAt(0.93, QColor(150, 168, 176));
    tint.setColorAt(1.0, QColor(118, 136, 146));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    painter.drawEllipse(centre, plate, plate);
    // A fine dark seam where the plate meets the bevel sharpens the edge.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(70, 80, 92, 150), std::max(1.0, radius / 120.0)));
    painter.drawEllipse(centre, plate, plate);
}

void DrawTicks(QPainter& painter, const QPointF& centre, double radius)
{
    const QColor ink(38, 48, 60);
    const double minorWidth = std::max(1.0, radius / 110.0);
    const double majorWidth = std::max(2.0, radius / 40.0);
    painter.setBrush(Qt::NoBrush);
    for (int second = 0; second < 60; ++second) {
        const bool major = second % 5 == 0;
        const double angle = second * kPi / 30.0;
        const double dx = std::sin(angle);
        const double dy = -std::cos(angle);
        const double inner = radius * (major ? kMajorTickInner : kMinorTickInner);
        const double outer = radius * kTickOuter;
        painter.setPen(QPen(ink, major ? majorWidth : minorWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(centre.x() + dx * inner, centre.y() + dy * inner),
                         QPointF(centre.x() + dx * outer, centre.y() + dy * outer));
    }
    // Fifths of a second between the marks, where the dial is large enough to show them apart.
    if (radius < 150.0) return;
    painter.setPen(QPen(ink, minorWidth * 0.6, Qt::SolidLine, Qt::FlatCap));
    for (int fifth = 0; fifth < 300; ++fifth) {
        if (fifth % 5 == 0) continue;
        const double angle = fifth * kPi / 150.0;
        const double dx = std::sin(angle);
        const double dy = -std::cos(angle);
        const double inner = radius * (kTickOuter - 0.03);
        const double outer = radius * kTickOuter;
        painter.drawLine(QPointF(centre.x() + dx * inner, centre.y() + dy * inner),
                         QPointF(centre.x() + dx * outer, centre.y() + dy * outer));
    }
}

}  // namespace

void PaintDial(QPainter& painter, const QSize& size)
{
    if (size.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The centre of pixel (width div 2, height div 2), so that pixel lies in the flat middle.
    const QPointF centre(size.width() / 2 + 0.5, size.height() / 2 + 0.5);
    const double radius = std::min(size.width(), size.height()) / 2.0 - 1.5;
    DrawRing(painter, centre, radius);
    DrawPlate(painter, centre, radius);
    DrawTicks(painter, centre, radius);
    painter.restore();
}

QImage DrawDial(const QSize& size)
{
    if (size.isEmpty()) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintDial(painter, size);
    return image;
}

}  // namespace chronivel
