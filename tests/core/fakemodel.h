// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/appview.h"
#include "core/chronivelapp.h"
#include "tests/core/fakes.h"
#include "tests/core/fakeserial.h"
#include "tests/core/memorystore.h"

namespace chronivel::testing {

// The program's model on fakes: a clock the test moves, settings and a
// protocol in memory, callbacks that wait for the test, no serial ports.
struct FakeModel {
    FakeTimerPlatform platform;
    THighResTimer timer{platform};
    FixedLocale locale;
    MemoryStore store;
    FakeScheduler scheduler;
    MemoryProtocol protocol;
    FakePorts serial;
    ChronivelApp app{timer, locale, store, scheduler, protocol, serial, "boot-1"};
};

// The same on a wall clock the test sets, which moves with the scheduler:
// the model is made by MakeApp, once the time it starts at is known.
struct FakeModelOnWallClock {
    // Makes the model at the wall-clock time `startMs`, from the scheduler's `now`.
    ChronivelApp& MakeApp(std::int64_t startMs)
    {
        locale = std::make_unique<WallClockLocale>(scheduler, startMs - scheduler.now);
        app = std::make_unique<ChronivelApp>(timer, *locale, store, scheduler, protocol, serial, "boot-1");
        return *app;
    }

    FakeTimerPlatform platform;
    THighResTimer timer{platform};
    MemoryStore store;
    FakeScheduler scheduler;
    MemoryProtocol protocol;
    FakePorts serial;
    std::unique_ptr<WallClockLocale> locale;
    std::unique_ptr<ChronivelApp> app;
};

// A window that takes every command handed to it and remembers them.
class RecordingView final : public AppView {
public:
    bool Perform(Command command) override
    {
        performed.push_back(command);
        return true;
    }
    std::vector<Command> performed;
};

}  // namespace chronivel::testing
