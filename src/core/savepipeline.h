// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/localetexts.h"
#include "core/notices.h"
#include "core/protocollog.h"
#include "core/runpersistence.h"
#include "core/scheduler.h"
#include "core/settings.h"
#include "core/settingsstore.h"

namespace chronivel {

// When the model's settings are written, and the finished runs recorded.
//
// Saving: a run that starts, takes a lap, pauses, stops or resets is written
// at once, whole, so that a crash or a kill loses nothing; other changes
// DelayMs after the last of them; everything once more at exit (Save).
// The alarm clock, set, ringing or disarmed, is written at once too.
// The settings are written aside, off the program's thread, one write at a
// time: changes made while one is written go into the next, so a large
// settings file never holds up a command, and the file never goes back to
// an older state.
//
// A finished run is kept in the settings as unwritten before it goes to the
// protocol file, and forgotten there once the file has it: it is appended
// only after the write that keeps it has ended. A kill between the two
// finds it at the next start, where it is appended unless the file already
// ends with it; a file that cannot be written keeps it unwritten until the
// end of the next run or the user's retry.
class SavePipeline {
public:
    static constexpr int DelayMs = 500;

    // What the pipeline asks of the model it saves, and tells it.
    class Model {
    public:
        virtual Settings Snapshot() = 0;
        // The run going, or none.
        virtual RunDetails RunSnapshot() = 0;
        virtual const std::string& ProtocolPath() const = 0;
        virtual void Tell(Notice notice) = 0;
        virtual void ClearNotice(NoticeTopic topic) = 0;
        // The windows write their own values beside the settings.
        virtual void SavingOwnValues() = 0;
        virtual void RunRecorded(const std::vector<std::string>& lines) = 0;

    protected:
        ~Model() = default;
    };

    SavePipeline(Model& model, const LocaleTexts& locale, SettingsStore& store, Scheduler& scheduler,
                 ProtocolLog& protocol);
    ~SavePipeline();

    // Reads the settings into `s` and the runs kept beside them. Returns what
    // went wrong while reading; nothing is saved until Resume.
    std::string Load(Settings& s, const LoadMoment& moment);
    bool StoreExisted() const { return existed_; }
    bool StartTimeKept() const { return startTimeKept_; }
    // As loaded until the first save.
    const StoredRuns& SavedRuns() const { return savedRuns_; }
    // The settings are whole: changes are kept from now on, and runs left unwritten are written.
    void Resume();
    // Applies the save policy to whatever changed since the last save.
    void KeepChanges();
    // Writes everything, starting now. A failure is reported once until a save succeeds again.
    void Save() { Write(model_.Snapshot(), RunsSnapshot()); }
    // A finished run, kept in the settings before it goes to the protocol file.
    void Record(const std::vector<std::string>& lines);
    bool RunsUnwritten() const { return !pending_.empty(); }
    // Appends the unwritten runs, oldest first, each forgotten as soon as the file has it.
    void WritePending();

private:
    StoredRuns RunsSnapshot() { return StoredRuns{model_.RunSnapshot(), pending_}; }
    // Hands the values to the store, and starts writing them unless a write is under way.
    void Write(const Settings& now, const StoredRuns& runs);
    void WriteAside();
    // A write of the values handed over as `version` has ended; `failure` says why it failed.
    void Written(std::uint64_t version, const std::string& failure);
    // WritePending, once the values handed over last are written.
    // A save failed; told once until one succeeds.
    void SaveFailed(const std::string& failure);

    Model& model_;
    const LocaleTexts& locale_;
    SettingsStore& store_;
    Scheduler& scheduler_;
    ProtocolLog& protocol_;
    Settings saved_;
    HeldValues held_;  // stored values not understood, left as they are until their setting changes
    std::vector<std::vector<std::string>> pending_;  // finished runs not in the protocol file yet
    bool startTimeKept_ = false;
    StoredRuns savedRuns_;
    std::optional<Scheduler::Task> delayedSave_;
    std::uint64_t handedOver_ = 0;  // counts the sets of values given to the store
    std::uint64_t written_ = 0;     // the last of them that a write has ended with
    bool writing_ = false;
    std::optional<std::uint64_t> appendAfter_;  // unwritten runs wait for this set to be written
    bool existed_ = false;
    bool loading_ = true;  // until Resume: nothing is saved before the settings are whole
};

}  // namespace chronivel
