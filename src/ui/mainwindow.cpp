#include "ui/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include "core/protocol.h"
#include "core/windowlayout.h"
#include "platform/protocolfile.h"
#include "ui/barrierport.h"
#include "ui/buttonglyphs.h"
#include "ui/colorbutton.h"
#include "ui/controlnames.h"
#include "ui/help.h"
#include "ui/infodialog.h"
#include "ui/led.h"
#include "ui/mainmenus.h"
#include "ui/monthcalendar.h"
#include "ui/ovalbutton.h"
#include "ui/protocolwindow.h"
#include "ui/readout.h"
#include "ui/readoutglyphs.h"
#include "ui/transparentwnd.h"
#include "ui/windowregion.h"

namespace chronivel {

namespace {

// The face was designed at 96 dots per inch; sizes in points keep that
// relation to the window's pixels on every screen.
QFont FaceFont(const QString& family, int points, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(points * 96 / 72);
    font.setBold(bold);
    return font;
}

void Place(QWidget* widget, const chronivel::Box& box)
{
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

void PlaceLabel(QLabel* label, const chronivel::Box& box, const QFont& font)
{
    label->setFont(font);
    label->adjustSize();
    label->move(box.left, box.top);
}

QLabel* FaceLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

}  // namespace

Tfrm_Tickmor::Tfrm_Tickmor(THighResTimer& timer, const LocaleTexts& locale, SettingsStore& store,
                           std::string bootId, SerialPorts& serialPorts, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      timer_(timer),
      clock_(timer, locale, *this),
      keeper_(store, clock_, timer, *this, std::move(bootId)),
      sounds_(this)
{
    setObjectName(QStringLiteral("frm_Tickmor"));
    reportError = [this](const QString& message) {
        QMessageBox::critical(this, Title(), message);
    };
    keeper_.reportError = [this](const QString& message) { reportError(message); };
    CreateControls();
    menus_ = new MainMenus(this);
    barriers_ = new BarrierPort(clock_, keeper_, *menus_, serialPorts, *Ledlock, this);
    barriers_->reportError = [this](const QString& message) { reportError(message); };
    barriers_->reportInfo = [this](const QString& message) {
        QMessageBox::information(this, Title(), message);
    };
    ConnectCommands();
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(DisplayTickIntervalMs(3));
    connect(&Timer1, &QTimer::timeout, this, [this] { clock_.DisplayTick(); });
    TimerLock.setSingleShot(true);
    connect(&TimerLock, &QTimer::timeout, this, [this] { clock_.LockExpired(); });
}

Tfrm_Tickmor::~Tfrm_Tickmor()
{
    delete barriers_;  // the port closes while the lock LED it switches is still there
}

void Tfrm_Tickmor::CreateControls()
{
    Image1 = new TFace(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);  // the window drags
    connect(Image1, &TFace::windowColorChanged, this, [this](const QColor& colour) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, colour);
        setPalette(palette);
    });

    lbl_Tickmor = new Readout(this);

    PanelDate = FaceLabel(this, "PanelDate", QString(), QColor(192, 192, 192));
    PanelDate->setAutoFillBackground(true);
    QPalette black = PanelDate->palette();
    black.setColor(QPalette::Window, Qt::black);
    PanelDate->setPalette(black);
    PanelDate->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelDate->setAlignment(Qt::AlignCenter);
    PanelDate->setToolTip(tr("Show Calendar"));
    PanelDate->setCursor(Qt::PointingHandCursor);
    PanelDate->installEventFilter(this);

    sbBud = new QToolButton(this);
    sbBud->setObjectName(QStringLiteral("sbBud"));
    sbBud->setAutoRaise(true);
    sbBud->setFocusPolicy(Qt::NoFocus);
    sbBud->setToolTip(tr("[Ctrl+A] Alarm clock"));
    sbBud->setEnabled(false);  // the alarm clock is not here yet

    cmd_StartStop = new TBitBtnWithColor(this);
    cmd_StartStop->setObjectName(QStringLiteral("cmd_StartStop"));
    cmd_StartStop->installEventFilter(this);  // lets the Pause key through to the window
    bPause = new TBitBtnWithColor(this);
    bPause->setObjectName(QStringLiteral("bPause"));
    bPause->setFocusPolicy(Qt::NoFocus);
    cmd_LAP = new TBitBtnWithColor(QStringLiteral("LAP"), this);
    cmd_LAP->setObjectName(QStringLiteral("cmd_LAP"));
    cmd_LAP->setFocusPolicy(Qt::NoFocus);

    LabelBest1 = FaceLabel(this, "LabelBest1", tr("Best:"), Qt::black);
    LabelBest2 = FaceLabel(this, "LabelBest2", tr("Best:"), Qt::red);  // over its black shadow
    lbl_Leader = FaceLabel(this, "lbl_Leader", QString(), Qt::black);
    lbl_Leader->installEventFilter(this);

    cmb_Zwischenzeit = new QComboBox(this);
    cmb_Zwischenzeit->setObjectName(QStringLiteral("cmb_Zwischenzeit"));
    cmb_Zwischenzeit->setMaxVisibleItems(10);
    cmb_Zwischenzeit->setToolTip(tr("Current list timing"));
    cmb_Zwischenzeit->installEventFilter(this);
    cmb_Zwischenzeit->hide();

    LabelSC = FaceLabel(this, "LabelSC", QString(), Qt::black);
    LabelSC->installEventFilter(this);
    Led_CountDown = new TLed(this);
    Led_CountDown->setObjectName(QStringLiteral("Led_CountDown"));
    Led_CountDown->SetKind(lkGreen);
    Led_CountDown->SetLabelOnText(QStringLiteral("CountDown"));
    Led_CountDown->SetLabelOffText(QStringLiteral("Chronivel"));
    Led_CountDown->SetLabelLinked(LabelSC);
    LabelSC->setText(QStringLiteral("Chronivel"));
    // The label takes the width of each caption the LED gives it.
    connect(Led_CountDown, &TLed::changed, LabelSC, [this] { LabelSC->adjustSize(); });
    Ledlock = new TLed(this);
    Ledlock->setObjectName(QStringLiteral("Ledlock"));
    Ledlock->SetShape(lsRectangle);
    Ledlock->setToolTip(tr("[F10] Lock STOP LS"));
    Ledlock->hide();  // shows the lock of the light barriers, while their port is open

    // The round buttons are drawn onto the face: only their bevels, glyph
    // and caption show. The small ones stay flat until the pointer is over them.
    sbSound = new TOvalButton(this);
    sbSound->setObjectName(QStringLiteral("sbSound"));
    sbSound->SetTransparent(true);
    sbSound->SetFlat(true);
    sbSound->SetNumGlyphs(1);
    MMenu = new TOvalButton(this);
    MMenu->setObjectName(QStringLiteral("MMenu"));
    MMenu->setToolTip(tr("Main Menu"));
    MMenu->SetTransparent(true);
    smMinimize = new TOvalButton(this);
    smMinimize->setObjectName(QStringLiteral("smMinimize"));
    smMinimize->SetCaption(QStringLiteral("_"));
    smMinimize->setToolTip(tr("Minimize"));
    smMinimize->SetTransparent(true);
    smMinimize->SetFlat(true);

    MonthCalendar1 = new TMonthCalendar(this);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    MonthCalendar1->setToolTip(tr("ESC - close Calendar"));
    MonthCalendar1->hide();

    TransparentWnd1 = new TTransparentWnd(this);
    TransparentWnd1->setObjectName(QStringLiteral("TransparentWnd1"));
    TransparentWnd1->SetPercent(50);
    TransparentWnd1->SetAutoOpaque(true);

    lbl_Tickmor->timeText = [this] { return QString::fromStdString(clock_.CurrentTimeText()); };
    NameControls(*this);

    cmd_StartStop->setFocus();
}

void Tfrm_Tickmor::ConnectCommands()
{
    MainMenus& m = *menus_;
    const auto on = [this](QAction* action, auto command) { connect(action, &QAction::triggered, this, command); };
    on(m.ChronivelHelp1, [this] { ChronivelHelp1Click(); });
    on(m.Help2, [this] { ChronivelHelp1Click(); });
    on(m.About1, [this] { About1Click(); });
    on(m.About2, [this] { About1Click(); });
    connect(m.Calendar1, &QAction::triggered, this, [this](bool checked) { ShowCalendar(checked); });
    on(m.Calendar2, [this] { Calendar1Click(); });
    on(m.mCloseCal, [this] { MonthCalendar1DblClick(); });
    connect(MonthCalendar1, &QCalendarWidget::activated, this, [this] { MonthCalendar1DblClick(); });
    on(m.Sound1, [this] { clock_.ToggleSound(); });
    on(m.mSound, [this] { clock_.ToggleSound(); });
    connect(sbSound, &TOvalButton::clicked, this, [this] { clock_.ToggleSound(); });
    on(m.Protocol1, [this] { Protocol1Click(); });
    on(m.mProtocol, [this] { Protocol1Click(); });
    on(m.Notepad1, [this] { Notepad1Click(); });
    on(m.mNotepad, [this] { Notepad1Click(); });
    on(m.cmd_Reset, [this] { clock_.ResetRun(); });
    on(m.mReset, [this] { clock_.ResetRun(); });
    on(m.mHoursOn, [this] { clock_.ToggleHours(); });
    for (int format = 0; format < 6; ++format) on(m.Formats[format], [this, format] { clock_.SelectFormat(format); });
    for (int zoom = 0; zoom < 5; ++zoom) on(m.Zooms[zoom], [this, zoom] { ZoomClick(zoom); });
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
    connect(cmd_StartStop, &TBitBtnWithColor::mouseDown, this, [this] { clock_.StartStopReset(); });
    connect(bPause, &TBitBtnWithColor::mouseDown, this, [this] { clock_.TogglePause(); });
    connect(cmd_LAP, &TBitBtnWithColor::mouseDown, this, [this] { menus_->mLAP->trigger(); });
    connect(Led_CountDown, &TLed::clicked, this, [this] { clock_.ToggleCountDown(); });
    connect(MMenu, &TOvalButton::clicked, this, [this] { MMenuClick(); });
    connect(smMinimize, &TOvalButton::clicked, this, [this] { smMinimizeClick(); });
}

void Tfrm_Tickmor::FormCreate(const StartUp& startUp)
{
    title_ = startUp.title;
    setWindowTitle(title_);
    timer_.SetUseTSC(false);
    clock_.Format().SetDigitCount(startUp.commandLine.digitCount);
    roundPercent_ = ClampRoundPercent(startUp.commandLine.roundPercent);
    Image1->SetRoundPercent(roundPercent_);

    const QString problem = keeper_.Load(startUp.defaultProtocolPath);
    const Settings& s = keeper_.Kept();
    if (keeper_.StoreExisted()) {
        // A picture that cannot be read leaves the face as it was; why goes to the log.
        const QString faceProblem = Image1->ApplyFace(static_cast<std::uint32_t>(s.color), QString::fromStdString(s.fon));
        if (!faceProblem.isEmpty()) qWarning("%s", qPrintable(faceProblem));
    }
    barriers_->Restore();
    Timer1.setInterval(DisplayTickIntervalMs(clock_.Format().DecimalPlaces()));
    LayoutWindow();
    ShowDate();
    clock_.ShowTime(0);
    sounds_.PlayStartup();  // whatever the sound setting: the program is there
    keeper_.Resume();
    ControlsChanged();
    if (!problem.isEmpty()) reportError(problem);
}

void Tfrm_Tickmor::Shutdown()
{
    keeper_.Save();
    barriers_->Close();
}

void Tfrm_Tickmor::AttachProtocolWindow(ProtocolWindow* protocol)
{
    protocol_ = protocol;
    protocol->SetPath(ProtocolPath());
    keeper_.saveOthers = [this] {
        if (protocol_) protocol_->SaveGeometry();
    };
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

void Tfrm_Tickmor::TimeShown(std::int64_t, std::uint32_t changedDigits)
{
    lbl_Tickmor->Show(clock_.Digits(), changedDigits);
}

void Tfrm_Tickmor::ControlsChanged()
{
    const Chronometer& c = clock_;
    cmd_StartStop->setText(QString::fromLatin1(Caption(c.State())));
    cmd_StartStop->SetColor(ColorFromBgr(Colour(c.State())));
    bPause->setVisible(c.PauseVisible());
    bPause->setToolTip(QString::fromLatin1(c.PauseHint()));
    cmd_LAP->setEnabled(c.LapEnabled());
    menus_->mLAP->setEnabled(c.LapEnabled());
    menus_->LAP21->setEnabled(c.LapEnabled());

    Led_CountDown->SetValue(c.CountDown());
    Led_CountDown->setCursor(c.CountDownLedHandCursor() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    Led_CountDown->setToolTip(QString::fromStdString(c.CountDownLedHint()));
    Ledlock->SetValue(c.LockLedLit());

    const bool best = c.Best().Visible();
    lbl_Leader->setText(QString::fromStdString(c.Best().Caption()));
    for (QWidget* label : {static_cast<QWidget*>(lbl_Leader), static_cast<QWidget*>(LabelBest1),
                           static_cast<QWidget*>(LabelBest2)})
        label->setVisible(best);

    ShowLapList();
    ShowMenuMarks();
    const TimeFormat& f = c.Format();
    if (!(laidOut_ == Shape{Zoom(), f.Format(), f.HoursOn()}))
        LayoutWindow();  // draws the button glyphs at the new size too
    else
        ShowButtonGlyphs();
    RunTimers();
    keeper_.ControlsChanged();
}

void Tfrm_Tickmor::ShowLapList()
{
    const LapList& list = clock_.Lines();
    const auto& lines = list.Lines();
    // Lines are only ever added, or all cleared: add what is new.
    if (cmb_Zwischenzeit->count() > static_cast<int>(lines.size())) cmb_Zwischenzeit->clear();
    const std::size_t listed = cmb_Zwischenzeit->count();
    for (std::size_t i = listed; i < lines.size(); ++i)
        cmb_Zwischenzeit->addItem(QString::fromStdString(lines[i]));
    // A lap, a pause or the stop is worth hearing; the run's first line is its start.
    if (lines.size() > listed && lines.size() > 1) lbl_Tickmor->Announce(QString::fromStdString(lines.back()));
    cmb_Zwischenzeit->setCurrentIndex(list.Selected());
    cmb_Zwischenzeit->setVisible(list.Visible());
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
    m.Zooms[Zoom()]->setChecked(true);
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
    laidOut_ = {Zoom(), f.Format(), f.HoursOn()};
    const WindowLayout l = chronivel::LayoutWindow(Zoom(), f.Format(), f.DecimalPlaces(), f.HoursOn());
    const int a = l.zoomFactor;
    setFixedSize(l.side, l.side);
    setMask(WindowRegion(l.side, l.side, roundPercent_));
    Image1->setGeometry(rect());
    lbl_Tickmor->Relayout(l);

    const QFont date = FaceFont(QStringLiteral("Arial"), l.dateFontPt);
    const QFont startStop = FaceFont(QStringLiteral("Arial"), l.startStopFontPt, true);
    const QFont lap = FaceFont(QStringLiteral("Arial"), l.lapFontPt, true);
    Place(PanelDate, l.panelDate);
    PanelDate->setLineWidth(3 * a);
    PanelDate->setFont(date);
    Place(sbBud, l.sbBud);
    // The button keeps its narrow width at every zoom: the clock grows only as far as it fits.
    sbBud->setIconSize(AlarmClockGlyphSize.scaled(QSize(l.sbBud.width - 4, l.sbBud.height - 4), Qt::KeepAspectRatio));
    sbBud->setIcon(AlarmClockGlyph(keeper_.Kept().alarmOn, sbBud->iconSize(), devicePixelRatioF()));
    Place(cmd_StartStop, l.cmdStartStop);
    cmd_StartStop->setFont(startStop);
    Place(bPause, l.bPause);
    Place(lbl_Leader, l.lblLeader);
    lbl_Leader->setFont(date);
    Place(cmb_Zwischenzeit, l.cmbZwischenzeit);
    cmb_Zwischenzeit->setFont(FaceFont(QStringLiteral("Courier New"), l.lapListFontPt));
    Place(cmd_LAP, l.cmdLap);
    cmd_LAP->setFont(lap);
    Place(Led_CountDown, l.ledCountDown);
    Place(Ledlock, l.ledLock);
    PlaceLabel(LabelSC, l.labelSC, startStop);
    Place(sbSound, l.sbSound);
    Place(MMenu, l.mMenu);
    Place(smMinimize, l.smMinimize);
    smMinimize->setFont(lap);
    PlaceLabel(LabelBest1, l.labelBest1, lap);
    PlaceLabel(LabelBest2, l.labelBest2, lap);
    Place(MonthCalendar1, l.monthCalendar);
    MonthCalendar1->setFont(FaceFont(QStringLiteral("Arial"), l.calendarFontPt));
    ShowButtonGlyphs();

    // Painting order: the face at the back, the calendar over everything.
    Image1->lower();
    LabelBest2->raise();
    MonthCalendar1->raise();
}

void Tfrm_Tickmor::ShowButtonGlyphs()
{
    const int a = Zoom() + 1;
    const QSize pauseSize(PauseGlyphSize.width() * a, PauseGlyphSize.height() * a);
    const qreal ratio = devicePixelRatioF();
    bPause->SetGlyph(clock_.Paused() ? PlayGlyph(pauseSize, ratio) : PauseGlyph(pauseSize, ratio));
    sbSound->SetGlyph(SpeakerGlyph(clock_.Sound(), sbSound->size(), ratio));
}

void Tfrm_Tickmor::ShowDate()
{
    // It is set once: a date panel is for the day the program was started on.
    const QLocale locale = QLocale::system();
    const QDate today = QDate::currentDate();
    PanelDate->setText(locale.dayName(today.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(". ") +
                       locale.toString(today, QLocale::ShortFormat));
}

int Tfrm_Tickmor::Zoom() const
{
    const int zoom = keeper_.Kept().zoom;
    return zoom >= 0 && zoom <= 4 ? zoom : 0;
}

QString Tfrm_Tickmor::Title() const
{
    return title_.isEmpty() ? QCoreApplication::applicationName() : title_;
}

void Tfrm_Tickmor::ZoomClick(int zoom)
{
    keeper_.Kept().zoom = zoom >= 0 && zoom <= 4 ? zoom : 0;
    menus_->Zooms[Zoom()]->setChecked(true);
    // The window stays mapped while it grows: hidden, it would lose its
    // always-on-top state to the window manager and, without one, the focus.
    LayoutWindow();
    const QRect free = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const Box placed = CentredWindow({free.left(), free.top(), free.width(), free.height()}, width());
    move(placed.left, placed.top);
    keeper_.ControlsChanged();
}

void Tfrm_Tickmor::ZoomMainClick()
{
    menus_->Zooms[(Zoom() + 1) % 5]->trigger();
}

void Tfrm_Tickmor::Calendar1Click()
{
    ShowCalendar(!menus_->Calendar1->isChecked());
}

void Tfrm_Tickmor::ShowCalendar(bool on)
{
    menus_->Calendar1->setChecked(on);
    MonthCalendar1->setSelectedDate(QDate::currentDate());
    MonthCalendar1->setVisible(on);
}

void Tfrm_Tickmor::MonthCalendar1DblClick()
{
    MonthCalendar1->hide();
    menus_->Calendar1->setChecked(false);
}

void Tfrm_Tickmor::MMenuClick()
{
    menus_->PopupMenu1->popup(mapToGlobal(QPoint(MMenu->x() - 62, MMenu->geometry().bottom() + 1)));
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

bool Tfrm_Tickmor::WriteProtocol(const std::vector<std::string>& lines)
{
    if (!AppendToProtocol(keeper_.Kept().fileName, ProtocolBlock(lines))) return false;
    if (protocol_) protocol_->AppendRun(lines);
    return true;
}

void Tfrm_Tickmor::WarningBeep()
{
    QApplication::beep();
}

void Tfrm_Tickmor::RestoreApplication()
{
    if (isMinimized()) showNormal();
}

void Tfrm_Tickmor::mousePressEvent(QMouseEvent* event)
{
    drag_.Press(event->position().toPoint(), event->globalPosition().toPoint());
}

void Tfrm_Tickmor::mouseMoveEvent(QMouseEvent* event)
{
    drag_.Follow(*this, event->globalPosition().toPoint());
}

void Tfrm_Tickmor::mouseReleaseEvent(QMouseEvent*)
{
    drag_.Release();
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
    if (event->type() == QEvent::EnabledChange) barriers_->Pipeline().SetWindowEnabled(isEnabled());
    QWidget::changeEvent(event);
}

bool Tfrm_Tickmor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == PanelDate) {
            Calendar1Click();
            return true;
        }
        if (watched == LabelSC) {
            clock_.ToggleCountDown();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == lbl_Leader) {
        clock_.ClearBestTime();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chronivel
