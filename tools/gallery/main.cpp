// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <cstdio>

#include "gallery.h"

#include <QPixmap>
#include <QWidget>

namespace chronivel::gallery {

void Save(QWidget& widget, const QDir& folder, const QString& name, int zoom)
{
    widget.ensurePolished();
    QPixmap picture = widget.grab();
    if (zoom > 1) picture = picture.scaled(picture.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
}

}  // namespace chronivel::gallery

// gallery [folder]: the folder defaults to "gallery" in the current one.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir dir;
    if (!dir.mkpath(folder)) {
        std::fprintf(stderr, "gallery: cannot make %s\n", qPrintable(folder));
        return 1;
    }
    dir.setPath(folder);
    chronivel::gallery::DigitGallery(dir);
    chronivel::gallery::LedGallery(dir);
    chronivel::gallery::ButtonGallery(dir);
    chronivel::gallery::FaceGallery(dir);
    std::printf("gallery: pictures in %s\n", qPrintable(dir.absolutePath()));
    return 0;
}
