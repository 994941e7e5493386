// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace chronivel {

// One copy of the program per title, that is per settings key: two copies
// with the same settings would each save their own idea of the run in
// progress over the other's. The first copy takes the lock and holds it for as
// long as it lives; the system lets go of it when the process ends, however it
// ends (a crash or kill -9 included), so a lock is never left stale.
//
// On Linux an flock on $XDG_RUNTIME_DIR/Orvantis/<title>.lock, or beside the
// settings file where there is no runtime folder or it takes no lock; on
// Windows the named mutex Local\Orvantis.<title>.
class InstanceLock {
public:
    enum class State {
        Held,       // ours: this is the one copy
        Elsewhere,  // another copy holds it
        Failed,     // the system would not let it be taken; Problem() says why
    };

    explicit InstanceLock(std::string_view title);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State Get() const { return state_; }
    // Tries again to take a lock held elsewhere: its holder may have been
    // ending when this copy started.
    State Retry()
    {
        if (state_ != State::Held) Take();
        return state_;
    }
    // The lock's file or mutex, for messages: the one held, or held
    // elsewhere, or the last one tried.
    const std::string& Location() const { return location_; }
    // Why the lock could not be taken, naming each place tried, as a
    // sentence for the user; empty unless Failed.
    const std::string& Problem() const { return problem_; }
    // Where the holder listens for later starts of the same title: a local
    // socket's path beside the lock file, or a pipe's name on Windows.
    const std::string& ChannelName() const { return channel_; }

private:
    void Take();

    std::string title_;
    State state_ = State::Failed;
    std::string location_;
    std::string problem_;
    std::string channel_;
    void* handle_ = nullptr;  // the mutex on Windows
    int fd_ = -1;             // the lock file elsewhere
};

}  // namespace chronivel
