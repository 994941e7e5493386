// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/eventsounds.h"

#include <QAudioDevice>
#include <QMediaDevices>

namespace chronivel {

EventSounds::EventSounds(QObject* parent) : QObject(parent)
{
    for (EventSound sound : AllEventSounds) {
        auto* effect = new QSoundEffect(this);
        effect->setSource(Source(sound));
        effects_[static_cast<std::size_t>(sound)] = effect;
        // A sound asked for while its file still loads plays once it is ready,
        // unless a newer one was asked for meanwhile.
        connect(effect, &QSoundEffect::statusChanged, this, [this, effect, sound] {
            if (effect->status() != QSoundEffect::Ready || pending_ != sound) return;
            pending_.reset();
            effect->play();
        });
    }
}

QUrl EventSounds::Source(EventSound sound)
{
    return QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(QLatin1StringView(SoundName(sound))));
}

QSoundEffect& EventSounds::Effect(EventSound sound) const
{
    return *effects_[static_cast<std::size_t>(sound)];
}

void EventSounds::Play(EventSound sound)
{
    if (!noDeviceTold_ && QMediaDevices::defaultAudioOutput().isNull()) {
        noDeviceTold_ = true;
        emit noOutputDevice();
    }
    Start(sound);
}

void EventSounds::Start(EventSound sound)
{
    if (lastStarted_) {
        QSoundEffect& previous = Effect(*lastStarted_);
        if (previous.isPlaying()) lastCutOff_ = lastStarted_;
        previous.stop();
    }
    pending_.reset();
    lastStarted_ = sound;
    QSoundEffect& effect = Effect(sound);
    if (effect.status() == QSoundEffect::Loading || effect.status() == QSoundEffect::Null)
        pending_ = sound;
    else
        effect.play();  // returns at once; with no audio device it plays to nobody
}

bool EventSounds::Play(QStringView name)
{
    for (EventSound sound : AllEventSounds) {
        if (name == QLatin1StringView(SoundName(sound))) {
            Play(sound);
            return true;
        }
    }
    return false;
}

void EventSounds::PlayStartup()
{
    if (startupPlayed_) return;
    startupPlayed_ = true;
    Start(EventSound::Start);
}

}  // namespace chronivel
