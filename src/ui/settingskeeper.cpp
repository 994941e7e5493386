#include "ui/settingskeeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QWidget>

#include <chrono>

#include "core/runpersistence.h"

namespace chronivel {

namespace {

std::int64_t WallClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

LoadMoment CurrentMoment()
{
    const QDateTime now = QDateTime::currentDateTime();
    return LoadMoment{QLocale::system().toString(now.date(), QLocale::ShortFormat).toStdString(),
                      now.time().msecsSinceStartOfDay() / 86'400'000.0};
}

SettingsKeeper::SettingsKeeper(SettingsStore& store, Chronometer& clock, THighResTimer& timer, QWidget& window,
                               std::string bootId)
    : store_(store), clock_(clock), timer_(timer), window_(window), bootId_(std::move(bootId))
{
    reportError = [this](const QString& message) {
        QMessageBox::critical(&window_, QCoreApplication::applicationName(), message);
    };
    delayedSave_.setSingleShot(true);
    delayedSave_.setInterval(SaveDelayMs);
    connect(&delayedSave_, &QTimer::timeout, this, &SettingsKeeper::Save);
}

QString SettingsKeeper::Load(const std::string& defaultProtocolPath)
{
    Settings s;
    s.fileName = defaultProtocolPath;
    existed_ = store_.Exists();
    QString problem = QString::fromStdString(store_.OpenProblem());
    try {
        LoadSettings(store_, s, CurrentMoment());
    } catch (const SettingsError& error) {
        // What was read before the bad value still applies; the rest keeps its defaults.
        if (!problem.isEmpty()) problem += QLatin1Char('\n');
        problem += QString::fromUtf8(error.what());
    }

    kept_ = s;
    loading_ = true;  // the chronometer reports each step; the state is whole only at the end
    if (s.left && s.top) window_.move(*s.left, *s.top);
    clock_.SetCountDownT(s.countDownT);
    clock_.SetSound(s.sound);
    clock_.SetDayCounter(s.dayCounter);
    clock_.SetLockSeconds(s.seLOCK);
    clock_.Format().SelectFormat(s.format);
    clock_.Format().SetHoursOn(s.hoursOn);
    // Arming the countdown clears a shown best time, so the best comes after it.
    clock_.SetCountDown(s.countDown);
    clock_.Best().Restore(s.leader, clock_.Format());
    clock_.Best().SetVisible(!s.countDown);
    saved_ = s;
    return problem;
}

void SettingsKeeper::Resume()
{
    clock_.ResumeRun(ResumeStartCount(kept_, bootId_, timer_.ReadCounter(), timer_.CountSpeed(), WallClockMs()));
    loading_ = false;
    // After a reboot the run resumes from a new start count: keep that at once.
    ControlsChanged();
}

Settings SettingsKeeper::Snapshot()
{
    Settings s = kept_;
    s.left = window_.x();
    s.top = window_.y();
    s.countDown = clock_.CountDown();
    s.countDownT = clock_.CountDownT();
    s.sound = clock_.Sound();
    s.dayCounter = clock_.DayCounter();
    s.leader = clock_.Best().Value();
    s.leaderOn = clock_.Best().Visible();
    s.seLOCK = clock_.LockSeconds();
    s.format = clock_.Format().Format();
    s.hoursOn = clock_.Format().HoursOn();
    s.tickCount = clock_.StartCount();
    if (s.tickCount != 0 && s.tickCount != wallClockOf_) {
        // Once per start count, so that repeated snapshots of one run agree.
        wallClockOf_ = s.tickCount;
        wallClockStart_ = WallClockStart(s.tickCount, timer_.ReadCounter(), timer_.CountSpeed(), WallClockMs());
    }
    s.tickBoot = s.tickCount != 0 ? bootId_ : std::string();
    s.tickTime = s.tickCount != 0 ? wallClockStart_ : 0;
    return s;
}

void SettingsKeeper::ControlsChanged()
{
    if (loading_) return;
    const Settings now = Snapshot();
    if (now.tickCount != saved_.tickCount)
        Write(now);  // a run began or ended: a kill right after must not lose it
    else if (now != saved_)
        delayedSave_.start();
}

void SettingsKeeper::Save()
{
    Write(Snapshot());
}

void SettingsKeeper::Write(const Settings& now)
{
    delayedSave_.stop();
    try {
        SaveSettings(store_, now, CurrentMoment().today);
        if (saveOthers) saveOthers();
        store_.Flush();
        saved_ = now;
        failureReported_ = false;
    } catch (const SettingsError& error) {
        if (!failureReported_ && reportError) reportError(QString::fromUtf8(error.what()));
        failureReported_ = true;
    }
}

}  // namespace chronivel
