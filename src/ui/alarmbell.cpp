#include "ui/alarmbell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace chronivel {

namespace {

bool IsEscape(const QEvent& event)
{
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.key() == Qt::Key_Escape || key.text() == QStringLiteral("\x1b");
}

}  // namespace

AlarmBell::AlarmBell(QWidget& window, AppView& windowView, QWidget& button)
    : QObject(&window), window_(window), windowView_(windowView), button_(button), sound_(new QSoundEffect(this))
{
    // Loaded now, so that the ring is heard when the alarm comes, not a moment later.
    sound_->setSource(Source());
    sound_->setLoopCount(QSoundEffect::Infinite);
    connect(sound_, &QSoundEffect::statusChanged, this, [this] {
        if (ringing_ && sound_->status() == QSoundEffect::Ready && !sound_->isPlaying()) sound_->play();
    });
}

QUrl AlarmBell::Source()
{
    return QUrl(QStringLiteral("qrc:/sounds/ALARM.wav"));
}

void AlarmBell::AlarmRang()
{
    QApplication::beep();
    windowView_.RestoreApplication();
    if (ringing_) return;
    ringing_ = true;
    // Escape goes to whichever control has the focus, so the bell listens to
    // the whole program while it rings, and only then.
    qApp->installEventFilter(this);
    if (sound_->status() == QSoundEffect::Ready) sound_->play();  // else once it is loaded
}

void AlarmBell::AlarmSilenced()
{
    if (!ringing_) return;
    ringing_ = false;
    qApp->removeEventFilter(this);
    sound_->stop();
}

bool AlarmBell::eventFilter(QObject* watched, QEvent* event)
{
    if (!ringing_ || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    bool heard = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The face is the window itself; its other controls keep their work.
        heard = widget == &window_ || widget == &button_;
        break;
    case QEvent::ShortcutOverride:
        // Escape is also the key that closes the calendar: while the alarm rings it is the bell's.
        if (widget->window() == &window_ && IsEscape(*event)) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: heard = widget->window() == &window_ && IsEscape(*event); break;
    default: break;
    }
    if (heard && acknowledge) acknowledge();
    return heard;
}

}  // namespace chronivel
