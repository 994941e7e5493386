// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/readout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QScreen>

#include "ui/readoutglyphs.h"

namespace chronivel {

namespace {

// The readout as one piece of text: the twelve images are pictures of it,
// not controls of their own.
class ReadoutAccessible final : public QAccessibleWidget {
public:
    explicit ReadoutAccessible(Readout* readout) : QAccessibleWidget(readout, QAccessible::StaticText) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text kind) const override
    {
        const auto* readout = static_cast<const Readout*>(widget());
        switch (kind) {
        case QAccessible::Name:
        case QAccessible::Value: return readout->TimeText();
        case QAccessible::Description: {
            const QString last = readout->LastAnnounced();
            const QString description = readout->accessibleDescription();
            return last.isEmpty() ? description : description + QLatin1Char(' ') + Readout::tr("Last line: %1").arg(last);
        }
        default: return QAccessibleWidget::text(kind);
        }
    }
};

QAccessibleInterface* ReadoutInterface(const QString&, QObject* object)
{
    auto* readout = qobject_cast<Readout*>(object);
    return readout ? new ReadoutAccessible(readout) : nullptr;
}

}  // namespace

double FrameMs(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    const qreal rate = screen ? screen->refreshRate() : 0;
    return rate >= 1 ? 1000.0 / rate : 1000.0 / 60;
}

void ReadoutImage::SetGlyph(const QPixmap& glyph)
{
    glyph_ = glyph;
    update();  // painted with the others in the event loop's next update
}

void ReadoutImage::paintEvent(QPaintEvent*)
{
    ++paints_;
    QPainter painter(this);
    painter.drawPixmap(rect(), glyph_);
}

Readout::Readout(QWidget* parent) : QFrame(parent)
{
    QAccessible::installFactory(&ReadoutInterface);  // once: a factory installed already is skipped
    setObjectName(QStringLiteral("lbl_Tickmor"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setCursor(Qt::BlankCursor);  // the pointer would hide digits
    shown_.fill(ReadoutDigits::NothingDrawn);
    for (int i = 1; i <= 12; ++i) {
        images_[i] = new ReadoutImage(this);
        images_[i]->setObjectName(QStringLiteral("DigitImage%1").arg(i));
    }
    nextFrame_.setSingleShot(true);
    nextFrame_.setTimerType(Qt::PreciseTimer);
    connect(&nextFrame_, &QTimer::timeout, this, &Readout::DrawPending);
}

void Readout::Relayout(const WindowLayout& layout)
{
    const chronivel::Box& panel = layout.panel;
    setGeometry(panel.left, panel.top, panel.width, panel.height);
    setLineWidth(layout.panelBevel);
    layout_ = layout;
    ratio_ = devicePixelRatioF();
    const chronivel::Box& digitBox = layout.images[1];
    const QSize digitSize(digitBox.width, digitBox.height);
    const chronivel::Box& markBox = layout.images[10];
    const QSize markSize(markBox.width, markBox.height);
    for (const bool red : {false, true}) {
        const QRgb ink = red ? ReadoutWarningRed : ReadoutLime;
        for (int digit = 0; digit <= 10; ++digit) digitGlyphs_[red][digit] = DigitGlyph(digit, digitSize, ratio_, ink);
        for (int mark = 0; mark < 3; ++mark) markGlyphs_[red][mark] = SeparatorGlyph(mark, markSize, ratio_, ink);
        markGlyphs_[red][3] = BlankGlyph(markSize, ratio_);
    }
    for (int i = 1; i <= 12; ++i) {
        const chronivel::Box& box = layout.images[i];
        images_[i]->setGeometry(box.left, box.top, box.width, box.height);
        images_[i]->setVisible(layout.imageVisible[i]);
        if (i > ReadoutDigits::DigitImageCount || shown_[i] != ReadoutDigits::NothingDrawn)
            images_[i]->SetGlyph(GlyphOf(i));
    }
}

bool Readout::event(QEvent* event)
{
    // On a screen of another pixel density the glyphs are drawn anew for it.
    if (event->type() == QEvent::ScreenChangeInternal && layout_ && devicePixelRatioF() != ratio_) Relayout(*layout_);
    return QFrame::event(event);
}

void Readout::Announce(const QString& line)
{
    announced_ = line;
    // The name is the time shown, read afresh; the description now ends with the line.
    for (const QAccessible::Event change : {QAccessible::NameChanged, QAccessible::DescriptionChanged}) {
        QAccessibleEvent event(this, change);
        QAccessible::updateAccessibility(&event);
    }
    emit announced(line);
}

const QPixmap& Readout::GlyphOf(int image) const
{
    const int shown = shown_[image];
    // A separator shows its mark until a time text leaves it out.
    if (image > ReadoutDigits::DigitImageCount)
        return markGlyphs_[warning_][shown == ReadoutDigits::Blank ? 3 : image - 10];
    return digitGlyphs_[warning_][shown >= 0 && shown <= 9 ? shown : 10];  // 10: the blank glyph
}

void Readout::Show(const ReadoutDigits& digits, std::uint32_t changed, bool warning)
{
    for (int i = 1; i <= ReadoutDigits::ImageCount; ++i)
        if (changed & (1u << i)) shown_[i] = digits.Digit(i);
    if (warning != warning_) {
        warning_ = warning;
        for (int i = 1; i <= ReadoutDigits::ImageCount; ++i)
            if (shown_[i] != ReadoutDigits::NothingDrawn) changed |= 1u << i;
    }
    pending_ |= changed;
    if (pending_ == 0 || nextFrame_.isActive()) return;
    // Whole milliseconds: a tick that comes a little early for its frame is
    // drawn at once rather than waking the program again a moment later.
    const qint64 wait = lastUpdate_.isValid() ? static_cast<qint64>(FrameMs(*this)) - lastUpdate_.elapsed() : 0;
    if (wait > 0)
        nextFrame_.start(static_cast<int>(wait));
    else
        DrawPending();
}

void Readout::DrawPending()
{
    for (int i = 1; i <= ReadoutDigits::ImageCount; ++i)
        if (pending_ & (1u << i)) images_[i]->SetGlyph(GlyphOf(i));
    pending_ = 0;
    lastUpdate_.start();
}

}  // namespace chronivel
