// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/face.h"

#include <QApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include "ui/devicepixels.h"
#include "ui/dial.h"
#include "ui/windowregion.h"

#include <algorithm>

namespace chronivel {

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QColor ColorFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QColor DiscRingColor(const QColor& face, int ring)
{
    return QColor(ring * face.red() / 15, ring * face.green() / 15, ring * face.blue() / 15);
}

QImage DrawDisc(const QSize& size, const QColor& face, int roundPercent)
{
    if (size.isEmpty()) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int w = size.width();
    const int h = size.height();
    // Every ring keeps the corner ellipse of the outermost one.
    const QSize ellipse = CornerEllipse(w, h, roundPercent);
    QRgb ringColors[kDiscRings + 1];
    for (int c = 0; c < kDiscRings; ++c) ringColors[c] = DiscRingColor(face, c).rgb();
    ringColors[kDiscRings] = face.rgb();

    // A pixel takes the colour of the innermost outline (c, c)-(W - c, H - c)
    // that still contains it, so the rings lie one against the next without gaps.
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        TRowSpan spans[kDiscRings + 1];
        for (int c = 0; c <= kDiscRings; ++c) spans[c] = RoundRectRow(QRect(c, c, w - 2 * c, h - 2 * c), ellipse, y);
        for (int c = 0; c <= kDiscRings; ++c) {
            if (spans[c].Empty()) break;
            for (int x = std::max(0, spans[c].first); x <= std::min(w - 1, spans[c].last); ++x) line[x] = ringColors[c];
        }
    }
    return image;
}

TFaceImage MakeFace(const QSize& size, std::uint32_t bgrColor, const QString& picturePath, int roundPercent)
{
    TFaceImage face;
    if (bgrColor != 0) {
        const QColor colour = ColorFromBgr(bgrColor);
        face.kind = TFaceKind::fkDisc;
        face.image = DrawDisc(size, colour, roundPercent);
        face.windowColor = colour;
        return face;
    }
    if (!picturePath.isEmpty()) {
        QImageReader reader(picturePath);
        QImage picture = reader.read();
        if (picture.isNull()) {
            face.error = reader.errorString();
            return face;
        }
        face.kind = TFaceKind::fkPicture;
        face.windowColor = picture.pixelColor(picture.width() / 2, picture.height() / 2);
        face.image = picture.convertToFormat(QImage::Format_RGB32);
        return face;
    }
    face.kind = TFaceKind::fkDial;
    face.image = DrawDial(size);
    face.windowColor = face.image.pixelColor(size.width() / 2, size.height() / 2);
    return face;
}

void TFaceDrag::Press(const QPoint& grab, const QPoint& cursorOnScreen)
{
    pressed_ = true;
    moving_ = false;
    grab_ = grab;
    pressedAt_ = cursorOnScreen;
}

std::optional<QPoint> TFaceDrag::Move(const QPoint& cursorOnScreen, int threshold)
{
    if (!pressed_) return std::nullopt;
    if (!moving_) moving_ = (cursorOnScreen - pressedAt_).manhattanLength() >= threshold;
    if (!moving_) return std::nullopt;
    return cursorOnScreen - grab_;
}

void TFaceDrag::Follow(QWidget& window, const QPoint& cursorOnScreen)
{
    const auto to = Move(cursorOnScreen, QApplication::startDragDistance());
    if (!to) return;
    // Wayland lets no window place itself: there the compositor moves it until
    // the button is released. Elsewhere the window follows the cursor itself,
    // as the window managers' own moves end only with the left button.
    if (OnWayland() && window.windowHandle() &&
        window.windowHandle()->startSystemMove()) {
        Release();
        return;
    }
    window.move(*to);
}

TWindowDrag::TWindowDrag(QWidget& window)
    : QObject(&window), window_(window)
{
    window.installEventFilter(this);
}

bool TWindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {  // the second press of a double click grabs as the first did
        const auto* mouse = static_cast<QMouseEvent*>(event);
        drag_.Press(mouse->position().toPoint(), mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        drag_.Follow(window_, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        drag_.Release();
        return true;
    default:
        return false;
    }
}

TFace::TFace(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFace::SetRoundPercent(int roundPercent)
{
    roundPercent_ = ClampRoundPercent(roundPercent);
}

QString TFace::ApplyFace(std::uint32_t bgrColor, const QString& picturePath)
{
    TFaceImage face = MakeFace(kFaceBitmapSize, bgrColor, picturePath, roundPercent_);
    if (face.kind == TFaceKind::fkUnchanged) return face.error;
    kind_ = face.kind;
    // The dial is drawn afresh at the widget's size when painted; the others are stretched.
    bitmap_ = kind_ == TFaceKind::fkDial ? QImage() : face.image;
    if (face.windowColor != windowColor_) {
        windowColor_ = face.windowColor;
        emit windowColorChanged(windowColor_);
    }
    update();
    return {};
}

QImage TFace::Rendered() const
{
    if (kind_ == TFaceKind::fkDial) {
        // With every device pixel of the screen: the dial is drawn, not a bitmap.
        const qreal ratio = devicePixelRatioF();
        QImage dial = DrawDial(DevicePixels(size(), ratio));
        dial.setDevicePixelRatio(ratio);
        return dial;
    }
    if (bitmap_.isNull() || size().isEmpty()) return {};
    return bitmap_.size() == size() ? bitmap_ : bitmap_.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void TFace::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // Where no mask cuts the window, what lies outside the face stays clear.
    if (window()->testAttribute(Qt::WA_TranslucentBackground))
        painter.setClipRegion(WindowRegion(width(), height(), roundPercent_));
    if (kind_ == TFaceKind::fkDial) {
        // Drawn where it shows, in device pixels, as Rendered() draws it: no
        // copy of a window-sized image is kept (5 MB at the largest zoom).
        painter.fillRect(event->rect(), Qt::white);
        const qreal ratio = devicePixelRatioF();
        painter.scale(1 / ratio, 1 / ratio);
        PaintDial(painter, DevicePixels(size(), ratio));
        return;
    }
    if (bitmap_.isNull()) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // Stretched without smoothing, as a bitmap scaled to the window.
    painter.drawImage(rect(), bitmap_);
}

}  // namespace chronivel
