// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "ui/changeto.h"

namespace chronivel {

// The two colours of an oval button's bevel, made from its face colour.
struct BevelColors {
    QColor light;  // each channel half-way to white
    QColor dark;   // the same hue and saturation at 0.6 of the lightness
};
BevelColors BevelColorsOf(const QColor& face);

// An elliptical button with a two-arc bevel, an optional glyph and caption.
// Only the ellipse is the button: presses in the rectangle's corners are
// not taken, and the widget's mask lets them through to what lies behind.
class TOvalButton final : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { Sunken = -1, Flat = 0, Raised = 1 };

    explicit TOvalButton(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    bool Down() const { return down_; }
    void SetDown(bool down);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { if (ChangeTo(transparent_, transparent)) update(); }

    // "&" marks the accelerator character; "&&" is a literal ampersand.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // One to three images side by side: normal, disabled, sunken. Setting the
    // glyph takes its bottom-left pixel as the transparent colour; set that
    // afterwards to choose another.
    void SetGlyph(const QImage& glyph);
    void SetGlyph(const QPixmap& glyph) { SetGlyph(glyph.toImage()); }
    void SetNumGlyphs(int count);
    QColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(const QColor& color) { if (ChangeTo(transparentColor_, color)) update(); }

    // Whether the button switches something on or off, and whether it is
    // on: what assistive technology tells, as it cannot read the glyph.
    bool Checkable() const { return checkable_; }
    void SetCheckable(bool checkable) { checkable_ = checkable; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    Bevel BevelState() const { return bevel_; }
    bool Hovered() const { return hover_; }

    // True exactly for points inside the ellipse inscribed in the widget's rectangle.
    bool HitTest(QPoint point) const;

    // Clicks the button as a typed accelerator does: only when enabled.
    void Click() { if (isEnabled()) emit clicked(); }

    QSize sizeHint() const override { return {100, 50}; }

signals:
    // Raised only while enabled and with the pointer inside the ellipse.
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, QPoint position);
    void mouseUp(Qt::MouseButton button, QPoint position);
    void downChanged(bool down);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Space and Enter click it while it has the focus, which it takes only
    // where its owner gives it a focus policy.
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Press(QMouseEvent* event);
    void SetBevel(Bevel bevel) { if (ChangeTo(bevel_, bevel)) update(); }
    void UpdateShortcuts();
    QImage Render() const;

    QColor color_;
    BevelColors bevelColors_;
    bool down_ = false;
    bool flat_ = false;
    bool transparent_ = false;
    QString caption_;
    QImage glyph_;
    int numGlyphs_ = 0;
    QColor transparentColor_;
    bool checkable_ = false;
    bool checked_ = false;

    Bevel bevel_ = Bevel::Raised;
    bool pressed_ = false;      // a button went down on the ellipse and is not yet released
    bool doublePress_ = false;  // the press was the second of a double click: no click on release
    bool hover_ = false;
    int shortcutIds_[3] = {0, 0, 0};  // the accelerator alone, with Shift, with Alt
};

}  // namespace chronivel
