// SPDX-License-Identifier: GPL-3.0-or-later
// How long a START or STOP holds up the program's thread when the settings
// file is 50 MB (a value the program does not know, kept as it is): the whole
// save on the command's thread, encoded afresh and written, as the program
// once did, against the command as it is now, which hands the values over
// and has them written aside. Beside them the write aside itself, which the
// program does not wait for. Compare the three in one run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/chronivelapp.h"
#include "core/regfile.h"
#include "platform/atomicfile.h"
#include "platform/regfilestore.h"
#include "tests/core/fakes.h"
#include "tests/core/fakeserial.h"

namespace {

using namespace chronivel;
namespace fs = std::filesystem;

constexpr const char* Key = "HKEY_CURRENT_USER\\Software\\Orvantis\\Chronivel";

double Ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A settings file with the program's values and 25 million characters of one it does not know.
class BigSettings {
public:
    BigSettings()
    {
        std::string pattern = (fs::temp_directory_path() / "chronivel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern;
        RegFileStore store(Path(), Key);
        SaveSettings(store, Settings{}, "07.12.26");
        store.Set("Ballast", RegValue::Text(std::string(25'000'000, 'x')));
        store.Flush();
    }
    ~BigSettings() { fs::remove_all(folder_); }
    std::string Path() const { return (folder_ / "Chronivel.reg").string(); }

private:
    fs::path folder_;
};

// The save as a command once made it: every value encoded and the file written, there and then.
void WholeSaveOnTheCommandThread(benchmark::State& state)
{
    const BigSettings file;
    const RegFileStore store(file.Path(), Key);
    NamedValues values;
    for (const char* name : {"Ballast", "Left", "Top", "Zoom", "FileName", "TickCount"})
        if (std::optional<RegValue> value = store.Get(name)) values.emplace_back(name, *value);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (ReplaceFileContent(file.Path(), WriteRegFile(Key, values), Replacement::Private)) std::abort();
        state.SetIterationTime(Ms(std::chrono::steady_clock::now() - start) / 1e3);
    }
}
BENCHMARK(WholeSaveOnTheCommandThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

// START, STOP and RESET through the model; what each holds up, and the writes aside after it.
void CommandWithTheWriteAside(benchmark::State& state)
{
    const BigSettings file;
    testing::FakeTimerPlatform platform;
    THighResTimer timer{platform};
    testing::FixedLocale locale;
    RegFileStore store(file.Path(), Key);
    testing::FakeScheduler scheduler;
    scheduler.holdAside = true;
    testing::MemoryProtocol protocol;
    testing::FakePorts serial;
    ChronivelApp app{timer, locale, store, scheduler, protocol, serial, "boot-1"};
    app.Load("/dev/null");
    app.Resume();
    scheduler.RunAside();
    double asideMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        app.Perform(Command::StartStopReset);
        state.SetIterationTime(Ms(std::chrono::steady_clock::now() - start) / 1e3);
        const auto aside = std::chrono::steady_clock::now();
        scheduler.RunAside();
        asideMs = std::max(asideMs, Ms(std::chrono::steady_clock::now() - aside));
        platform.Advance(1'000);
    }
    state.counters["aside_ms"] = asideMs;
}
BENCHMARK(CommandWithTheWriteAside)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

BENCHMARK_MAIN();
