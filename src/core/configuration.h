// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/timetext.h"

namespace chronivel {

class ProtocolLog;

// The configuration dialog's fields, by which a refusal names the one at fault.
enum class ConfigField { None, Transparent, ProtocolFile, Picture, Color, Laps, StopLock, MinLap, Timer };

// The settings the configuration dialog edits, declared once for Settings and
// for the dialog's Configuration.
struct Configurable {
    std::string fileName;  // the protocol path; set to the default before loading
    std::int32_t color = 0;  // the face's colour, 0x00BBGGRR; 0 = none: the picture, else the built-in face
    std::string pictureFile;  // the face's picture when there is no colour; empty = the built-in face
    std::int32_t laps = 0;    // light-barrier laps a run takes; 0 = unlimited
    bool transparentInBackground = true;  // the main window turns translucent in the background
    std::int32_t stopLockSeconds = 0;     // STOP waits this long after a start; 0 = at once
    std::int32_t minLap = 0;  // light-barrier laps sooner than this, in ms, after the last are ignored; 0 = off

    friend bool operator==(const Configurable&, const Configurable&) = default;
};

// The dialog's fields; the countdown preset's text depends on the display
// format, and is the model's to fill and take.
struct Configuration : Configurable {
    std::string countDown;  // as TimeEntryText writes it

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

// What is wrong with a configuration, in words that begin with the field's
// caption, and the field; no words when nothing is.
struct Refusal {
    ConfigField field = ConfigField::None;
    std::string words;
};

// A configuration checked: the countdown preset it gives, or the refusal.
struct CheckedConfiguration {
    Refusal refusal;
    // Nullopt when the preset's text is the one `shown` had: the preset stays
    // as it is, to the millisecond, whatever the format shows of it.
    std::optional<std::int32_t> countDownMs;
};

// Checks `wanted` against its fields' limits, the format's time entry and the
// protocol file: an empty path, or one where a run could not be appended,
// is refused now rather than found out at the end of the next run.
CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol);

// A number field's largest value; its least is 0.
std::int32_t FieldMost(ConfigField field);

}  // namespace chronivel
