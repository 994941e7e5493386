#include "ui/trialwindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace chronivel {

TrialWindow::TrialWindow(THighResTimer& timer, const LocaleTexts& locale, QWidget* parent)
    : QWidget(parent),
      chronometer_(timer, locale, *this),
      readout_(new QLabel(this)),
      state_(new QLabel(this)),
      laps_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Chronivel"));
    readout_->setObjectName(QStringLiteral("lbl_Tickmor"));
    state_->setObjectName(QStringLiteral("cmd_StartStop"));
    laps_->setObjectName(QStringLiteral("cmb_Zwischenzeit"));
    laps_->setFocusPolicy(Qt::NoFocus);
    laps_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));  // lap columns line up

    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSize(28);
    readout_->setFont(digits);
    readout_->setAlignment(Qt::AlignCenter);
    state_->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(readout_);
    layout->addWidget(state_);
    layout->addWidget(laps_, 1);
    layout->addStretch();  // takes the list's room while the list is hidden
    layout->addWidget(new QLabel(tr("Enter: start / stop / reset   Space: lap   Pause: pause   0: reset"), this));

    displayTimer_.setTimerType(Qt::PreciseTimer);
    connect(&displayTimer_, &QTimer::timeout, this, [this] { chronometer_.Timer1Timer(); });
    lockTimer_.setSingleShot(true);
    connect(&lockTimer_, &QTimer::timeout, this, [this] { chronometer_.TimerLockTimer(); });

    chronometer_.ShowTime(0);
    ControlsChanged();
}

void TrialWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: chronometer_.mSSRClick(); break;
    case Qt::Key_Space: chronometer_.mLAPClick(); break;
    case Qt::Key_Pause: chronometer_.bPauseClick(); break;
    case Qt::Key_0: chronometer_.mResetClick(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void TrialWindow::TimeShown(std::int64_t, std::uint32_t changedDigits)
{
    if (changedDigits != 0) readout_->setText(QString::fromStdString(chronometer_.CurrentTimeText()));
}

void TrialWindow::ControlsChanged()
{
    const Chronometer& c = chronometer_;
    QString state = QString::fromUtf8(Caption(c.State()));
    if (c.Paused()) state += QStringLiteral(" (paused)");
    state_->setText(state);
    const std::uint32_t bgr = Colour(c.State());
    state_->setStyleSheet(QStringLiteral("background: rgb(%1,%2,%3)")
                              .arg(bgr & 0xFF).arg((bgr >> 8) & 0xFF).arg((bgr >> 16) & 0xFF));

    const auto& lines = c.Lines().Lines();
    laps_->clear();
    for (const std::string& line : lines) laps_->addItem(QString::fromStdString(line));
    laps_->setCurrentRow(c.Lines().Selected());
    laps_->setVisible(c.Lines().Visible());

    if (c.DisplayTimerOn() != displayTimer_.isActive()) c.DisplayTimerOn() ? displayTimer_.start() : displayTimer_.stop();
    if (c.LockTimerOn() != lockTimer_.isActive())
        c.LockTimerOn() ? lockTimer_.start(c.LockIntervalMs()) : lockTimer_.stop();
    if (controlsChanged) controlsChanged();
}

void TrialWindow::StartUpDone()
{
    sounds_.PlayStartup();
    displayTimer_.setInterval(DisplayTickIntervalMs(chronometer_.Format().DecimalPlaces()));
    ControlsChanged();
}

void TrialWindow::WarningBeep()
{
    QApplication::beep();
}

void TrialWindow::RestoreApplication()
{
    if (isMinimized()) showNormal();
}

}  // namespace chronivel
