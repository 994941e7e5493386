// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <limits>

#include "core/windowlayout.h"
#include "core/windowplace.h"
#include "ui/abovemainwindow.h"
#include "ui/alarmbell.h"
#include "ui/alarmdialog.h"
#include "ui/barrierport.h"
#include "ui/messagebox.h"
#include "ui/buttonglyphs.h"
#include "ui/colorbutton.h"
#include "ui/commandactions.h"
#include "ui/configdialog.h"
#include "ui/faceplacing.h"
#include "ui/foreground.h"
#include "ui/help.h"
#include "ui/infodialog.h"
#include "ui/led.h"
#include "ui/livecard.h"
#include "ui/liveview.h"
#include "ui/mainmenus.h"
#include "ui/monitorwatch.h"
#include "ui/monthcalendar.h"
#include "ui/noticeline.h"
#include "ui/ovalbutton.h"
#include "ui/protocolwindow.h"
#include "ui/readout.h"
#include "ui/readoutglyphs.h"
#include "ui/windowregion.h"

namespace chronivel {

namespace {

Box BoxOf(const QRect& r)
{
    return {r.left(), r.top(), r.width(), r.height()};
}

// The free area of the screen that holds most of `window`; the primary
// screen's where none holds any of it (its screen went away).
Box FreeAreaFor(const QRect& window)
{
    const QScreen* chosen = QGuiApplication::primaryScreen();
    qint64 most = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(window);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > most) {
            most = area;
            chosen = screen;
        }
    }
    return chosen ? BoxOf(chosen->availableGeometry()) : BoxOf(window);
}

}  // namespace

Tfrm_Tickmor::Tfrm_Tickmor(ChronivelApp& app, const SerialPorts& serialPorts, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      app_(app),
      clock_(app_.Clock()),
      face_(*this, *this),
      drag_(*this),
      sounds_(this)
{
    setObjectName(QStringLiteral("frm_Tickmor"));
    // A Wayland surface is not cut by a mask: there the corners outside the face are left clear.
    if (OnWayland()) setAttribute(Qt::WA_TranslucentBackground);
    reportError = [this](const QString& message) { ShowMessage(this, QMessageBox::Critical, message); };
    app_.AddView(*this);
    face_.readout->timeText = [this] { return QString::fromStdString(clock_.CurrentTimeText()); };
    commands_ = new CommandActions(app_, *this, moments_);
    menus_ = new MainMenus(this, *commands_);
    barriers_ = new BarrierPort(app_, *menus_, serialPorts, this);
    barriers_->reportChoiceFailed = [this](const QString& problem) { reportError(problem); };
    foreground_ = new Foreground(*this, face_, app_);
    notice_ = new NoticeLine(app_, *this);
    bell_ = new AlarmBell(*this, *this, *face_.alarmButton, *face_.readout, app_.Alarm());
    bell_->acknowledge = [this] { app_.AcknowledgeAlarm(); };
    app_.AddView(*bell_);
    ConnectCommands();
    connect(&sounds_, &EventSounds::noOutputDevice, this, [this] {
        app_.Tell({NoticeTopic::Sound, Notice::Kind::News, "No sound device",
                   "No sound output device found: the program's sounds are not heard. The countdown's "
                   "warning still shows on the readout."});
    });
    displayTimer_.setTimerType(Qt::PreciseTimer);
    connect(&displayTimer_, &QTimer::timeout, this, [this] { app_.DisplayTick(); });
    countDownTimer_.setParent(this);  // found by its name, as the window's other parts are
    countDownTimer_.setObjectName(QStringLiteral("countDownTimer"));
    countDownTimer_.setTimerType(Qt::PreciseTimer);
    countDownTimer_.setSingleShot(true);
    connect(&countDownTimer_, &QTimer::timeout, this, [this] {
        app_.DisplayTick();
        RunTimers();  // the end after the warning, or again if this came before the time source's moment
    });
    lockTimer_.setSingleShot(true);
    connect(&lockTimer_, &QTimer::timeout, this, [this] { app_.LockExpired(); });
}

Tfrm_Tickmor::~Tfrm_Tickmor()
{
    delete config_;  // a window of its own, without an owner
    app_.RemoveView(*bell_);
    app_.RemoveView(*this);
}

void Tfrm_Tickmor::ConnectCommands()
{
    connect(menus_->contextMenu, &QMenu::aboutToShow, this, [this] {
        commands_->Refresh();  // the protocol file may have come or gone since
        menus_->ListMonitors(app_.SecondMonitor());
    });
    connect(menus_, &MainMenus::monitorChosen, this, [this](int index) { app_.SelectMonitor(index); });
    new MonitorWatch([this] {
        app_.MonitorsChanged(ScreenSizes());
        KeepOnScreen();  // a screen that went away may have taken the window's place with it
    }, this);

    // The buttons act on pressing, not on release: the moment counts.
    const std::pair<TBitBtnWithColor*, Command> pressing[] = {
        {face_.startStopButton, Command::StartStopReset}, {face_.pauseButton, Command::Pause},
        {face_.lapButton, Command::Lap}};
    for (const auto& [button, command] : pressing) {
        connect(button, &TBitBtnWithColor::mouseDown, this,
                [this, command] { app_.Perform(command, moments_.PressAt()); });
        connect(button, &TBitBtnWithColor::pressedWithoutMouse, this, [this, command] { app_.Perform(command); });
    }
    connect(face_.countDownLed, &TLed::clicked, this, [this] { app_.Perform(Command::CountDownMode); });
    connect(face_.soundButton, &TOvalButton::clicked, this, [this] { app_.Perform(Command::Sound); });
    connect(face_.menuButton, &TOvalButton::clicked, this, [this] { app_.Perform(Command::MainMenu); });
    connect(face_.minimizeButton, &TOvalButton::clicked, this, [this] { app_.Perform(Command::Minimize); });
    connect(face_.alarmButton, &QToolButton::clicked, this, [this] { app_.Perform(Command::AlarmClock); });
}

bool Tfrm_Tickmor::Perform(Command command)
{
    if (config_ && config_->Sliding()) {
        // Moving or hiding the window now would fight the slide.
        if (std::find(afterSlide_.begin(), afterSlide_.end(), command) == afterSlide_.end())
            afterSlide_.push_back(command);
        return true;
    }
    switch (command) {
    case Command::Configuration: ConfigDialog().Open(); return true;
    case Command::Help:
        if (const QString problem = OpenManual(QCoreApplication::applicationDirPath()); !problem.isEmpty())
            reportError(problem);
        return true;
    case Command::Info:
        if (info_) info_->exec();
        return true;
    case Command::AlarmClock: ShowAlarmDialog(); return true;
    case Command::LiveView: ShowLiveCard(); return true;
    case Command::Calendar: Calendar().Toggle(); return true;
    case Command::CloseCalendar:
        if (face_.calendar) face_.calendar->Close();
        return true;
    case Command::ProtocolWindow:
    case Command::ProtocolWindowFromMenu:
        if (protocol_) protocol_->Toggle();
        return true;
    case Command::TextEditor:
        if (const QString problem = OpenInTextEditor(ProtocolPath()); !problem.isEmpty()) reportError(problem);
        return true;
    case Command::NextZoom: Zoom(NextFittingZoom(app_.Zoom(), FreeAreaFor(geometry()))); return true;
    case Command::MainMenu: ShowMainMenu(); return true;
    case Command::Hide:
    case Command::Minimize: showMinimized(); return true;
    case Command::Exit: close(); return true;
    default:
        if (command < Command::Zoom1 || command > Command::Zoom5) return false;
        Zoom(static_cast<int>(command) - static_cast<int>(Command::Zoom1));
        return true;
    }
}

void Tfrm_Tickmor::Start(const StartUp& startUp)
{
    setWindowTitle(startUp.title);
    roundPercent_ = ClampRoundPercent(startUp.commandLine.roundPercent);
    face_.dial->SetRoundPercent(roundPercent_);

    const std::string problem = app_.Load(startUp.defaultProtocolPath, startUp.commandLine.digitCount);
    app_.StartMonitors(ScreenSizes());
    const Settings& s = app_.Kept();
    if (s.left && s.top) move(*s.left, *s.top);
    if (app_.Saves().StoreExisted()) {  // a first start keeps the built-in looks
        faceShown_.reset();
        ApplyFace();
    }
    LayoutWindow();
    KeepOnScreen();  // a place saved on a screen that is gone, or at another scale
    face_.ShowDate();
    sounds_.PlayStartup();  // whatever the sound setting: the program is there
    app_.Resume();
    Changed();
    if (!problem.empty()) app_.Tell({NoticeTopic::Start, Notice::Kind::News, "Settings damaged", problem});
    if (OnWayland())
        app_.Tell({NoticeTopic::WindowSystem, Notice::Kind::News, "Wayland limits",
                   "Wayland lets no program keep its window on top of the others, put it back at its remembered "
                   "place or make it see-through in the background. Under XWayland it does all of these: start it with "
                   "QT_QPA_PLATFORM=xcb " + startUp.title.toStdString() + "."});
}

void Tfrm_Tickmor::AttachProtocolWindow(ProtocolWindow* protocol)
{
    protocol_ = protocol;
    protocol->SetPathSource([this] { return ProtocolPath(); });
    foreground_->SetProtocolWindow(protocol);
    app_.AddView(*protocol);
    connect(protocol, &QObject::destroyed, this, [this, view = static_cast<AppView*>(protocol)] { app_.RemoveView(*view); });
    // Keys the editor needs for itself: Ctrl+C copies there.
    connect(protocol, &ProtocolWindow::activated, this, [this] { commands_->YieldKeysToEditor(true); });
    connect(protocol, &ProtocolWindow::deactivated, this, [this] { commands_->YieldKeysToEditor(false); });
}

void Tfrm_Tickmor::AttachInfoDialog(InfoDialog* info)
{
    info_ = info;
}

QString Tfrm_Tickmor::DateText() const
{
    return face_.dateLabel->text();
}

void Tfrm_Tickmor::TimeShown(std::int64_t, std::uint32_t changedDigits)
{
    face_.readout->Show(clock_.Digits(), changedDigits, clock_.WarningFlashLit());
}

void Tfrm_Tickmor::Changed()
{
    const Chronometer& c = clock_;
    face_.readout->SetWarning(c.WarningFlashLit());
    face_.startStopButton->setText(QString::fromLatin1(Caption(c.State())));
    face_.startStopButton->SetColor(ColorFromBgr(Colour(c.State())));
    face_.pauseButton->setVisible(app_.PauseShown());
    face_.pauseButton->setEnabled(app_.Enabled(Command::Pause));
    face_.pauseButton->setToolTip(QString::fromLatin1(c.PauseHint()));
    face_.lapButton->setEnabled(app_.Enabled(Command::Lap));
    face_.soundButton->SetChecked(c.Sound());

    face_.countDownLed->SetValue(c.CountDown());
    face_.countDownLed->setCursor(c.CountDownLedHandCursor() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // The label beside the LED switches the mode too.
    for (QWidget* modeSwitch : {static_cast<QWidget*>(face_.countDownLed), static_cast<QWidget*>(face_.modeLabel)})
        modeSwitch->setToolTip(QString::fromStdString(c.CountDownLedHint()));
    face_.lockLed->SetValue(c.LockLedLit());
    face_.lockLed->setVisible(app_.BarriersConnected());

    const bool best = c.Best().Visible();
    face_.bestTimeLabel->setText(QString::fromStdString(c.Best().Caption()));
    for (QWidget* label : {static_cast<QWidget*>(face_.bestTimeLabel), static_cast<QWidget*>(face_.bestCaptionShadow),
                           static_cast<QWidget*>(face_.bestCaption)})
        label->setVisible(best);

    ShowLapList();
    // The pause's line comes only as the run continues; that it began is worth hearing now.
    if (c.Paused() && !pauseAnnounced_) face_.readout->Announce(tr("Paused"));
    pauseAnnounced_ = c.Paused();
    ApplyFace();
    commands_->Refresh();
    const TimeFormat& f = c.Format();
    if (!(laidOut_ == Shape{app_.Zoom(), f.Format(), f.HoursOn()}))
        LayoutWindow();  // draws the button glyphs at the new size too
    else
        ShowButtonGlyphs();
    RunTimers();
}

void Tfrm_Tickmor::ShowLapList()
{
    const LapList& list = clock_.Lines();
    const auto& lines = list.Lines();
    // Lines are only ever added, or all cleared: add what is new.
    if (face_.lapList->count() > static_cast<int>(lines.size())) face_.lapList->clear();
    const std::size_t listed = face_.lapList->count();
    for (std::size_t i = listed; i < lines.size(); ++i)
        face_.lapList->addItem(QString::fromStdString(lines[i]));
    // A lap, a pause or the stop is worth hearing; the run's first line is its start.
    if (lines.size() > listed && lines.size() > 1) face_.readout->Announce(QString::fromStdString(lines.back()));
    face_.lapList->setCurrentIndex(list.Selected());
    face_.lapList->setVisible(list.Visible());
}

void Tfrm_Tickmor::RunTimers()
{
    // At the pace of the screen the window is on now; a new pace restarts the timer.
    const int tick = DisplayTickIntervalMs(clock_.Format().DecimalPlaces(), FrameMs(*this));
    if (displayTimer_.interval() != tick) displayTimer_.setInterval(tick);
    if (clock_.DisplayTimerOn() != displayTimer_.isActive()) clock_.DisplayTimerOn() ? displayTimer_.start() : displayTimer_.stop();
    if (const std::optional<std::int64_t> due = clock_.CountDownDueInMs())
        countDownTimer_.start(static_cast<int>(std::min<std::int64_t>(*due, std::numeric_limits<int>::max())));
    else
        countDownTimer_.stop();
    if (clock_.LockTimerOn() != lockTimer_.isActive())
        clock_.LockTimerOn() ? lockTimer_.start(clock_.LockIntervalMs()) : lockTimer_.stop();
}

void Tfrm_Tickmor::LayoutWindow()
{
    const TimeFormat& f = clock_.Format();
    laidOut_ = {app_.Zoom(), f.Format(), f.HoursOn()};
    const WindowLayout l = chronivel::LayoutWindow(app_.Zoom(), f.Format(), f.DecimalPlaces(), f.HoursOn());
    setFixedSize(l.side, l.side);
    face_.Place(l);
    ShapeWindow();
    PlaceAt(notice_, l.panelDate);
    notice_->setFont(FaceFont(QStringLiteral("Arial"), l.dateFontPt * 2 / 3));
    ShowButtonGlyphs();
    if (config_) config_->LayoutConfig();
}

void Tfrm_Tickmor::ShapeWindow()
{
    const QSize side = minimumSize();  // fixed by the layout, before the window system resizes it
    QRegion shape = WindowRegion(side.width(), side.height(), roundPercent_);
    // The open calendar's corners reach past the round face: it shows whole.
    if (face_.calendar && face_.calendar->isVisibleTo(this)) shape += face_.calendar->geometry();
    setMask(shape);
}

void Tfrm_Tickmor::ApplyFace()
{
    const Settings& s = app_.Kept();
    const FaceShown wanted{s.color, s.pictureFile};
    if (faceShown_ == wanted) return;
    faceShown_ = wanted;
    // A picture that cannot be read leaves the face as it was.
    const QString problem = face_.dial->ApplyFace(static_cast<std::uint32_t>(s.color), QString::fromStdString(s.pictureFile));
    if (!problem.isEmpty()) qWarning("Cannot show the picture \"%s\" on the face: %s", s.pictureFile.c_str(), qPrintable(problem));
}

void Tfrm_Tickmor::ShowButtonGlyphs()
{
    const int a = app_.Zoom() + 1;
    const QSize pauseSize(PauseGlyphSize.width() * a, PauseGlyphSize.height() * a);
    const qreal ratio = devicePixelRatioF();
    face_.pauseButton->SetGlyph(clock_.Paused() ? PlayGlyph(pauseSize, ratio) : PauseGlyph(pauseSize, ratio));
    face_.soundButton->SetGlyph(SpeakerGlyph(clock_.Sound(), face_.soundButton->size(), ratio));
    // Ringing, it is still the alarm clock's moment: not the grey of no alarm.
    const AlarmClock& alarm = app_.Alarm();
    face_.alarmButton->setIcon(AlarmClockGlyph(alarm.Armed() || alarm.Ringing(), face_.alarmButton->iconSize(), ratio));
}

void Tfrm_Tickmor::Zoom(int zoom)
{
    // The window stays mapped while it grows: hidden, it would lose its
    // always-on-top state to the window manager and, without one, the focus.
    const Box free = FreeAreaFor(geometry());
    app_.SetZoom(FittingZoom(zoom, free));  // a size larger than the screen would cut the window
    const Box placed = CentredWindow(free, width());
    move(placed.left, placed.top);
}

void Tfrm_Tickmor::KeepOnScreen()
{
    const Box free = FreeAreaFor(geometry());
    if (const int zoom = FittingZoom(app_.Zoom(), free); zoom != app_.Zoom()) app_.SetZoom(zoom);
    const Box inside = KeptInside(BoxOf(geometry()), free);
    if (inside.left != x() || inside.top != y()) move(inside.left, inside.top);
}

void Tfrm_Tickmor::ShowMainMenu()
{
    menus_->contextMenu->popup(mapToGlobal(QPoint(face_.menuButton->x() - 62, face_.menuButton->geometry().bottom() + 1)));
}

void Tfrm_Tickmor::ShowAlarmDialog()
{
    if (!alarm_) {
        alarm_ = new TFormBud(app_, this);
        KeepAboveMainWindow(*alarm_);
    }
    alarm_->exec();
}

void Tfrm_Tickmor::AttachLiveView(LiveView* live)
{
    live_ = live;
}

void Tfrm_Tickmor::ShowLiveCard()
{
    if (!live_) return;
    if (!liveCard_) liveCard_ = new LiveCard(app_, *live_, this);
    liveCard_->show();
    liveCard_->raise();
    liveCard_->activateWindow();
}

TMonthCalendar& Tfrm_Tickmor::Calendar()
{
    if (!face_.calendar) {
        connect(&face_.Calendar(), &TMonthCalendar::opened, commands_->Action(Command::Calendar), &QAction::setChecked);
        connect(face_.calendar, &TMonthCalendar::opened, this, &Tfrm_Tickmor::ShapeWindow);
    }
    return *face_.calendar;
}

TFormConfig& Tfrm_Tickmor::ConfigDialog()
{
    if (!config_) {
        config_ = new TFormConfig(app_, *this, *face_.dial, *face_.seeThrough, roundPercent_);
        foreground_->SetConfigDialog(config_);
        connect(config_, &TFormConfig::slideEnded, this, [this] {
            for (const Command command : std::exchange(afterSlide_, {})) app_.Perform(command);
        });
    }
    return *config_;
}

void Tfrm_Tickmor::moveEvent(QMoveEvent* event)
{
    // Out of the configuration dialog's way is not where the user put the window.
    if (!config_ || !config_->isVisible()) app_.WindowMoved(x(), y());
    QWidget::moveEvent(event);
}

void Tfrm_Tickmor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        isActiveWindow() ? foreground_->WindowActivated() : foreground_->WindowDeactivated();
    if (event->type() == QEvent::WindowStateChange &&
        (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized) && !isMinimized())
        foreground_->Restored();
    QWidget::changeEvent(event);
}

bool Tfrm_Tickmor::eventFilter(QObject* watched, QEvent* event)
{
    // The date and the mode label are clicked, the best time double-clicked.
    const struct { QObject* label; QEvent::Type type; Command command; } inputs[] = {
        {face_.dateLabel, QEvent::MouseButtonPress, Command::Calendar},
        {face_.modeLabel, QEvent::MouseButtonPress, Command::CountDownMode},
        {face_.bestTimeLabel, QEvent::MouseButtonDblClick, Command::ClearShownBestTime}};
    for (const auto& input : inputs)
        if (watched == input.label && event->type() == input.type) {
            app_.Perform(input.command);
            return true;
        }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chronivel
