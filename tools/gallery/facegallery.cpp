// SPDX-License-Identifier: GPL-3.0-or-later
#include "gallery.h"

#include <QImage>
#include <QPainter>

#include <cstdio>

#include "ui/dial.h"
#include "ui/face.h"
#include "ui/windowregion.h"

namespace chronivel::gallery {
namespace {

void SaveImage(const QImage& image, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
}

// The face as the window shows it: clipped to the region, the desktop behind in grey.
QImage Clipped(const QImage& face, int roundPercent)
{
    QImage shot(face.size(), QImage::Format_RGB32);
    shot.fill(QColor(96, 96, 96));
    QPainter painter(&shot);
    painter.setClipRegion(WindowRegion(face.width(), face.height(), roundPercent));
    painter.drawImage(0, 0, face);
    return shot;
}

}  // namespace

void FaceGallery(const QDir& folder)
{
    const QImage dial = DrawDial(kFaceBitmapSize);
    SaveImage(dial, folder, QStringLiteral("face-dial-224"));
    SaveImage(DrawDial(kFaceBitmapSize * 3), folder, QStringLiteral("face-dial-672"));

    const struct {
        std::uint32_t bgr;
        const char* name;
    } colours[] = {{0x0000FF, "red"}, {0x00C000, "green"}, {0xA06020, "blue"}, {0x40C0F0, "amber"}};
    for (const auto& colour : colours) {
        const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(colour.bgr));
        SaveImage(disc, folder, QStringLiteral("face-disc-%1").arg(colour.name));
    }
    // The rim's top left at eight times, to count its fourteen rings.
    const QImage red = DrawDisc(kFaceBitmapSize, ColorFromBgr(0x0000FF));
    SaveImage(red.copy(0, 0, 48, 48).scaled(48 * 8, 48 * 8, Qt::IgnoreAspectRatio, Qt::FastTransformation), folder,
              QStringLiteral("face-disc-red-rim-x8"));

    for (const int round : {100, 50, 0}) {
        SaveImage(Clipped(dial, round), folder, QStringLiteral("face-region-%1-dial").arg(round));
        SaveImage(Clipped(DrawDisc(kFaceBitmapSize, ColorFromBgr(0xA06020), round), round), folder,
                  QStringLiteral("face-region-%1-disc").arg(round));
    }
}

}  // namespace chronivel::gallery
