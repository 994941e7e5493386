// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

#include <cstdint>

#include "ui/changeto.h"

class QPainter;

namespace chronivel {

// Fills `rect` with the background and draws the eight segments of `pattern`
// (bits as in core/sevensegment.h) into it: lit ones in `on`, the others in
// `off`, each with a one-pixel rim of the background colour. Not antialiased,
// so every pixel is where the geometry puts it.
void PaintSevenSegments(QPainter& painter, const QRect& rect, std::uint8_t pattern, const QColor& on,
                        const QColor& off, const QColor& background, int thickness, int separation);

// One seven-segment digit with a decimal point, drawn as polygons at any
// size. It shows a decimal digit (Value) or any pattern of its segments
// (ValueBinary); the big readout of the second monitor is a row of them.
class TDigit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(Border BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(QColor ColorOff READ ColorOff WRITE SetColorOff)
    Q_PROPERTY(QColor ColorOn READ ColorOn WRITE SetColorOn)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(quint8 ValueBinary READ ValueBinary WRITE SetValueBinary)
    Q_PROPERTY(int Thickness READ Thickness WRITE SetThickness)
    Q_PROPERTY(int Separation READ Separation WRITE SetSeparation)

public:
    enum class Border { None, Single };
    Q_ENUM(Border)

    explicit TDigit(QWidget* parent = nullptr);

    // The background, also the colour of every segment's rim.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color) { if (ChangeTo(color_, color)) update(); }
    // Kept for the settings; the drawing does not depend on it.
    Border BorderStyle() const { return border_; }
    void SetBorderStyle(Border border) { if (ChangeTo(border_, border)) repaint(); }
    QColor ColorOff() const { return colorOff_; }
    void SetColorOff(const QColor& color) { if (ChangeTo(colorOff_, color)) repaint(); }
    QColor ColorOn() const { return colorOn_; }
    void SetColorOn(const QColor& color) { if (ChangeTo(colorOn_, color)) repaint(); }

    // 0..9. Anything else shows 0 and emits overflow(). Setting the value it
    // already has does nothing, even when ValueBinary was changed since.
    int Value() const { return value_; }
    void SetValue(int value);
    std::uint8_t ValueBinary() const { return valueBinary_; }
    void SetValueBinary(std::uint8_t pattern) { if (ChangeTo(valueBinary_, pattern)) repaint(); }

    // Half a segment's stroke. Refused when more than half the current width
    // or height; a later resize does not check it again.
    int Thickness() const { return thickness_; }
    void SetThickness(int thickness);
    // The gap between the pointed ends of neighbouring segments.
    int Separation() const { return separation_; }
    void SetSeparation(int separation);

    // How often the digit has painted itself, so callers can see that it did
    // (or did not) redraw.
    int PaintCount() const { return paintCount_; }

    QSize sizeHint() const override;

signals:
    void overflow(chronivel::TDigit* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::black;
    Border border_ = Border::Single;
    QColor colorOff_ = Qt::black;
    QColor colorOn_ = QColor(255, 255, 0);
    int value_ = 0;
    std::uint8_t valueBinary_;
    int thickness_ = 2;
    int separation_ = 1;
    int paintCount_ = 0;
};

}  // namespace chronivel
