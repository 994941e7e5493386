// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarmbell.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

#include <algorithm>

#include "core/alarmclock.h"

namespace chronivel {

namespace {

bool IsEscape(const QEvent& event)
{
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.key() == Qt::Key_Escape || key.text() == QStringLiteral("\x1b");
}

}  // namespace

AlarmBell::AlarmBell(QWidget& window, AppView& windowView, QWidget& button, QWidget& readout,
                     const AlarmClock& alarm)
    : QObject(&window),
      window_(window),
      windowView_(windowView),
      button_(button),
      readout_(readout),
      alarm_(alarm),
      sound_(new QSoundEffect(this)),
      banner_(new QLabel(&window))
{
    banner_->setObjectName(QStringLiteral("lbAlarmRings"));
    banner_->setAccessibleName(tr("Alarm ringing"));
    banner_->setAccessibleDescription(tr("Click it or press Esc to stop the alarm"));
    banner_->setAlignment(Qt::AlignCenter);
    banner_->setWordWrap(true);
    banner_->setAutoFillBackground(true);
    QPalette palette = banner_->palette();
    palette.setColor(QPalette::Window, QColor(200, 0, 0));
    palette.setColor(QPalette::WindowText, Qt::white);
    banner_->setPalette(palette);
    banner_->hide();

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
    // Where the words must wrap, "click or Esc" stays together on the second line.
    const QString time = QString::fromStdString(AlarmClock::ClockText(alarm_.Second()));
    banner_->setText(tr("Alarm %1 — click\u00A0or\u00A0Esc").arg(time));
    PlaceBanner();
    banner_->show();
    banner_->raise();
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
    banner_->hide();
}

void AlarmBell::PlaceBanner()
{
    const QRect area = readout_.geometry();
    banner_->setGeometry(area);
    QFont font = banner_->font();
    font.setBold(true);
    const QRect inside = area.adjusted(2, 1, -2, -1);
    for (int pixels = std::max(1, area.height() / 2); pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(inside, Qt::AlignCenter | Qt::TextWordWrap, banner_->text());
        if (inside.contains(needed)) break;
    }
    banner_->setFont(font);
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
        heard = widget == &window_ || widget == &button_ || widget == banner_;
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (widget == &readout_) PlaceBanner();  // the window zoomed
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
