// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/readoutdigits.h"
#include "core/windowlayout.h"

namespace chronivel {

// One picture of the readout: a digit or a separator. It paints only its glyph.
class ReadoutImage final : public QWidget {
    Q_OBJECT
public:
    explicit ReadoutImage(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    void SetGlyph(const QPixmap& glyph);
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
    int paints_ = 0;
};

// How long a frame of the screen `widget` is on lasts, in milliseconds
// (60 frames a second where the screen does not say).
double FrameMs(const QWidget& widget);

// The readout panel: twelve images in a black, sunken panel. A new time
// redraws only the images whose digit changed, all in one update and at most
// once a frame of its screen: what changes within a frame is drawn together
// at the frame's end, as the screen could not show it sooner. Lit in lime,
// or in red while the countdown's warning flashes: a change of colour
// redraws them all.
// To assistive technology it is one text, the time shown, read when asked;
// it speaks up only when Announce is called, never on a display tick.
class Readout final : public QFrame {
    Q_OBJECT
public:
    explicit Readout(QWidget* parent = nullptr);

    // The time as text, for those who cannot see the digits.
    std::function<QString()> timeText;
    QString TimeText() const { return timeText ? timeText() : QString(); }
    // Tells assistive technology about a line worth hearing (a lap, the stop).
    void Announce(const QString& line);
    QString LastAnnounced() const { return announced_; }

    // Places the panel and its images for a layout; glyphs are drawn afresh
    // at the new size rather than stretched.
    void Relayout(const WindowLayout& layout);
    // Draws the digits of the images in `changed` (bit i for image i), in
    // red where `warning`.
    void Show(const ReadoutDigits& digits, std::uint32_t changed, bool warning = false);
    // The colour alone: a pause ends the warning's flash without a new time.
    void SetWarning(bool warning) { Show({}, 0, warning); }

    ReadoutImage* Image(int index) const { return images_[index]; }

protected:
    bool event(QEvent* event) override;

signals:
    // With the accessibility event of the same line.
    void announced(const QString& line);

private:
    const QPixmap& GlyphOf(int image) const;
    void DrawPending();

    std::array<ReadoutImage*, 13> images_{};  // 1..12
    // By colour (lime, warning red), at the current size:
    std::array<std::array<QPixmap, 11>, 2> digitGlyphs_;  // 0..9 and blank
    std::array<std::array<QPixmap, 4>, 2> markGlyphs_;    // ":", ".", "," and blank
    std::array<int, 13> shown_{};             // the digit each image holds
    bool warning_ = false;                    // the images are (to be) drawn in red
    std::uint32_t pending_ = 0;           // images whose digit changed since the last update
    QElapsedTimer lastUpdate_;
    QTimer nextFrame_;                    // the update held back to the next frame
    QString announced_;
    std::optional<WindowLayout> layout_;  // the last one laid out
    qreal ratio_ = 1;                     // the device pixel ratio the glyphs are drawn for
};

}  // namespace chronivel
