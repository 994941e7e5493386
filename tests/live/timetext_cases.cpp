// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the program writes for a spread of times in every format and
// digit count, one JSON object a line, for the web page's tests to compare.
#include <cstdint>
#include <cstdio>

#include "core/timetext.h"

int main()
{
    // Zero, the rounding edges of each place, field roll-overs and the wraps.
    constexpr std::int64_t values[] = {
        -1000, -1, 0, 1, 4, 5, 9, 49, 50, 51, 94, 95, 99, 100, 949, 950, 994, 995, 999,
        1000, 9999, 59949, 59950, 59994, 59995, 59999, 60000, 599999, 3599949, 3599950,
        3599999, 3600000, 3723456, 35999999, 359999999, 360000000, 999999999, 999999950,
        1000000000, 86399999};
    for (int format = 0; format < chronivel::TimeFormat::FormatCount; ++format) {
        for (int digits = 5; digits <= 9; ++digits) {
            chronivel::TimeFormat f;
            f.SelectFormat(format);
            f.SetDigitCount(digits);
            for (const std::int64_t ms : values) {
                std::printf("{\"ms\":%lld,\"format\":%d,\"digits\":%d,\"hours\":%s,\"decimals\":%d,\"text\":\"%s\"}\n",
                            static_cast<long long>(ms), format, digits, f.ShowsHours() ? "true" : "false",
                            f.DecimalPlaces(), chronivel::TimeText(ms, f).c_str());
            }
        }
    }
    return 0;
}
