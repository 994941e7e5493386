// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

namespace chronivel {

// Where the glyph sits relative to the caption, in the order stored forms number it by.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What a click does besides being a click: bkClose closes the window,
// bkHelp asks for help (helpRequested). The other kinds click plainly.
enum class TBitBtnWithColorKind {
    bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll
};

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

    // One to four images side by side: up, disabled, down, and a fourth the
    // button never uses. With one image the disabled one is embossed from it.
    // The bottom-left pixel's colour is transparent and shows the face.
    QImage Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    void SetGlyph(const QPixmap& glyph) { SetGlyph(glyph.toImage()); }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);

    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    // −1 centres glyph and caption as one group; otherwise the glyph's
    // distance from the edge on its side.
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);

    TBitBtnWithColorKind Kind() const { return kind_; }
    void SetKind(TBitBtnWithColorKind kind) { kind_ = kind; }

    // The button that Enter would press: the one with the keyboard focus, or
    // the default button while the focus is on something that is no button.
    bool IsFocused() const;

    // Pressed by assistive technology: only while the button is enabled and
    // shown, as the mouse can press it; no moment of an input event to count from.
    void Press();

signals:
    void mouseDown(Qt::MouseButton button, QPoint position);
    void pressedWithoutMouse();
    void helpRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum State { Up, Disabled, Down, StateCount };

    void PrepareGlyphs();
    void KindClick();
    QImage Render() const;

    QColor color_;
    QImage glyph_;
    int numGlyphs_ = 1;
    QImage prepared_[StateCount];  // the glyph for each state, on the current face colour
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    TBitBtnWithColorKind kind_ = TBitBtnWithColorKind::bkCustom;
};

}  // namespace chronivel
