// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace chronivel {

// What the program has to tell while nobody may be at the keyboard: an
// adapter gone or back, a save or a protocol write that failed, hot keys the
// system refused, damaged settings found at start. The window shows these in
// one place that never takes a key, so a coach's Enter still stops the run.
// Each topic has one notice at a time: a newer one replaces it.
enum class NoticeTopic {
    Barriers,    // the light barriers' adapter gone, missing, back
    Settings,    // the settings file would not take a save
    Protocol,    // finished runs the protocol file would not take
    HotKeys,     // system-wide keys the desktop would not give
    Start,       // damaged settings found at start
    Run,         // a run in progress that could not be resumed
    Alarm,       // an alarm that fell due while the program was closed
    ProtocolWindow,  // the protocol window's place or file could not be read or saved
    SingleCopy,  // no lock against a second copy could be had
    WindowSystem,  // what the window system does not let the window do
    Sound,       // no device to play the sounds on
    LiveView,    // the live view could not start serving
};

struct Notice {
    enum class Kind {
        News,     // worth knowing; gone once the user has read it
        Problem,  // stays until its cause is over, read or not
    };
    NoticeTopic topic = NoticeTopic::Start;
    Kind kind = Kind::News;
    std::string headline;  // a few words, for where there is room for no more: "Barriers gone"
    std::string text;      // the whole of it, naming the file or device
    // The user can try again from the notice (writing the settings or the protocol).
    bool retry = false;

    friend bool operator==(const Notice&, const Notice&) = default;
};

class Notices {
public:
    // The notices in the order they came, the newest last.
    const std::vector<Notice>& All() const { return notices_; }
    bool Empty() const { return notices_.empty(); }
    // Replaces the topic's notice; returns whether anything changed.
    bool Tell(Notice notice);
    // The topic's cause is over.
    bool Clear(NoticeTopic topic);
    // The user has read them: the news goes, the problems stay.
    bool Read();
    const Notice* Find(NoticeTopic topic) const;

private:
    std::vector<Notice> notices_;
};

}  // namespace chronivel
