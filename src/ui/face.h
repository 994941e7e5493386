// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "core/windowlayout.h"

namespace chronivel {

// Natively on Wayland, where no window places itself, takes a shape from a
// mask or has an opacity of its own.
bool OnWayland();

// The size the face bitmap is made at, whatever the zoom; the window stretches it.
inline constexpr QSize kFaceBitmapSize(BaseSide, BaseSide);

// How many shaded rings the coloured disc's rim has, black at the edge.
inline constexpr int kDiscRings = 14;

// A platform colour value 0x00BBGGRR as a QColor.
QColor ColorFromBgr(std::uint32_t bgr);

// Ring c of the disc's rim: c/15 of each part of the face colour, rounded down.
QColor DiscRingColor(const QColor& face, int ring);

// The coloured disc: a rounded rectangle over the whole image, its corner
// ellipse from `roundPercent`, filled with `face` and shaded over its outer
// fourteen pixels; white outside. Pixels are set exactly, without smoothing.
QImage DrawDisc(const QSize& size, const QColor& face, int roundPercent = 100);

enum class TFaceKind { fkDisc, fkPicture, fkDial, fkUnchanged };

struct TFaceImage {
    TFaceKind kind = TFaceKind::fkUnchanged;
    // The disc or the dial at the requested size; a picture at its own size,
    // to be stretched over the window. Null when unchanged.
    QImage image;
    // Taken from the picture's centre pixel; invalid when unchanged.
    QColor windowColor;
    // Why the picture could not be loaded; empty otherwise.
    QString error;
};

// Which face a colour and a picture path give: a colour other than 0 draws the
// disc; else a path that is not empty loads that picture (BMP, PNG, JPEG) and
// a picture that fails leaves the face unchanged; else the built-in dial.
TFaceImage MakeFace(const QSize& size, std::uint32_t bgrColor, const QString& picturePath, int roundPercent = 100);

// Moving the window by dragging the face with any mouse button: the point
// grabbed stays under the cursor. A click is not a drag: the window moves only
// once the cursor has gone a few pixels from where the button went down.
class TFaceDrag {
public:
    // A button went down at `grab` in the window, the cursor at `cursorOnScreen`.
    void Press(const QPoint& grab, const QPoint& cursorOnScreen);
    // Where the window's top-left corner goes for the cursor at `cursorOnScreen`:
    // nothing unless a button is down and the cursor has once been `threshold`
    // pixels (along x plus along y) away from where it was pressed.
    std::optional<QPoint> Move(const QPoint& cursorOnScreen, int threshold);
    // Moves `window` for the cursor at `cursorOnScreen`, once the cursor has
    // gone the desktop's drag distance.
    void Follow(QWidget& window, const QPoint& cursorOnScreen);
    void Release() { pressed_ = moving_ = false; }
    // The window follows the cursor.
    bool Dragging() const { return moving_; }
    QPoint Grab() const { return grab_; }

private:
    bool pressed_ = false;
    bool moving_ = false;
    QPoint grab_;
    QPoint pressedAt_;
};

// Drags `window` by the mouse events that reach it (its face, and what its
// controls pass on) while it lives.
class TWindowDrag final : public QObject {
public:
    explicit TWindowDrag(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    TFaceDrag drag_;
};

// The whole surface of the main window. It starts with the built-in dial and
// leaves the window colour alone until a face is applied. Mouse events pass on
// to the window, which does the dragging.
class TFace final : public QWidget {
    Q_OBJECT
public:
    explicit TFace(QWidget* parent = nullptr);

    // Takes effect at the next ApplyFace, as the disc is drawn only then. In a
    // window with a translucent background the face paints only this shape.
    void SetRoundPercent(int roundPercent);

    // Returns why a picture could not be loaded, or an empty text; such a
    // picture leaves the face as it was.
    QString ApplyFace(std::uint32_t bgrColor, const QString& picturePath);

    TFaceKind Kind() const { return kind_; }
    // Invalid until a face has been applied.
    QColor WindowColor() const { return windowColor_; }
    // What the face shows at its current size, drawn afresh.
    QImage Rendered() const;

signals:
    void windowColorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int roundPercent_ = 100;
    TFaceKind kind_ = TFaceKind::fkDial;
    QImage bitmap_;
    QColor windowColor_;
};

}  // namespace chronivel
