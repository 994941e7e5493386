#include "ui/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

#include "core/windowlayout.h"
#include "ui/barrierport.h"
#include "ui/buttonglyphs.h"
#include "ui/colorbutton.h"
#include "ui/help.h"
#include "ui/infodialog.h"
#include "ui/led.h"
#include "ui/mainmenus.h"
#include "ui/monthcalendar.h"
#include "ui/ovalbutton.h"
#include "ui/protocolwindow.h"
#include "ui/readout.h"
#include "ui/readoutglyphs.h"
#include "ui/windowregion.h"

namespace chronivel {

Tfrm_Tickmor::Tfrm_Tickmor(ChronivelApp& app, const SerialPorts& serialPorts, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      app_(app),
      clock_(app_.Clock()),
      face_(*this, *this),
      drag_(*this),
      sounds_(this)
{
    setObjectName(QStringLiteral("frm_Tickmor"));
    reportError = [this](const QString& message) {
        QMessageBox::critical(this, Title(), message);
    };
    app_.reportError = [this](const std::string& message) { reportError(QString::fromStdString(message)); };
    app_.reportInfo = [this](const std::string& message) {
        QMessageBox::information(this, Title(), QString::fromStdString(message));
    };
    app_.AddView(*this);
    face_.lbl_Tickmor->timeText = [this] { return QString::fromStdString(clock_.CurrentTimeText()); };
    menus_ = new MainMenus(this);
    barriers_ = new BarrierPort(app_, *menus_, serialPorts, this);
    ConnectCommands();
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(DisplayTickIntervalMs(3));
    connect(&Timer1, &QTimer::timeout, this, [this] { clock_.DisplayTick(); });
    TimerLock.setSingleShot(true);
    connect(&TimerLock, &QTimer::timeout, this, [this] { clock_.LockExpired(); });
}

Tfrm_Tickmor::~Tfrm_Tickmor()
{
    app_.RemoveView(*this);
}

void Tfrm_Tickmor::ConnectCommands()
{
    MainMenus& m = *menus_;
    const auto on = [this](QAction* action, auto command) { connect(action, &QAction::triggered, this, command); };
    on(m.ChronivelHelp1, [this] { ChronivelHelp1Click(); });
    on(m.Help2, [this] { ChronivelHelp1Click(); });
    on(m.About1, [this] { About1Click(); });
    on(m.About2, [this] { About1Click(); });
    TMonthCalendar* calendar = face_.MonthCalendar1;
    connect(m.Calendar1, &QAction::triggered, calendar, &TMonthCalendar::Open);
    connect(m.Calendar2, &QAction::triggered, calendar, &TMonthCalendar::Toggle);
    connect(m.mCloseCal, &QAction::triggered, calendar, &TMonthCalendar::Close);
    connect(calendar, &TMonthCalendar::opened, m.Calendar1, &QAction::setChecked);
    on(m.Sound1, [this] { clock_.ToggleSound(); });
    on(m.mSound, [this] { clock_.ToggleSound(); });
    connect(face_.sbSound, &TOvalButton::clicked, this, [this] { clock_.ToggleSound(); });
    on(m.Protocol1, [this] { Protocol1Click(); });
    on(m.mProtocol, [this] { Protocol1Click(); });
    on(m.Notepad1, [this] { Notepad1Click(); });
    on(m.mNotepad, [this] { Notepad1Click(); });
    on(m.cmd_Reset, [this] { clock_.ResetRun(); });
    on(m.mReset, [this] { clock_.ResetRun(); });
    on(m.mHoursOn, [this] { clock_.ToggleHours(); });
    for (int format = 0; format < 6; ++format) on(m.Formats[format], [this, format] { clock_.SelectFormat(format); });
    for (int zoom = 0; zoom < ZoomSteps; ++zoom) on(m.Zooms[zoom], [this, zoom] { ZoomClick(zoom); });
    on(m.ZoomMain, [this] { ZoomMainClick(); });
    on(m.BestShow1, [this] { clock_.ToggleBestTimeShown(); });
    for (QAction* clear : {m.BestReset1, m.BestNum1, m.BestNum2, m.Best2}) on(clear, [this] { clock_.ClearBestTime(); });
    on(m.Exit1, [this] { Exit1Click(); });
    on(m.mSSR, [this] { clock_.StartStopReset(); });
    on(m.START1, [this] { clock_.StartStopReset(); });
    on(m.mLAP, [this] { clock_.TakeLap(); });
    on(m.LAP21, [this] { clock_.TakeLap(); });
    on(m.Lock1, [this] { clock_.ToggleLockLed(); });
    on(m.mMMenu, [this] { MMenuClick(); });
    on(m.mHide, [this] { smMinimizeClick(); });
    connect(m.PopupMenu1, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });

    // The configuration dialog, the alarm clock and the second monitor come
    // later; their entries are there but do nothing yet.
    for (QAction* later : {m.Configuration1, m.mCFG, m.AlarmClock2, m.mAlarmClock, m.mTV})
        later->setEnabled(false);

    // The buttons act on pressing, not on release: the moment counts.
    connect(face_.cmd_StartStop, &TBitBtnWithColor::mouseDown, this, [this] { clock_.StartStopReset(); });
    connect(face_.bPause, &TBitBtnWithColor::mouseDown, this, [this] { clock_.TogglePause(); });
    connect(face_.cmd_LAP, &TBitBtnWithColor::mouseDown, this, [this] { menus_->mLAP->trigger(); });
    connect(face_.Led_CountDown, &TLed::clicked, this, [this] { clock_.ToggleCountDown(); });
    connect(face_.MMenu, &TOvalButton::clicked, this, [this] { MMenuClick(); });
    connect(face_.smMinimize, &TOvalButton::clicked, this, [this] { smMinimizeClick(); });
}

void Tfrm_Tickmor::FormCreate(const StartUp& startUp)
{
    title_ = startUp.title;
    setWindowTitle(title_);
    clock_.Format().SetDigitCount(startUp.commandLine.digitCount);
    roundPercent_ = ClampRoundPercent(startUp.commandLine.roundPercent);
    face_.Image1->SetRoundPercent(roundPercent_);

    const QString problem = QString::fromStdString(app_.Load(startUp.defaultProtocolPath));
    const Settings& s = app_.Kept();
    if (s.left && s.top) move(*s.left, *s.top);
    if (app_.StoreExisted()) {
        // A picture that cannot be read leaves the face as it was; why goes to the log.
        const QString faceProblem = face_.Image1->ApplyFace(static_cast<std::uint32_t>(s.color), QString::fromStdString(s.fon));
        if (!faceProblem.isEmpty()) qWarning("%s", qPrintable(faceProblem));
    }
    Timer1.setInterval(DisplayTickIntervalMs(clock_.Format().DecimalPlaces()));
    LayoutWindow();
    face_.ShowDate();
    clock_.ShowTime(0);
    sounds_.PlayStartup();  // whatever the sound setting: the program is there
    app_.Resume();
    Changed();
    if (!problem.isEmpty()) reportError(problem);
}

void Tfrm_Tickmor::Shutdown()
{
    app_.Shutdown();
}

void Tfrm_Tickmor::AttachProtocolWindow(ProtocolWindow* protocol)
{
    protocol_ = protocol;
    protocol->SetPath(ProtocolPath());
    app_.AddView(*protocol);
    connect(protocol, &QObject::destroyed, this, [this, view = static_cast<AppView*>(protocol)] { app_.RemoveView(*view); });
    // Keys the editor needs for itself: Ctrl+C copies there.
    connect(protocol, &ProtocolWindow::activated, this, [this] {
        menus_->About2->setEnabled(false);
        menus_->mCFG->setEnabled(false);
    });
    connect(protocol, &ProtocolWindow::deactivated, this, [this] { menus_->About2->setEnabled(true); });
}

void Tfrm_Tickmor::AttachInfoDialog(InfoDialog* info)
{
    info_ = info;
}

void Tfrm_Tickmor::TimeShown(std::uint32_t changedDigits)
{
    face_.lbl_Tickmor->Show(clock_.Digits(), changedDigits);
}

void Tfrm_Tickmor::Changed()
{
    const Chronometer& c = clock_;
    face_.cmd_StartStop->setText(QString::fromLatin1(Caption(c.State())));
    face_.cmd_StartStop->SetColor(ColorFromBgr(Colour(c.State())));
    face_.bPause->setVisible(c.PauseVisible());
    face_.bPause->setToolTip(QString::fromLatin1(c.PauseHint()));
    face_.cmd_LAP->setEnabled(c.LapEnabled());
    menus_->mLAP->setEnabled(c.LapEnabled());
    menus_->LAP21->setEnabled(c.LapEnabled());

    face_.Led_CountDown->SetValue(c.CountDown());
    face_.Led_CountDown->setCursor(c.CountDownLedHandCursor() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    face_.Led_CountDown->setToolTip(QString::fromStdString(c.CountDownLedHint()));
    face_.Ledlock->SetValue(c.LockLedLit());
    face_.Ledlock->setVisible(app_.BarriersConnected());
    barriers_->ShowMarks();

    const bool best = c.Best().Visible();
    face_.lbl_Leader->setText(QString::fromStdString(c.Best().Caption()));
    for (QWidget* label : {static_cast<QWidget*>(face_.lbl_Leader), static_cast<QWidget*>(face_.LabelBest1),
                           static_cast<QWidget*>(face_.LabelBest2)})
        label->setVisible(best);

    ShowLapList();
    ShowMenuMarks();
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
    if (face_.cmb_Zwischenzeit->count() > static_cast<int>(lines.size())) face_.cmb_Zwischenzeit->clear();
    const std::size_t listed = face_.cmb_Zwischenzeit->count();
    for (std::size_t i = listed; i < lines.size(); ++i)
        face_.cmb_Zwischenzeit->addItem(QString::fromStdString(lines[i]));
    // A lap, a pause or the stop is worth hearing; the run's first line is its start.
    if (lines.size() > listed && lines.size() > 1) face_.lbl_Tickmor->Announce(QString::fromStdString(lines.back()));
    face_.cmb_Zwischenzeit->setCurrentIndex(list.Selected());
    face_.cmb_Zwischenzeit->setVisible(list.Visible());
}

void Tfrm_Tickmor::ShowMenuMarks()
{
    const Chronometer& c = clock_;
    MainMenus& m = *menus_;
    m.Sound1->setChecked(c.Sound());
    m.BestShow1->setChecked(c.Best().Visible());
    m.BestReset1->setEnabled(c.Best().Visible());
    m.mHoursOn->setChecked(c.Format().HoursOn());
    m.Formats[c.Format().Format()]->setChecked(true);
    m.Zooms[app_.Zoom()]->setChecked(true);
}

void Tfrm_Tickmor::RunTimers()
{
    if (clock_.DisplayTimerOn() != Timer1.isActive()) clock_.DisplayTimerOn() ? Timer1.start() : Timer1.stop();
    if (clock_.LockTimerOn() != TimerLock.isActive())
        clock_.LockTimerOn() ? TimerLock.start(clock_.LockIntervalMs()) : TimerLock.stop();
}

void Tfrm_Tickmor::LayoutWindow()
{
    const TimeFormat& f = clock_.Format();
    laidOut_ = {app_.Zoom(), f.Format(), f.HoursOn()};
    const WindowLayout l = chronivel::LayoutWindow(app_.Zoom(), f.Format(), f.DecimalPlaces(), f.HoursOn());
    setFixedSize(l.side, l.side);
    setMask(WindowRegion(l.side, l.side, roundPercent_));
    face_.Place(l, app_.AlarmArmed());
    ShowButtonGlyphs();
}

void Tfrm_Tickmor::ShowButtonGlyphs()
{
    const int a = app_.Zoom() + 1;
    const QSize pauseSize(PauseGlyphSize.width() * a, PauseGlyphSize.height() * a);
    const qreal ratio = devicePixelRatioF();
    face_.bPause->SetGlyph(clock_.Paused() ? PlayGlyph(pauseSize, ratio) : PauseGlyph(pauseSize, ratio));
    face_.sbSound->SetGlyph(SpeakerGlyph(clock_.Sound(), face_.sbSound->size(), ratio));
}

QString Tfrm_Tickmor::Title() const
{
    return title_.isEmpty() ? QCoreApplication::applicationName() : title_;
}

void Tfrm_Tickmor::ZoomClick(int zoom)
{
    // The window stays mapped while it grows: hidden, it would lose its
    // always-on-top state to the window manager and, without one, the focus.
    app_.SetZoom(zoom);
    const QRect free = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const Box placed = CentredWindow({free.left(), free.top(), free.width(), free.height()}, width());
    move(placed.left, placed.top);
}

void Tfrm_Tickmor::ZoomMainClick()
{
    menus_->Zooms[(app_.Zoom() + 1) % ZoomSteps]->trigger();
}

void Tfrm_Tickmor::Calendar1Click()
{
    face_.MonthCalendar1->Toggle();
}

void Tfrm_Tickmor::MMenuClick()
{
    menus_->PopupMenu1->popup(mapToGlobal(QPoint(face_.MMenu->x() - 62, face_.MMenu->geometry().bottom() + 1)));
}

void Tfrm_Tickmor::PopupMenu1Popup()
{
    menus_->Protocol1->setEnabled(QFile::exists(ProtocolPath()));
    menus_->ListMonitors();
}

void Tfrm_Tickmor::smMinimizeClick()
{
    showMinimized();
}

void Tfrm_Tickmor::ChronivelHelp1Click()
{
    const QString problem = OpenManual(QCoreApplication::applicationDirPath());
    if (!problem.isEmpty()) reportError(problem);
}

void Tfrm_Tickmor::About1Click()
{
    if (info_) info_->exec();
}

void Tfrm_Tickmor::Protocol1Click()
{
    if (protocol_) protocol_->Toggle();
}

void Tfrm_Tickmor::Notepad1Click()
{
    const QString problem = OpenInTextEditor(ProtocolPath());
    if (!problem.isEmpty()) reportError(problem);
}

void Tfrm_Tickmor::WarningBeep()
{
    QApplication::beep();
}

void Tfrm_Tickmor::RestoreApplication()
{
    if (isMinimized()) showNormal();
}

void Tfrm_Tickmor::moveEvent(QMoveEvent* event)
{
    app_.WindowMoved(x(), y());
    QWidget::moveEvent(event);
}

void Tfrm_Tickmor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Pause) {
        clock_.TogglePause();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tfrm_Tickmor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) menus_->FollowActivation(isActiveWindow());
    if (event->type() == QEvent::EnabledChange) app_.SetWindowEnabled(isEnabled());
    QWidget::changeEvent(event);
}

bool Tfrm_Tickmor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == face_.PanelDate) {
            Calendar1Click();
            return true;
        }
        if (watched == face_.LabelSC) {
            clock_.ToggleCountDown();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == face_.lbl_Leader) {
        clock_.ClearBestTime();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chronivel
