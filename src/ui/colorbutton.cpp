// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colorbutton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ui/changeto.h"
#include "ui/devicepixels.h"
#include "ui/seethrough.h"

namespace chronivel {

namespace {

// A push button to assistive technology, named by its caption unless given a
// name of its own, whose Press does what the mouse's press does.
class ColorButtonAccessible final : public QAccessibleWidget {
public:
    explicit ColorButtonAccessible(TBitBtnWithColor* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) text = Button()->text().remove(QLatin1Char('&'));
        return text;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Button()->isDown();
        return state;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction()) Button()->Press();
        else QAccessibleWidget::doAction(action);
    }

private:
    TBitBtnWithColor* Button() const { return static_cast<TBitBtnWithColor*>(widget()); }
};

QAccessibleInterface* ColorButtonInterface(const QString&, QObject* object)
{
    auto* button = qobject_cast<TBitBtnWithColor*>(object);
    return button ? new ColorButtonAccessible(button) : nullptr;
}

constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

// The system's colours for buttons, the same whatever state this button is in.
QColor System(const QPalette& palette, QPalette::ColorRole role)
{
    return palette.color(QPalette::Active, role);
}

// A one-pixel frame just inside `r`, drawn as filled strips so no pen rounding moves it.
void Frame(QPainter& painter, const QRect& r, const QColor& colour)
{
    painter.fillRect(r.left(), r.top(), r.width(), 1, colour);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, colour);
    painter.fillRect(r.left(), r.top(), 1, r.height(), colour);
    painter.fillRect(r.right(), r.top(), 1, r.height(), colour);
}

// A two-pixel raised edge inside `r`: the outer ring lit and deeply shaded,
// the inner ring highlighted and shaded. The dark sides own the corners
// where the two meet (top-right and bottom-left).
void RaisedEdge(QPainter& painter, QRect r, const QPalette& palette)
{
    const QColor lit[2] = {System(palette, QPalette::Midlight), System(palette, QPalette::Light)};
    const QColor shade[2] = {System(palette, QPalette::Shadow), System(palette, QPalette::Dark)};
    for (int ring = 0; ring < 2; ++ring) {
        painter.fillRect(r.left(), r.top(), r.width() - 1, 1, lit[ring]);
        painter.fillRect(r.left(), r.top(), 1, r.height() - 1, lit[ring]);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, shade[ring]);
        painter.fillRect(r.right(), r.top(), 1, r.height(), shade[ring]);
        r.adjust(1, 1, -1, -1);
    }
}

// The glyph pixel over the face, its partial alpha blended in.
QRgb OnFace(QRgb pixel, QRgb see, QRgb face)
{
    if (SeeThrough(pixel, see)) return face;
    const int a = qAlpha(pixel);
    const auto mix = [a](int ink, int ground) { return (ink * a + ground * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(pixel), qRed(face)), mix(qGreen(pixel), qGreen(face)), mix(qBlue(pixel), qBlue(face)));
}

// The glyph's shape: what is mostly opaque, neither see-through nor white.
// The copy in highlight lies one screen pixel right and down.
QImage Embossed(const QImage& image, QRgb see, const QColor& face, const QPalette& palette)
{
    QImage out(image.size(), QImage::Format_ARGB32);
    out.setDevicePixelRatio(image.devicePixelRatio());
    out.fill(face);
    const QRgb highlight = System(palette, QPalette::Light).rgb();
    const QRgb shadow = System(palette, QPalette::Dark).rgb();
    const int step = std::max(1, qRound(image.devicePixelRatio()));
    auto inShape = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return !SeeThrough(pixel, see) && qAlpha(pixel) >= 128 && (pixel & RGB_MASK) != (qRgb(255, 255, 255) & RGB_MASK);
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (inShape(x, y) && x + step < out.width() && y + step < out.height())
                out.setPixel(x + step, y + step, highlight);
        }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inShape(x, y)) out.setPixel(x, y, shadow);
    return out;
}

}  // namespace

TBitBtnWithColor::TBitBtnWithColor(QWidget* parent) : TBitBtnWithColor(QString(), parent) {}

TBitBtnWithColor::TBitBtnWithColor(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), color_(QApplication::palette().color(QPalette::Button))
{
    QAccessible::installFactory(&ColorButtonInterface);  // once: a factory installed already is skipped
    // The default button's frame follows the focus wherever it goes in the window.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (isDefault()) update();
    });
}

void TBitBtnWithColor::SetColor(const QColor& color)
{
    if (!ChangeTo(color_, color)) return;
    PrepareGlyphs();
    update();
}

void TBitBtnWithColor::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph.convertToFormat(QImage::Format_ARGB32);
    PrepareGlyphs();
    update();
}

bool TBitBtnWithColor::IsFocused() const
{
    if (hasFocus()) return true;
    if (!isDefault()) return false;
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus->window() == window() && qobject_cast<const QPushButton*>(focus) == nullptr;
}

void TBitBtnWithColor::PrepareGlyphs()
{
    for (QImage& image : prepared_) image = QImage();
    if (glyph_.isNull()) return;
    const QRgb see = glyph_.pixel(0, glyph_.height() - 1);
    QImage image = glyph_;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) line[x] = OnFace(line[x], see, color_.rgb());
    }
    prepared_[Up] = prepared_[Down] = image;
    prepared_[Disabled] = Embossed(glyph_, see, color_, palette());
}

QImage TBitBtnWithColor::Render() const
{
    // In device pixels, so that a high-density screen gets a sharp caption.
    const qreal ratio = devicePixelRatioF();
    QImage image(DevicePixels(size(), ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(color_);
    QPainter painter(&image);
    const QRect client = rect();
    QRect r = client;

    const State state = !isEnabled() ? Disabled : (isDown() ? Down : Up);
    const bool focused = IsFocused();
    if (focused) {
        Frame(painter, r, System(palette(), QPalette::WindowText));
        r.adjust(1, 1, -1, -1);
    }
    // A disabled button keeps the face's own colour as outline and has no
    // edge: it lies flat.
    QColor outline = color_;
    if (state == Up) {
        RaisedEdge(painter, r, palette());
        r.adjust(2, 2, -2, -2);
    } else if (state == Down) {
        outline = System(palette(), QPalette::Dark);
    }
    painter.fillRect(r, color_);
    Frame(painter, r, outline);
    r.adjust(1, 1, -1, -1);
    if (focused) r = client.adjusted(1, 1, -1, -1);
    if (state == Down) r.translate(1, 1);

    // Glyph and caption as one centred group, the glyph on the left.
    painter.setFont(font());
    const QImage& glyph = prepared_[state];
    const QSize g = glyph.isNull() ? QSize(0, 0) : glyph.deviceIndependentSize().toSize();
    const QSize t = text().isEmpty() ? QSize(0, 0) : QFontMetrics(font()).size(kTextFlags, text());
    const int spacing = g.width() > 0 && t.width() > 0 ? 4 : 0;
    const QPoint glyphAt(r.left() + (r.width() - g.width() - spacing - t.width()) / 2, r.top() + (r.height() - g.height()) / 2);
    const QPoint textAt(glyphAt.x() + g.width() + spacing, r.top() + (r.height() - t.height()) / 2);
    if (!glyph.isNull()) painter.drawImage(glyphAt, glyph);
    if (!text().isEmpty()) {
        const QRect place(textAt, t);
        if (state == Disabled) {
            painter.setPen(Qt::white);
            painter.drawText(place.translated(1, 1), kTextFlags, text());
            painter.setPen(QColor(128, 128, 128));
        } else {
            painter.setPen(System(palette(), QPalette::ButtonText));
        }
        painter.drawText(place, kTextFlags, text());
    }
    painter.end();

    if (focused) {
        // The dotted focus rectangle inverts every other pixel, so it shows on any face colour.
        const QRect dots = client.adjusted(4, 4, -4, -4);
        auto invert = [&](int x, int y) {
            if ((x + y) % 2 != 0) return;
            const QRect pixel = QRectF(x * ratio, y * ratio, ratio, ratio).toAlignedRect() & image.rect();
            for (int py = pixel.top(); py <= pixel.bottom(); ++py)
                for (int px = pixel.left(); px <= pixel.right(); ++px) image.setPixel(px, py, image.pixel(px, py) ^ RGB_MASK);
        };
        if (dots.isValid()) {
            for (int x = dots.left(); x <= dots.right(); ++x) {
                invert(x, dots.top());
                if (dots.bottom() != dots.top()) invert(x, dots.bottom());
            }
            for (int y = dots.top() + 1; y < dots.bottom(); ++y) {
                invert(dots.left(), y);
                if (dots.right() != dots.left()) invert(dots.right(), y);
            }
        }
    }
    return image;
}

void TBitBtnWithColor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void TBitBtnWithColor::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->position().toPoint());
    QPushButton::mousePressEvent(event);
}

void TBitBtnWithColor::Press()
{
    if (isEnabled() && isVisible()) emit pressedWithoutMouse();
}

void TBitBtnWithColor::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Two quick clicks are two presses: the second must start, stop or lap as the first did.
    mousePressEvent(event);
}

void TBitBtnWithColor::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::PaletteChange: PrepareGlyphs(); [[fallthrough]];
    case QEvent::EnabledChange:
    case QEvent::FontChange: update(); break;
    default: break;
    }
    QPushButton::changeEvent(event);
}

}  // namespace chronivel
