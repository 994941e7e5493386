#include "ui/readout.h"

#include <QPainter>

#include "ui/readoutglyphs.h"

namespace chronivel {

void ReadoutImage::SetGlyph(const QPixmap& glyph)
{
    glyph_ = glyph;
    repaint();
}

void ReadoutImage::paintEvent(QPaintEvent*)
{
    ++paints_;
    QPainter painter(this);
    painter.drawPixmap(rect(), glyph_);
}

Readout::Readout(QWidget* parent) : QFrame(parent)
{
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
}

void Readout::Relayout(const WindowLayout& layout)
{
    const chronivel::Box& panel = layout.panel;
    setGeometry(panel.left, panel.top, panel.width, panel.height);
    setLineWidth(layout.panelBevel);
    const chronivel::Box& digitBox = layout.images[1];
    const QSize digitSize(digitBox.width, digitBox.height);
    for (int digit = 0; digit <= 10; ++digit) digitGlyphs_[digit] = DigitGlyph(digit, digitSize);
    const chronivel::Box& markBox = layout.images[10];
    const QSize markSize(markBox.width, markBox.height);
    for (int mark = 0; mark < 3; ++mark) markGlyphs_[mark] = SeparatorGlyph(mark, markSize);
    markGlyphs_[3] = BlankGlyph(markSize);
    for (int i = 1; i <= 12; ++i) {
        const chronivel::Box& box = layout.images[i];
        images_[i]->setGeometry(box.left, box.top, box.width, box.height);
        images_[i]->setVisible(layout.imageVisible[i]);
        if (i > ReadoutDigits::DigitImageCount || shown_[i] != ReadoutDigits::NothingDrawn)
            images_[i]->SetGlyph(GlyphOf(i));
    }
}

const QPixmap& Readout::GlyphOf(int image) const
{
    const int shown = shown_[image];
    // A separator shows its mark until a time text leaves it out.
    if (image > ReadoutDigits::DigitImageCount) return markGlyphs_[shown == ReadoutDigits::Blank ? 3 : image - 10];
    return digitGlyphs_[shown >= 0 && shown <= 9 ? shown : 10];  // 10: the blank glyph
}

void Readout::Show(const ReadoutDigits& digits, std::uint32_t changed)
{
    for (int i = 1; i <= ReadoutDigits::ImageCount; ++i) {
        if ((changed & (1u << i)) == 0) continue;
        shown_[i] = digits.Digit(i);
        images_[i]->SetGlyph(GlyphOf(i));
    }
}

}  // namespace chronivel
