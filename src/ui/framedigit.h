// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

#include "core/bigdigitlayout.h"
#include "core/readoutdigits.h"
#include "core/timetext.h"

class QLabel;

namespace chronivel {

class TDigit;

// One row of big digits on the second monitor: nine TDigits, Digit1..Digit9
// from the left, and the marks ":" (LabelHour), "." (LabelMin) and ","
// (LabelSec) between them, on black. It copies what the main readout shows
// and dims the leading zeros.
class TFrameDigit final : public QWidget {
    Q_OBJECT
public:
    // The time row copies the readout always; the lap row also shows all
    // zeros for a lap of 0 (a reset, countdown switched off).
    enum class Row { Time, Lap };

    explicit TFrameDigit(Row row, QWidget* parent = nullptr);

    // Takes effect at the next FrameResize.
    void SetFormat(const TimeFormat& format) { format_ = format; }
    const TimeFormat& Format() const { return format_; }

    // Lays the digits and marks out for the current size and format, showing
    // only those the format uses. Also done on every resize.
    void FrameResize();

    // Shows the digits the readout's images show in `shown` (image i, counted
    // from the right, on Digit(10 − i)) and dims those
    // left of the first significant one for `value` (milliseconds). Only
    // digits and marks that change are repainted.
    void ShowValue(std::int64_t value, const ReadoutDigits& shown);

    // 1..9 from the left.
    TDigit* Digit(int number) const { return digits_[number - 1]; }
    QLabel* Label(BigLabel label) const { return labels_[static_cast<int>(label)]; }

    static const QColor Dim;
    static const QColor Bright;

protected:
    void resizeEvent(QResizeEvent*) override { FrameResize(); }

private:
    Row row_;
    TimeFormat format_;
    std::array<TDigit*, BigDigitCount> digits_{};
    std::array<QLabel*, BigLabelCount> labels_{};
};

}  // namespace chronivel
