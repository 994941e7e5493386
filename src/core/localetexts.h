#pragma once

#include <cstdint>
#include <string>

namespace chronivel {

// The current date and time as the user's locale writes them.
struct DateTimeTexts {
    std::string longTime;      // "14:05:09"
    std::string dayName;       // abbreviated: "Mon"
    std::string shortDate;     // "07.12.26"
    double dayFraction = 0.0;  // the time of day as a fraction of a day
    std::int64_t epochMs = 0;  // the same moment on the wall clock: ms since 1970
};

class LocaleTexts {
public:
    virtual ~LocaleTexts() = default;
    virtual DateTimeTexts Now() const = 0;
};

}  // namespace chronivel
