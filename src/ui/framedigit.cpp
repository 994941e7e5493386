// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/framedigit.h"

#include <QLabel>

#include "core/bigdigitvalue.h"
#include "core/sevensegment.h"
#include "ui/digit.h"

namespace chronivel {

const QColor TFrameDigit::Dim(64, 64, 64);
const QColor TFrameDigit::Bright(255, 255, 0);

namespace {

void SetTextColor(QLabel* label, const QColor& color)
{
    // setPalette repaints even when nothing changes.
    if (label->palette().color(QPalette::WindowText) == color) return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// TDigit's Value has no blank (10 would show 0 and overflow): a blank is the
// pattern without segments. A digit sets its pattern too, as Value does
// nothing when it already has the number a blank left behind.
void ShowDigit(TDigit* digit, int shown)
{
    if (shown >= 0 && shown <= 9) {
        digit->SetValue(shown);
        digit->SetValueBinary(DigitPatterns[shown]);
    } else {
        digit->SetValueBinary(0);
    }
}

}  // namespace

TFrameDigit::TFrameDigit(Row row, QWidget* parent)
    : QWidget(parent), row_(row)
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    for (int i = 0; i < BigDigitCount; ++i) {
        auto* digit = new TDigit(this);
        digit->setObjectName(QStringLiteral("Digit%1").arg(i + 1));
        digit->SetColor(Qt::black);
        digit->SetColorOff(Qt::black);
        digit->SetColorOn(i < 5 ? Dim : Bright);
        digit->SetSeparation(0);
        digits_[i] = digit;
    }
    const char* names[BigLabelCount] = {"LabelHour", "LabelMin", "LabelSec"};
    const char* marks[BigLabelCount] = {":", ".", ","};
    const Qt::Alignment alignments[BigLabelCount] = {Qt::AlignCenter, Qt::AlignHCenter | Qt::AlignBottom,
                                                     Qt::AlignHCenter | Qt::AlignBottom};
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    for (int l = 0; l < BigLabelCount; ++l) {
        auto* label = new QLabel(QString::fromLatin1(marks[l]), this);
        label->setObjectName(QString::fromLatin1(names[l]));
        label->setAlignment(alignments[l]);
        label->setFont(font);
        SetTextColor(label, l < 2 ? Dim : Bright);
        labels_[l] = label;
    }
    FrameResize();
}

void TFrameDigit::FrameResize()
{
    const BigRowLayout layout = LayoutBigRow(width(), height(), format_);
    for (int i = 0; i < BigDigitCount; ++i) {
        TDigit* digit = digits_[i];
        // The size first: the digit refuses a stroke too thick for its old size.
        digit->setGeometry(layout.lefts[i], 0, layout.digitWidth, layout.digitHeight);
        digit->SetThickness(layout.thickness);
        digit->setVisible(layout.digitVisible[i]);
    }
    for (int l = 0; l < BigLabelCount; ++l) {
        QLabel* label = labels_[l];
        const BigBox& box = layout.labels[l];
        label->setGeometry(box.left, box.top, box.width, box.height);
        QFont font = label->font();
        font.setPointSize(layout.labelPointSize);
        label->setFont(font);
        label->setVisible(layout.labelVisible[l]);
    }
}

void TFrameDigit::ShowValue(std::int64_t value, const ReadoutDigits& shown)
{
    const BigRowValue row = BigRowFor(value, shown, format_, row_ == Row::Lap);
    for (int i = 0; i < BigDigitCount; ++i)
        if (row.digits[i]) ShowDigit(digits_[i], *row.digits[i]);
    for (int i = 0; i < 5; ++i) digits_[i]->SetColorOn(row.dimming.digit[i] ? Dim : Bright);
    SetTextColor(Label(BigLabel::Hour), row.dimming.labelHour ? Dim : Bright);
    SetTextColor(Label(BigLabel::Min), row.dimming.labelMin ? Dim : Bright);
}

}  // namespace chronivel
