// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/savepipeline.h"

#include <memory>

namespace chronivel {

namespace {

// What the user is told when the protocol file will not take the finished runs.
// `settingsPlace`: the settings file or key, empty when it has no name.
std::string UnwrittenText(const std::string& path, const std::string& reason, std::size_t runs,
                          const std::string& settingsPlace)
{
    std::string which = runs == 1 ? "The run" : std::to_string(runs);
    if (runs != 1) which += " runs";
    std::string keptIn = "the settings";
    if (!settingsPlace.empty()) keptIn.assign(1, '"').append(settingsPlace).append(1, '"');
    return "Cannot write to the protocol file \"" + path + "\". " + reason + "\n" + which + " not written there " +
           (runs == 1 ? "is" : "are") + " kept in " + keptIn +
           " and written at the end of the next run, at the next start, or when you choose to retry"
           " (\"Retry writing the protocol\" in the menu).";
}

}  // namespace

SavePipeline::SavePipeline(Model& model, const LocaleTexts& locale, SettingsStore& store, Scheduler& scheduler,
                           ProtocolLog& protocol)
    : model_(model), locale_(locale), store_(store), scheduler_(scheduler), protocol_(protocol)
{
}

SavePipeline::~SavePipeline()
{
    if (writing_) scheduler_.FinishAside();  // its end calls back here
    if (delayedSave_) scheduler_.Cancel(*delayedSave_);
}

std::string SavePipeline::Load(Settings& s, const LoadMoment& moment)
{
    existed_ = store_.Exists();
    std::string problem = store_.OpenProblem();
    LoadReport report = LoadSettings(store_, s, moment);
    KeepUnreadableRuns(store_, report);
    if (const std::string unread = report.Message(store_.Location()); !unread.empty())
        problem += (problem.empty() ? "" : "\n") + unread;
    held_ = std::move(report.held);

    StoredRuns runs = LoadRuns(store_);
    // Numbers of the day's runs never repeat, even where the settings lost their count.
    if (!report.dayCounterKnown)
        s.dayCounter = DayRunsCounted(runs, moment.today, protocol_.HighestRunNumberOn(s.fileName, moment.today));
    pending_ = runs.pending;
    startTimeKept_ = KeepsStartTime(store_);
    savedRuns_ = std::move(runs);
    saved_ = s;
    loading_ = true;
    return problem;
}

void SavePipeline::Resume()
{
    loading_ = false;
    // After a reboot the run resumes from a new start count, and a damaged
    // one is gone: keep that at once, so that it is told only once.
    KeepChanges();
    // Runs finished before a kill, or while the file could not be written.
    WritePending();
}

void SavePipeline::Record(const std::vector<std::string>& lines)
{
    // Kept before the file is touched: from the end of this write on a kill
    // cannot lose the run, nor bring it back as running.
    pending_.push_back(lines);
    Save();
    appendAfter_.reset();
    if (written_ < handedOver_) appendAfter_ = handedOver_;  // the runs go to the file once that write ends
    else WritePending();  // nothing was handed over: there is no write to wait for
}

void SavePipeline::WritePending()
{
    if (appendAfter_) return;  // the settings do not hold the newest run yet; the write's end comes back here
    const std::string& path = model_.ProtocolPath();
    while (!pending_.empty()) {
        const std::vector<std::string> run = pending_.front();
        // A kill after the append, before the settings forgot the run, left it at the file's end.
        if (!protocol_.EndsWith(path, run)) {
            const std::string reason = protocol_.Append(path, run);
            if (!reason.empty()) {
                model_.Tell({NoticeTopic::Protocol, Notice::Kind::Problem, "Runs not written",
                             UnwrittenText(path, reason, pending_.size(), store_.Location()), true});
                return;
            }
        }
        pending_.erase(pending_.begin());
        Save();
        model_.RunRecorded(run);
    }
    model_.ClearNotice(NoticeTopic::Protocol);
}

void SavePipeline::SaveFailed(const std::string& failure)
{
    const bool sentence = !failure.empty() && failure.back() == '.';
    model_.Tell({NoticeTopic::Settings, Notice::Kind::Problem, "Settings unsaved",
                 failure + (sentence ? " " : ". ") + "What changed is kept and written with the next save.", true});
}

void SavePipeline::KeepChanges()
{
    if (loading_) return;
    const Settings now = model_.Snapshot();
    const StoredRuns runs = RunsSnapshot();
    const bool alarmChanged =
        now.alarmOn != saved_.alarmOn || now.alarm != saved_.alarm || now.alarmDue != saved_.alarmDue;
    if (now.tickCount != saved_.tickCount || runs != savedRuns_ || alarmChanged) {
        // A run began, went on or ended, or the alarm was set or rang: a kill right after must not lose it.
        Write(now, runs);
    } else if (now != saved_) {
        // Many changes in a row (a drag, a run of zoom steps) make one save.
        if (delayedSave_) scheduler_.Cancel(*delayedSave_);
        delayedSave_ = scheduler_.After(DelayMs, [this] {
            delayedSave_.reset();
            Save();
        });
    }
}

void SavePipeline::Write(const Settings& now, const StoredRuns& runs)
{
    if (delayedSave_) scheduler_.Cancel(*delayedSave_);
    delayedSave_.reset();
    try {
        SaveSettings(store_, now, locale_.Now().shortDate, held_);
        SaveRuns(store_, runs);
        model_.SavingOwnValues();
    } catch (const SettingsError& error) {
        SaveFailed(error.what());
        return;
    }
    saved_ = now;
    savedRuns_ = runs;
    ++handedOver_;
    if (!writing_) WriteAside();
}

void SavePipeline::WriteAside()
{
    writing_ = true;
    const std::uint64_t version = handedOver_;
    std::shared_ptr<SettingsSave> save = store_.TakeSave();
    auto failure = std::make_shared<std::string>();
    scheduler_.Aside(
        [save, failure] {
            try {
                save->Write();
            } catch (const SettingsError& error) {
                *failure = error.what();
            }
        },
        [this, version, failure] { Written(version, *failure); });
}

void SavePipeline::Written(std::uint64_t version, const std::string& failure)
{
    writing_ = false;
    written_ = version;
    if (failure.empty()) {
        model_.ClearNotice(NoticeTopic::Settings);
    } else {
        // Nothing counts as saved: the next change writes everything again.
        saved_ = Settings{};
        savedRuns_ = StoredRuns{};
    }
    if (handedOver_ > written_) WriteAside();  // what changed during this write
    // The runs go to the protocol also when the settings failed: better there than nowhere.
    if (appendAfter_ && written_ >= *appendAfter_) {
        appendAfter_.reset();
        WritePending();
    }
    if (!failure.empty()) SaveFailed(failure);
}

}  // namespace chronivel
