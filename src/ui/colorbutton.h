// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

namespace chronivel {

// A push button whose face is a colour of its own, with an optional glyph.
// The start/stop button turns lime, red and yellow with the run state.
// Every press is reported by mouseDown, the second of a double click too,
// because the main window acts on mouse-down rather than on click; a press
// by assistive technology by pressedWithoutMouse.
class TBitBtnWithColor final : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtnWithColor(QWidget* parent = nullptr);
    explicit TBitBtnWithColor(const QString& caption, QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    // Left of the caption; the disabled look is embossed from it.
    // The bottom-left pixel's colour is transparent and shows the face.
    void SetGlyph(const QImage& glyph);
    void SetGlyph(const QPixmap& glyph) { SetGlyph(glyph.toImage()); }

    // The button that Enter would press: the one with the keyboard focus, or
    // the default button while the focus is on something that is no button.
    bool IsFocused() const;

    // Pressed by assistive technology: only while the button is enabled and
    // shown, as the mouse can press it; no moment of an input event to count from.
    void Press();

signals:
    void mouseDown(Qt::MouseButton button, QPoint position);
    void pressedWithoutMouse();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum State { Up, Disabled, Down, StateCount };

    void PrepareGlyphs();
    QImage Render() const;

    QColor color_;
    QImage glyph_;
    QImage prepared_[StateCount];  // the glyph for each state, on the current face colour
};

}  // namespace chronivel
