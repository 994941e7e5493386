#pragma once

#include <QObject>
#include <QSoundEffect>
#include <QUrl>

#include <functional>

#include "core/appview.h"

class QWidget;

namespace chronivel {

// What the user hears when the alarm clock rings: the system beep once, then
// the ring over and over until the model says it is silenced. While it rings,
// a click on the window's face or on the alarm button, or Escape anywhere in
// the window, tells the model the user heard it, and does nothing else.
class AlarmBell final : public QObject, public AppView {
    Q_OBJECT
public:
    // Rings for `window`, which `windowView` brings back when it is
    // minimised; `button` is the alarm clock's button on it.
    AlarmBell(QWidget& window, AppView& windowView, QWidget& button);

    // AppView
    void AlarmRang() override;
    void AlarmSilenced() override;

    bool Ringing() const { return ringing_; }
    const QSoundEffect& Sound() const { return *sound_; }
    static QUrl Source();

    // The user heard it.
    std::function<void()> acknowledge;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    AppView& windowView_;
    QWidget& button_;
    QSoundEffect* sound_;
    bool ringing_ = false;
};

}  // namespace chronivel
