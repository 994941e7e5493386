#pragma once

#include "core/settings.h"

namespace chronivel {

// The alarm clock, as the settings keep it.
class AlarmClock {
public:
    explicit AlarmClock(const Settings& kept) : kept_(kept) {}

    // Armed, and its time still to come today.
    bool Armed() const { return kept_.alarmOn; }

private:
    const Settings& kept_;
};

}  // namespace chronivel
