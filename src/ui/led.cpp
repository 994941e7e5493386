// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/led.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QColor>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <string_view>

namespace chronivel {
namespace {

constexpr int kSide = 16;

// Rows top to bottom, one character per pixel: '.' is left to the background,
// '1' to '6' pick the kind's colour: 1 light lower and right rim, 2 grey upper
// and left rim, 3 dark body, 4 lamp, 5 and 6 highlights.
using PixelMap = std::array<std::string_view, kSide>;

constexpr PixelMap kCircleDark = {
    ".....222222.....",
    "...2233333322...",
    "..233333333331..",
    ".23333333333331.",
    ".23334443333331.",
    "2333443333333331",
    "2333433333333331",
    "2333433333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    ".23333333333331.",
    ".23333333333331.",
    "..133333333331..",
    "...1133333311...",
    ".....111111.....",
};

constexpr PixelMap kCircleLit = {
    ".....222222.....",
    "...2234444422...",
    "..234455544441..",
    ".23455544444441.",
    ".24566644444441.",
    "2345664444444431",
    "2455644444444431",
    "2454444444444431",
    "2454444444444431",
    "2444444444444331",
    "2444444444444331",
    ".24444444444331.",
    ".24444444443331.",
    "..144444433331..",
    "...1133333311...",
    ".....111111.....",
};

constexpr PixelMap kRectangleDark = {
    "................",
    "................",
    "................",
    "2222222222222222",
    "2333333333333331",
    "2344443333333331",
    "2344333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2111111111111111",
    "................",
    "................",
    "................",
};

constexpr PixelMap kRectangleLit = {
    "................",
    "................",
    "................",
    "2222222222222222",
    "2444444444444441",
    "2455555555555431",
    "2456554444444431",
    "2455544444444431",
    "2455444444444431",
    "2454444444444431",
    "2444444444444431",
    "2433333333333331",
    "2111111111111111",
    "................",
    "................",
    "................",
};

constexpr bool IsWellFormed(const PixelMap& map)
{
    for (const std::string_view row : map) {
        if (row.size() != kSide) return false;
        for (const char c : row)
            if (c != '.' && (c < '1' || c > '6')) return false;
    }
    return true;
}
static_assert(IsWellFormed(kCircleDark) && IsWellFormed(kCircleLit) && IsWellFormed(kRectangleDark) &&
              IsWellFormed(kRectangleLit));

using Palette = std::array<QRgb, 6>;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// By TLedKind, colours for map characters '1' to '6'.
constexpr std::array<Palette, 5> kPalettes = {{
    {kWhite, kGrey, kBlack, qRgb(255, 0, 0), qRgb(255, 0, 255), kWhite},    // lkRed
    {kWhite, kGrey, kBlack, qRgb(0, 255, 0), qRgb(255, 255, 0), kWhite},    // lkGreen
    {kWhite, kGrey, kBlack, qRgb(255, 255, 0), kWhite, kWhite},             // lkYellow
    {kWhite, kGrey, kBlack, qRgb(0, 128, 128), qRgb(0, 255, 255), kWhite},  // lkBlue
    {kWhite, kGrey, kBlack, qRgb(255, 0, 255), kWhite, kWhite},             // lkWhite
}};

const PixelMap& MapFor(TLedShape shape, bool lit)
{
    if (shape == lsRectangle) return lit ? kRectangleLit : kRectangleDark;
    return lit ? kCircleLit : kCircleDark;
}

// The map as a picture, '.' left clear.
QImage MapImage(const PixelMap& map, const Palette& palette)
{
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const char index = map[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (index != '.') image.setPixel(x, y, palette[static_cast<std::size_t>(index - '1')]);
        }
    return image;
}

// Twice the pixels each way by the EPX rule for pixel art: a pixel's quarter
// takes the colour of the two neighbours it touches when they agree (and the
// other two neighbours differ), so stair steps become diagonals and the round
// lamp stays round instead of turning into blocks.
QImage Doubled(const QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    QImage out(2 * w, 2 * h, QImage::Format_ARGB32);
    const auto at = [&](int x, int y) { return image.pixel(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y), d = at(x, y + 1);
            out.setPixel(2 * x, 2 * y, c == a && c != d && a != b ? a : p);
            out.setPixel(2 * x + 1, 2 * y, a == b && a != c && b != d ? b : p);
            out.setPixel(2 * x, 2 * y + 1, d == c && d != b && c != a ? c : p);
            out.setPixel(2 * x + 1, 2 * y + 1, b == d && b != a && d != c ? d : p);
        }
    return out;
}

// The property by which a linked label knows its LED.
constexpr char kLinkedLed[] = "chronivelLinkedLed";

// An LED to assistive technology: a check box, lit or not, whose Toggle does
// what a click does (it reports the click; the owner decides).
class LedAccessible final : public QAccessibleWidget {
public:
    explicit LedAccessible(TLed* led) : QAccessibleWidget(led, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<TLed*>(widget())->Value();
        return state;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& action) override
    {
        if (action == toggleAction()) static_cast<TLed*>(widget())->Click();
    }
};

// A label linked to an LED reads as its caption and is clicked as the LED is.
class LinkedLabelAccessible final : public QAccessibleWidget {
public:
    LinkedLabelAccessible(QLabel* label, TLed* led) : QAccessibleWidget(label, QAccessible::StaticText), led_(led) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString text = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && text.isEmpty() ? static_cast<QLabel*>(widget())->text() : text;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && led_) led_->Click();
    }

private:
    QPointer<TLed> led_;
};

QAccessibleInterface* LedInterface(const QString&, QObject* object)
{
    if (auto* led = qobject_cast<TLed*>(object)) return new LedAccessible(led);
    auto* label = qobject_cast<QLabel*>(object);
    auto* led = label ? qobject_cast<TLed*>(label->property(kLinkedLed).value<QObject*>()) : nullptr;
    return led ? new LinkedLabelAccessible(label, led) : nullptr;
}

}  // namespace

TLed::TLed(QWidget* parent) : QWidget(parent)
{
    QAccessible::installFactory(&LedInterface);  // once: a factory installed already is skipped
    // Pixels the map leaves out show the parent's colour, filled in by Qt.
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(kSide, kSide);
}

void TLed::SetValue(bool value)
{
    if (!ChangeTo(value_, value)) return;
    // At once, not on the next pass of the event loop: whoever listens to
    // changed() may keep the loop busy for a while.
    repaint();
    ShowCaption();
    QAccessible::State lit;
    lit.checked = true;
    QAccessibleStateChangeEvent event(this, lit);
    QAccessible::updateAccessibility(&event);
    emit changed(this);
}

QSize TLed::sizeHint() const
{
    return {kSide, kSide};
}

void TLed::SetLabelLinked(QLabel* label)
{
    if (label == label_) return;
    if (label_) label_->setProperty(kLinkedLed, QVariant());
    label_ = label;
    if (label) label->setProperty(kLinkedLed, QVariant::fromValue<QObject*>(this));
    ShowCaption();
}

void TLed::SetLabelOnText(const QString& text)
{
    if (ChangeTo(onText_, text)) ShowCaption();
}

void TLed::SetLabelOffText(const QString& text)
{
    if (ChangeTo(offText_, text)) ShowCaption();
}

void TLed::ShowCaption()
{
    if (label_) label_->setText(value_ ? onText_ : offText_);
}

void TLed::paintEvent(QPaintEvent*)
{
    ++paintCount_;
    // From the top-left corner, as wide as the LED (it grows with the
    // window's zoom): a shorter LED simply loses the map's lower rows.
    QPainter painter(this);
    QImage image = MapImage(MapFor(shape_, value_), kPalettes.at(static_cast<std::size_t>(kind_)));
    // Doubled as often as the pixels it covers have room for, then scaled
    // down the rest of the way.
    const int side = std::max(width(), kSide);
    while (image.width() < side * devicePixelRatioF() - 0.5) image = Doubled(image);
    image.setDevicePixelRatio(static_cast<qreal>(image.width()) / side);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPoint(0, 0), image);
}

void TLed::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    // Kept here: the window behind must not take the press as its own.
    pressed_ = true;
    event->accept();
}

void TLed::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    event->accept();
    // Released elsewhere, the press is taken back.
    if (rect().contains(event->position().toPoint())) emit clicked(this);
}

void TLed::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    // The second press of a double click is no click of its own: a double
    // click on the mode LED must not switch the mode there and back.
    event->accept();
}

}  // namespace chronivel
