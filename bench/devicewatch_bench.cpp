// SPDX-License-Identifier: GPL-3.0-or-later
// What waiting for an unplugged adapter costs: the CPU time of this idle
// process with no watch and with a watch on a by-id link that is missing, in
// alternating rounds, first with a quiet folder standing for /dev and then
// with another process making, changing and removing tty nodes in it. While
// the adapter is present there is no watch at all.
//
//   build/bench/devicewatch_bench [seconds per round, 5] [rounds, 3] [changes per second of the churn, 200]
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/systemserialports.h"

namespace {

namespace fs = std::filesystem;

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Sleep(double seconds)
{
    const timespec pause{static_cast<time_t>(seconds), static_cast<long>((seconds - static_cast<long>(seconds)) * 1e9)};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
}

// Another process that changes nodes in `dev` that are not the watched one,
// as other programs' terminals come and go, until it is ended: each change
// sets one node's mode and makes or removes another node.
pid_t StartChurn(const fs::path& dev, int perSecond)
{
    const pid_t child = fork();
    if (child != 0) return child;
    for (unsigned i = 0;; ++i) {
        const std::string node = (dev / ("ttyS" + std::to_string(i % 8))).string();
        chmod(node.c_str(), i % 2 ? 0600 : 0660);
        const std::string pty = (dev / ("ttyACM" + std::to_string(i / 2 % 4))).string();
        if (i % 2) unlink(pty.c_str());
        else std::fclose(std::fopen(pty.c_str(), "w"));
        Sleep(1.0 / perSecond);
    }
}

void EndChurn(pid_t child)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int perSecond = argc > 3 ? std::atoi(argv[3]) : 200;
    if (seconds <= 0 || rounds <= 0 || perSecond <= 0) {
        std::fprintf(stderr, "usage: devicewatch_bench [seconds per round] [rounds] [changes per second]\n");
        return 2;
    }
    const fs::path dev = fs::temp_directory_path() / ("chronivel-watch-bench-" + std::to_string(getpid()));
    fs::create_directories(dev);
    for (int i = 0; i < 8; ++i) std::fclose(std::fopen((dev / ("ttyS" + std::to_string(i))).c_str(), "w"));
    const std::string link = (dev / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A1-if00-port0").string();

    const auto ports = chronivel::MakeSystemSerialPorts({}, {});
    std::atomic<int> calls = 0;
    // [churn][watch]: CPU seconds over all rounds.
    double cpu[2][2] = {};
    for (int round = 0; round < rounds; ++round)
        for (int churn = 0; churn < 2; ++churn) {
            const pid_t churner = churn ? StartChurn(dev, perSecond) : 0;
            for (int watching = 0; watching < 2; ++watching) {
                std::unique_ptr<chronivel::DeviceWatch> watch;
                if (watching) watch = ports->WatchFor(link, [&calls] { ++calls; });
                if (watching && !watch) {
                    std::fprintf(stderr, "no watch could be made on %s\n", link.c_str());
                    return 1;
                }
                const double before = ProcessCpuSeconds();
                Sleep(seconds);
                cpu[churn][watching] += ProcessCpuSeconds() - before;
            }
            if (churner != 0) EndChurn(churner);
        }
    fs::remove_all(dev);

    std::printf("devicewatch_bench: %d rounds of %.1f s each, churn %d changes/s in %s\n", rounds, seconds,
                perSecond, dev.c_str());
    std::printf("%-8s %18s %18s %8s\n", "/dev", "no watch (us/s)", "watch (us/s)", "ratio");
    const double total = seconds * rounds;
    for (int churn = 0; churn < 2; ++churn) {
        const double none = cpu[churn][0] / total * 1e6;
        const double watched = cpu[churn][1] / total * 1e6;
        std::printf("%-8s %18.1f %18.1f ", churn ? "churning" : "quiet", none, watched);
        if (none > 0) std::printf("%8.2f\n", watched / none);
        else std::printf("%8s\n", "n/a");
    }
    std::printf("calls of the watch for other nodes' changes: %d\n", calls.load());
    return 0;
}
