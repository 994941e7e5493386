// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ovalbutton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ui/seethrough.h"

namespace chronivel {

namespace {

// 255 − round(0.5 × (256 − c)) with halves to even, in integers so that the
// halves are exact.
int HalfWayToWhite(int channel)
{
    const int twice = 256 - channel;
    int half = twice / 2;
    if (twice % 2 != 0 && half % 2 != 0) ++half;
    return 255 - half;
}

int To255(double unit)
{
    return std::clamp(static_cast<int>(std::nearbyint(unit * 255.0)), 0, 255);
}

// One channel of the HLS to RGB conversion; `sextant` is the hue in sixths of the circle.
double HlsChannel(double p, double q, double sextant)
{
    if (sextant < 0) sextant += 6;
    if (sextant >= 6) sextant -= 6;
    if (sextant < 1) return p + (q - p) * sextant;
    if (sextant < 3) return q;
    if (sextant < 4) return p + (q - p) * (4 - sextant);
    return p;
}

QColor ScaleLightness(const QColor& colour, double factor)
{
    const double r = colour.red() / 255.0;
    const double g = colour.green() / 255.0;
    const double b = colour.blue() / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double lightness = (high + low) / 2;
    const double scaled = lightness * factor;
    if (high == low) {
        const int grey = To255(scaled);
        return QColor(grey, grey, grey);
    }
    const double range = high - low;
    const double saturation = lightness <= 0.5 ? range / (high + low) : range / (2 - high - low);
    double hue;
    if (r == high) hue = (g - b) / range;
    else if (g == high) hue = 2 + (b - r) / range;
    else hue = 4 + (r - g) / range;

    const double q = scaled <= 0.5 ? scaled * (1 + saturation) : scaled + saturation - scaled * saturation;
    const double p = 2 * scaled - q;
    return QColor(To255(HlsChannel(p, q, hue + 2)), To255(HlsChannel(p, q, hue)), To255(HlsChannel(p, q, hue - 2)));
}

// Whether the centre of pixel (x, y) lies inside the ellipse inscribed in the
// rectangle with corners (left, top) and (right, bottom). Doubled integer
// coordinates keep the test exact, so every size draws the same pixels on
// every machine. The pixel is one of a screen with `ratio` device pixels to
// each pixel of the rectangle's coordinates.
bool InEllipse(int x, int y, int left, int top, int right, int bottom, std::int64_t ratio = 1)
{
    const std::int64_t w = right - left;
    const std::int64_t h = bottom - top;
    if (w <= 0 || h <= 0) return false;
    const std::int64_t dx = 2 * x + 1 - ratio * (left + right);
    const std::int64_t dy = 2 * y + 1 - ratio * (top + bottom);
    return dx * dx * h * h + dy * dy * w * w <= ratio * ratio * w * w * h * h;
}

// A two pixel pen on that ellipse, kept inside its rectangle.
bool OnRing(int x, int y, int left, int top, int right, int bottom, int ratio)
{
    return InEllipse(x, y, left, top, right, bottom, ratio) &&
           !InEllipse(x, y, left + 2, top + 2, right - 2, bottom - 2, ratio);
}

std::int64_t Cross(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by)
{
    return ax * by - ay * bx;
}

// The bevel's first arc runs counterclockwise from the radial through
// (4·(W div 5), H div 5) to the one through (W div 5, 4·(H div 5)): the
// upper-left half. The second arc is drawn over it, so the pixels on the two
// radials belong to the second.
bool OnUpperLeftArc(int x, int y, int width, int height, int ratio)
{
    // Doubled coordinates with y upwards, around the centre of the bevel's ellipse (1, 1)–(W − 2, H − 2).
    const std::int64_t cx = width - 1;
    const std::int64_t cy = height - 1;
    const std::int64_t sx = 2 * (4 * (width / 5)) - cx;
    const std::int64_t sy = cy - 2 * (height / 5);
    const std::int64_t ex = 2 * (width / 5) - cx;
    const std::int64_t ey = cy - 2 * (4 * (height / 5));
    const std::int64_t px = 2 * x + 1 - ratio * cx;  // only the direction counts: no need to scale the radials
    const std::int64_t py = ratio * cy - (2 * y + 1);
    if (Cross(sx, sy, ex, ey) >= 0) return Cross(sx, sy, px, py) > 0 && Cross(px, py, ex, ey) > 0;
    return !(Cross(ex, ey, px, py) >= 0 && Cross(px, py, sx, sy) >= 0);
}

constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;
constexpr int kGlyphSpacing = 4;  // between the caption and the glyph below it

// A push button to assistive technology, named by its caption unless
// given a name of its own, and pressed as a click is.
class OvalButtonAccessible final : public QAccessibleWidget {
public:
    explicit OvalButtonAccessible(TOvalButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    // One that switches is a check box: the role whose state the accessibility bus carries as on or off.
    QAccessible::Role role() const override { return Button()->Checkable() ? QAccessible::CheckBox : QAccessible::Button; }

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) text = QString(Button()->Caption()).remove(QLatin1Char('&'));
        return text;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Button()->Down();
        state.checkable = Button()->Checkable();
        state.checked = Button()->Checkable() && Button()->Checked();
        return state;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction()) Button()->Click();
        else QAccessibleWidget::doAction(action);
    }

private:
    TOvalButton* Button() const { return static_cast<TOvalButton*>(widget()); }
};

QAccessibleInterface* OvalButtonInterface(const QString&, QObject* object)
{
    auto* button = qobject_cast<TOvalButton*>(object);
    return button ? new OvalButtonAccessible(button) : nullptr;
}

}  // namespace

BevelColors BevelColorsOf(const QColor& face)
{
    const QColor light(HalfWayToWhite(face.red()), HalfWayToWhite(face.green()), HalfWayToWhite(face.blue()));
    return {light, ScaleLightness(face, 0.6)};
}

TOvalButton::TOvalButton(QWidget* parent) : QWidget(parent)
{
    QAccessible::installFactory(&OvalButtonInterface);  // once: a factory installed already is skipped
    setMouseTracking(true);  // hover and the flat bevel follow the pointer without a button down
    resize(sizeHint());
    SetColor(QApplication::palette().color(QPalette::Button));
}

void TOvalButton::SetColor(const QColor& color)
{
    if (!ChangeTo(color_, color)) return;
    bevelColors_ = BevelColorsOf(color);
    update();
}

void TOvalButton::SetDown(bool down)
{
    if (!ChangeTo(down_, down)) return;
    if (down) SetBevel(Bevel::Sunken);
    else SetBevel(flat_ ? Bevel::Flat : Bevel::Raised);
    update();
    emit downChanged(down);
}

void TOvalButton::SetFlat(bool flat)
{
    if (!ChangeTo(flat_, flat)) return;
    SetBevel(flat ? Bevel::Flat : Bevel::Raised);
    update();
}

void TOvalButton::SetChecked(bool checked)
{
    if (!ChangeTo(checked_, checked)) return;
    QAccessible::State on;
    on.checked = true;
    QAccessibleStateChangeEvent event(this, on);
    QAccessible::updateAccessibility(&event);
}

void TOvalButton::SetCaption(const QString& caption)
{
    if (!ChangeTo(caption_, caption)) return;
    UpdateShortcuts();
    update();
}

void TOvalButton::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph.convertToFormat(QImage::Format_ARGB32);
    transparentColor_ = glyph_.isNull() ? QColor() : glyph_.pixelColor(0, glyph_.height() - 1);
    update();
}

void TOvalButton::SetNumGlyphs(int count)
{
    if (ChangeTo(numGlyphs_, std::max(count, 0))) update();
}

bool TOvalButton::HitTest(QPoint point) const
{
    return InEllipse(point.x(), point.y(), 0, 0, width(), height());
}

QImage TOvalButton::Render() const
{
    const int w = width();
    const int h = height();
    // In whole device pixels per pixel, so that a high-density screen gets smooth rings.
    const int ratio = std::max(1, qRound(devicePixelRatioF()));
    QImage image(w * ratio, h * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const bool sunken = bevel_ == Bevel::Sunken;

    // Face, outline and bevel pixel by pixel: the rings must not depend on a rasteriser's rounding.
    const QRgb face = color_.rgb();
    const QRgb outline = qRgb(0, 0, 0);
    const QRgb light = bevelColors_.light.rgb();
    const QRgb dark = bevelColors_.dark.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!transparent_ && InEllipse(x, y, 0, 0, w - 1, h - 1, ratio)) line[x] = face;
            if (!flat_ && OnRing(x, y, 0, 0, w - 1, h - 1, ratio)) line[x] = outline;
            if (bevel_ != Bevel::Flat && OnRing(x, y, 1, 1, w - 2, h - 2, ratio))
                line[x] = OnUpperLeftArc(x, y, w, h, ratio) == sunken ? dark : light;
        }
    }

    QPainter painter(&image);
    painter.setFont(font());
    const bool hasCaption = !caption_.isEmpty();
    const QSize text = hasCaption ? QFontMetrics(font()).size(kTextFlags, caption_) : QSize();
    const int tw = text.width();
    const int th = text.height();

    const bool hasGlyph = numGlyphs_ > 0 && !glyph_.isNull();
    int glyphLeft = 0;
    int glyphTop = 0;
    int gw = 0;
    int gh = 0;
    if (hasGlyph) {
        // Placed in pixels; the glyph may hold more device pixels than that.
        const QSizeF glyphSize = glyph_.deviceIndependentSize();
        gw = static_cast<int>(glyphSize.width()) / numGlyphs_;
        gh = static_cast<int>(glyphSize.height());
        int index = 0;
        if (!isEnabled() && numGlyphs_ > 1) index = 1;
        else if (sunken && numGlyphs_ > 2) index = 2;

        // Signed halves truncate toward zero: a glyph larger than the oval is centred and clipped.
        // With a caption the glyph sits below it, the two centred as a group.
        glyphLeft = (w - gw) / 2;
        glyphTop = hasCaption ? (th + gh + kGlyphSpacing + h) / 2 - gh : (h - gh) / 2;

        // The strip the glyph leaves when it moves between raised and sunken takes the face colour.
        int left = glyphLeft;
        int top = glyphTop;
        if (!transparent_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(color_);
            if (sunken) {
                painter.drawRect(left, top, 1, gh);
                painter.drawRect(left, top, gw, 1);
            } else {
                painter.drawRect(left + gw, top, 1, gh + 1);
                painter.drawRect(left, top + gh, gw + 1, 1);
            }
        }
        if (sunken) {
            ++left;
            ++top;
        }
        const int imageWidth = glyph_.width() / numGlyphs_;
        QImage picture = glyph_.copy(index * imageWidth, 0, imageWidth, glyph_.height());
        const QRgb see = transparentColor_.rgba();
        const QRgb fill = transparent_ ? qRgba(0, 0, 0, 0) : color_.rgb();
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if (SeeThrough(line[x], see)) line[x] = fill;
        }
        painter.drawImage(left, top, picture);
    }

    if (hasCaption) {
        int x = (w - tw) / 2;
        int y = hasGlyph ? glyphTop - th - kGlyphSpacing : (h - th) / 2;
        if (sunken) {
            ++x;
            ++y;
        }
        if (!transparent_) {
            // Raised, this wipes where the sunken caption stood; sunken, it is the text's own place.
            const QRect wipe = sunken ? QRect(x, y, tw, th) : QRect(x + 1, y + 1, tw, th);
            painter.fillRect(wipe, color_);
        }
        // The same when disabled: only the glyph has an image for that.
        painter.setPen(palette().color(QPalette::Active, foregroundRole()));
        painter.drawText(QRect(x, y, tw, th), kTextFlags | Qt::AlignLeft | Qt::AlignTop, caption_);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(3, 3, w - 7, h - 7));
    }
    return image;
}

void TOvalButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void TOvalButton::resizeEvent(QResizeEvent* event)
{
    // The ellipse for hit-testing, and every pixel the face paints: the
    // painted ellipse is one pixel smaller and off-centre, so near the
    // upper-left diagonal it reaches a few pixels past the hit ellipse.
    const int w = width();
    const int h = height();
    QRegion region;
    for (int y = 0; y < h; ++y) {
        int first = w;
        int last = -1;
        for (int x = 0; x < w; ++x) {
            if (InEllipse(x, y, 0, 0, w, h) || InEllipse(x, y, 0, 0, w - 1, h - 1)) {
                first = std::min(first, x);
                last = x;
            }
        }
        if (last >= first) region += QRect(first, y, last - first + 1, 1);
    }
    setMask(region);
    QWidget::resizeEvent(event);
}

void TOvalButton::Press(QMouseEvent* event)
{
    pressed_ = true;
    const QPoint position = event->position().toPoint();
    if (!isEnabled() || !HitTest(position)) {
        event->ignore();  // a corner belongs to whatever lies behind
        return;
    }
    hover_ = true;
    SetDown(true);
    SetBevel(Bevel::Sunken);
    emit mouseDown(event->button(), position);
}

void TOvalButton::mousePressEvent(QMouseEvent* event)
{
    doublePress_ = false;
    Press(event);
}

void TOvalButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click sinks the button like the first;
    // its release gives no second click, the double click stands for it.
    doublePress_ = true;
    Press(event);
    if (event->isAccepted() && hover_) emit doubleClicked();
}

void TOvalButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = pressed_;
    const bool secondOfDouble = doublePress_;
    pressed_ = false;
    doublePress_ = false;
    const QPoint position = event->position().toPoint();
    if (!isEnabled() || !HitTest(position)) {
        hover_ = false;
        if (flat_ && !down_) SetBevel(Bevel::Flat);
        return;
    }
    SetDown(false);
    SetBevel(Bevel::Raised);
    emit mouseUp(event->button(), position);
    if (wasPressed && !secondOfDouble && hover_ && event->button() == Qt::LeftButton) emit clicked();
}

void TOvalButton::mouseMoveEvent(QMouseEvent* event)
{
    const bool inside = HitTest(event->position().toPoint());
    if (pressed_) {
        if (inside) {
            hover_ = true;
            if (bevel_ == Bevel::Raised && isEnabled()) {
                SetDown(true);
                SetBevel(Bevel::Sunken);
            }
        } else {
            if (bevel_ == Bevel::Sunken && hover_) {
                SetDown(false);
                SetBevel(Bevel::Raised);
            }
            hover_ = false;
        }
    } else if (!flat_ || down_) {
        hover_ = inside;
    } else if (inside) {
        hover_ = true;
        SetBevel(Bevel::Raised);
    } else if (hover_) {
        hover_ = false;
        SetBevel(Bevel::Flat);
    }
}

void TOvalButton::leaveEvent(QEvent* event)
{
    if (hover_ && isEnabled()) {
        hover_ = false;
        if (flat_ && !down_) SetBevel(Bevel::Flat);
    }
    QWidget::leaveEvent(event);
}

void TOvalButton::changeEvent(QEvent* event)
{
    // The disabled glyph, or a new caption font.
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
    QWidget::changeEvent(event);
}

void TOvalButton::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TOvalButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        Click();
        return true;
    }
    return QWidget::event(event);
}

void TOvalButton::UpdateShortcuts()
{
    for (int& id : shortcutIds_) {
        if (id != 0) releaseShortcut(id);
        id = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (mnemonic.isEmpty()) return;
    // The character alone, in either case, or with Alt, as a dialog takes its accelerators.
    const Qt::Key key = mnemonic[0].key();
    shortcutIds_[0] = grabShortcut(QKeySequence(key));
    shortcutIds_[1] = grabShortcut(QKeySequence(QKeyCombination(Qt::ShiftModifier, key)));
    shortcutIds_[2] = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, key)));
}

}  // namespace chronivel
