// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSoundEffect>
#include <QUrl>

#include <functional>

#include "core/appview.h"

class QLabel;
class QWidget;

namespace chronivel {

class AlarmClock;

// What the user hears and sees when the alarm clock rings: the system beep
// once, then the ring over and over until the model says it is silenced, and
// all that while a banner over the readout, "Alarm 06:30:00 — click or Esc",
// for whoever has no sound. While it rings, a click on the window's face, the
// banner or the alarm button, or Escape anywhere in the window, tells the
// model the user heard it, and does nothing else.
class AlarmBell final : public QObject, public AppView {
    Q_OBJECT
public:
    // Rings `alarm` for `window`, which `windowView` brings back when it is
    // minimised; `button` is the alarm clock's button on it, `readout` the
    // part of it the banner covers.
    AlarmBell(QWidget& window, AppView& windowView, QWidget& button, QWidget& readout, const AlarmClock& alarm);

    // AppView
    void AlarmRang() override;
    void AlarmSilenced() override;

    bool Ringing() const { return ringing_; }
    const QLabel& Banner() const { return *banner_; }
    const QSoundEffect& Sound() const { return *sound_; }
    static QUrl Source();

    // The user heard it.
    std::function<void()> acknowledge;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Over the readout, in the largest font its words fit in.
    void PlaceBanner();

    QWidget& window_;
    AppView& windowView_;
    QWidget& button_;
    QWidget& readout_;
    const AlarmClock& alarm_;
    QSoundEffect* sound_;
    QLabel* banner_;
    bool ringing_ = false;
};

}  // namespace chronivel
