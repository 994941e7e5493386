// SPDX-License-Identifier: GPL-3.0-or-later
// Another process that watches a port through the system adapter, for the
// test of the shim's FIFO: "watchport <device> <batches>" prints
//   OPEN <polled events, hex>          once the port is open and watched
//   <events hex> <status hex> <counter> for each batch
//   LOST <reason>                      if the device goes away
// and ends after that many batches (or the loss).
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/bootclock.h"
#include "platform/systemserialports.h"

namespace {

using namespace chronivel;

class Printer final : public ComEventSink {
public:
    explicit Printer(int batches) : left_(batches) {}

    void Deliver(const ComEventBatch& batch) override
    {
        std::lock_guard lock(mutex_);
        std::printf("%x %x %lld\n", batch.events, batch.status, static_cast<long long>(batch.counter));
        std::fflush(stdout);
        if (--left_ <= 0) done_.notify_all();
    }

    void Lost(const std::string& reason) override
    {
        std::lock_guard lock(mutex_);
        std::printf("LOST %s\n", reason.c_str());
        std::fflush(stdout);
        left_ = 0;
        done_.notify_all();
    }

    void WaitUntilDone()
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return left_ <= 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    int left_;
};

std::int64_t Counter()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return BootCounterOffset + std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <device> <batches>\n", argv[0]);
        return 2;
    }
    try {
        const auto ports = MakeSystemSerialPorts(Counter, [](std::function<void()> call) { call(); });
        const auto device = ports->Open(argv[1], BuildDeviceControl(ComSettings{}));
        Printer printer(std::atoi(argv[2]));
        device->StartWatching(EventMask(AllEvents), printer);
        std::printf("OPEN %x\n", device->PolledEvents());
        std::fflush(stdout);
        printer.WaitUntilDone();
        device->StopWatching();
    } catch (const std::exception& error) {
        std::printf("ERROR %s\n", error.what());
        return 1;
    }
    return 0;
}
