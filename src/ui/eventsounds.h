// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/chronometerobserver.h"

#include <QObject>
#include <QSoundEffect>

#include <array>
#include <optional>

namespace chronivel {

// Plays the chronometer's event sounds from the program's resources. Each plays
// at once and in the background; a new one cuts off one still playing, as the
// events come faster than the sounds last. No audio device is no error: the
// sounds then just are not heard, and the first event sound that finds none
// says so.
class EventSounds : public QObject {
    Q_OBJECT
public:
    // Loads every sound now, so that the first event is not heard late.
    explicit EventSounds(QObject* parent = nullptr);

    void Play(EventSound sound);
    // By the name of its recording ("START", "STOP", "LAP", "RESET", "CDOWN",
    // "WARN"); false for a name that is none of them.
    bool Play(QStringView name);
    // The program's start-up sound, once per run: plays as soon as it is
    // loaded, without waiting here for that.
    void PlayStartup();

    // Which sound was started last, and which one was last cut off by a newer one.
    std::optional<EventSound> LastStarted() const { return lastStarted_; }
    std::optional<EventSound> LastCutOff() const { return lastCutOff_; }
    QSoundEffect::Status Status(EventSound sound) const { return Effect(sound).status(); }
    bool IsPlaying(EventSound sound) const { return Effect(sound).isPlaying(); }

    static QUrl Source(EventSound sound);

signals:
    // Once: an event sound was to be played and the system has no audio
    // output. The start-up sound, heard whatever the sound setting, does
    // not ask, so a machine without one is not told so at every start.
    void noOutputDevice();

private:
    QSoundEffect& Effect(EventSound sound) const;
    void Start(EventSound sound);

    std::array<QSoundEffect*, AllEventSounds.size()> effects_{};
    std::optional<EventSound> lastStarted_;
    std::optional<EventSound> lastCutOff_;
    std::optional<EventSound> pending_;  // asked for before its file was loaded
    bool startupPlayed_ = false;
    bool noDeviceTold_ = false;
};

}  // namespace chronivel
