// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/eventsounds.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/ui/wavreader.h"

using chronivel::AllEventSounds;
using chronivel::EventSound;
using chronivel::EventSounds;
using chronivel::SoundName;
using chronivel::testing::ParseWav;
using chronivel::testing::Wav;

namespace {

QString ResourcePath(EventSound sound)
{
    return QStringLiteral(":/sounds/%1.wav").arg(QLatin1StringView(SoundName(sound)));
}

QByteArray Read(EventSound sound)
{
    QFile file(ResourcePath(sound));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool WaitUntilLoaded(const EventSounds& sounds)
{
    return QTest::qWaitFor([&] {
        for (EventSound s : AllEventSounds)
            if (sounds.Status(s) == QSoundEffect::Loading || sounds.Status(s) == QSoundEffect::Null) return false;
        return true;
    }, 10000);
}

}  // namespace

TEST(EventSoundsTest, EveryEventHasItsResource)
{
    for (EventSound sound : AllEventSounds)
        EXPECT_TRUE(QFile::exists(ResourcePath(sound))) << ResourcePath(sound).toStdString();
}

TEST(EventSoundsTest, ResourcesAreShortMonoPcmWithTrailingSilence)
{
    for (EventSound sound : AllEventSounds) {
        SCOPED_TRACE(std::string(SoundName(sound)));
        const Wav wav = ParseWav(Read(sound));
        ASSERT_TRUE(wav.ok);
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_TRUE(wav.sampleRate == 44100 || wav.sampleRate == 48000) << wav.sampleRate;
        ASSERT_GT(wav.sampleRate, 0);

        const double seconds = static_cast<double>(wav.samples.size()) / wav.sampleRate;
        EXPECT_LT(seconds, 0.8);

        std::size_t trailingZeros = 0;
        for (auto it = wav.samples.rbegin(); it != wav.samples.rend() && *it == 0; ++it) ++trailingZeros;
        EXPECT_GE(static_cast<double>(trailingZeros) / wav.sampleRate, 0.25);
        EXPECT_LT(trailingZeros, wav.samples.size()) << "nothing but silence";

        double energy = 0;
        const std::size_t half = wav.samples.size() / 2;
        for (std::size_t i = 0; i < half; ++i) energy += double(wav.samples[i]) * wav.samples[i];
        const double rms = half ? std::sqrt(energy / half) : 0;
        EXPECT_GT(rms, 1000.0) << "too quiet to be heard";
    }
}

TEST(EventSoundsTest, SoundsStartAndEndWithoutAClick)
{
    for (EventSound sound : AllEventSounds) {
        SCOPED_TRACE(std::string(SoundName(sound)));
        const Wav wav = ParseWav(Read(sound));
        ASSERT_TRUE(wav.ok);
        ASSERT_FALSE(wav.samples.empty());
        // A fade-in starts near zero; a step to a loud first sample would click.
        EXPECT_LT(std::abs(wav.samples.front()), 1000);
        // No jump between neighbouring samples bigger than the loudest sine could make.
        int biggestStep = 0;
        for (std::size_t i = 1; i < wav.samples.size(); ++i)
            biggestStep = std::max(biggestStep, std::abs(wav.samples[i] - wav.samples[i - 1]));
        EXPECT_LT(biggestStep, 16000);
    }
}

TEST(EventSoundsTest, SoundsAreDistinct)
{
    for (EventSound a : AllEventSounds)
        for (EventSound b : AllEventSounds)
            if (a != b) {
                EXPECT_NE(Read(a), Read(b)) << SoundName(a) << " and " << SoundName(b);
            }
}

TEST(EventSoundsTest, EverySoundLoadsWithOrWithoutAnAudioDevice)
{
    EventSounds sounds;
    ASSERT_TRUE(WaitUntilLoaded(sounds));
    for (EventSound sound : AllEventSounds) EXPECT_EQ(sounds.Status(sound), QSoundEffect::Ready) << SoundName(sound);
}

TEST(EventSoundsTest, PlaysEachSoundByName)
{
    EventSounds sounds;
    ASSERT_TRUE(WaitUntilLoaded(sounds));
    for (EventSound sound : AllEventSounds) {
        const QString name = QString::fromLatin1(SoundName(sound));
        EXPECT_TRUE(sounds.Play(name)) << name.toStdString();
        EXPECT_EQ(sounds.LastStarted(), sound);
        EXPECT_NE(sounds.Status(sound), QSoundEffect::Error);
    }
}

TEST(EventSoundsTest, UnknownNameIsRefusedAndChangesNothing)
{
    EventSounds sounds;
    sounds.Play(EventSound::Lap);
    EXPECT_FALSE(sounds.Play(u"BEEP"));
    EXPECT_FALSE(sounds.Play(u"start"));
    EXPECT_EQ(sounds.LastStarted(), EventSound::Lap);
}

TEST(EventSoundsTest, NewSoundCutsOffThePreviousOne)
{
    EventSounds sounds;
    ASSERT_TRUE(WaitUntilLoaded(sounds));
    sounds.Play(EventSound::Start);
    const bool startWasPlaying = sounds.IsPlaying(EventSound::Start);
    sounds.Play(EventSound::Stop);
    EXPECT_EQ(sounds.LastStarted(), EventSound::Stop);
    EXPECT_FALSE(sounds.IsPlaying(EventSound::Start));
    if (startWasPlaying) {
        EXPECT_EQ(sounds.LastCutOff(), EventSound::Start);
    }
}

TEST(EventSoundsTest, SoundAskedForWhileLoadingPlaysOnceLoaded)
{
    EventSounds sounds;
    sounds.Play(EventSound::CountDownEnd);
    EXPECT_EQ(sounds.LastStarted(), EventSound::CountDownEnd);
    ASSERT_TRUE(WaitUntilLoaded(sounds));
    // Some Qt versions report a sound played to no device as playing, others not; either way none failed.
    EXPECT_NE(sounds.Status(EventSound::CountDownEnd), QSoundEffect::Error);
}

TEST(EventSoundsTest, StartupSoundIsTheStartSoundAndPlaysOnce)
{
    EventSounds sounds;
    sounds.PlayStartup();
    EXPECT_EQ(sounds.LastStarted(), EventSound::Start);
    sounds.Play(EventSound::Lap);
    sounds.PlayStartup();
    EXPECT_EQ(sounds.LastStarted(), EventSound::Lap);
}
