// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/timetext.h"

#include <algorithm>
#include <array>

namespace chronivel {

namespace {

// Builds the text right to left in a fixed buffer: this runs on every display
// tick, and a 12-character result fits std::string's inline storage.
class ReverseWriter {
public:
    void Char(char c) { buffer_[--start_] = c; }
    void Number(std::int64_t value, int minWidth)
    {
        int written = 0;
        do {
            Char(static_cast<char>('0' + value % 10));
            value /= 10;
            ++written;
        } while (value > 0);
        for (; written < minWidth; ++written) Char('0');
    }
    std::string Text() const { return std::string(buffer_.data() + start_, buffer_.size() - start_); }

private:
    std::array<char, 32> buffer_{};
    std::size_t start_ = buffer_.size();
};

}  // namespace

std::string TimeText(std::int64_t v, const TimeFormat& format)
{
    const int d = format.DecimalPlaces();
    const int digits = format.DigitCount();
    if (v < 0) v = 0;

    std::int64_t fraction = 0;
    switch (d) {
    case 1:
        v += 50;
        fraction = (v / 100) % 10;
        break;
    case 2:
        v += 5;
        fraction = (v / 10) % 100;
        break;
    default:
        fraction = v % 1000;
        break;
    }
    const std::int64_t s = v / 1000;

    ReverseWriter text;
    text.Number(fraction, d);
    text.Char(',');
    if (!format.ShowsHours()) {
        text.Number(s % 1'000'000, 6);
        return text.Text();
    }
    text.Number(s % 60, d + 1 < digits ? 2 : 1);
    if (d + 2 < digits) {
        const std::int64_t m = s / 60;
        text.Char('.');
        text.Number(m % 60, d + 3 < digits ? 2 : 1);
        if (d + 4 < digits) {
            text.Char(':');
            text.Number((m / 60) % 100, 2);
        }
    }
    return text.Text();
}

std::string StripLeadingZeros(std::string_view t, int decimalPlaces)
{
    const std::ptrdiff_t keep = decimalPlaces + 2;  // last seconds digit, comma and fraction
    const std::ptrdiff_t length = static_cast<std::ptrdiff_t>(t.size());
    const std::size_t equals = t.find('=');
    const std::ptrdiff_t p = equals == std::string_view::npos
        ? 0 : std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(equals) + 2, length);
    std::ptrdiff_t q = p;
    while (q < length - keep && !(t[q] >= '1' && t[q] <= '9')) ++q;
    std::string result(t.substr(0, p));
    result.append(t.substr(q));
    return result;
}

std::int64_t DisplayUnitMs(int decimalPlaces)
{
    switch (decimalPlaces) {
    case 1: return 100;
    case 2: return 10;
    default: return 1;
    }
}

std::int64_t DisplayValue(std::int64_t elapsed, int decimalPlaces)
{
    const std::int64_t unit = DisplayUnitMs(decimalPlaces);
    return elapsed / unit * unit;
}

}  // namespace chronivel
