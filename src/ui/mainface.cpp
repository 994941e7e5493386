#include "ui/mainface.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

#include "core/chronometer.h"
#include "ui/buttonglyphs.h"
#include "ui/colorbutton.h"
#include "ui/controlnames.h"
#include "ui/face.h"
#include "ui/led.h"
#include "ui/monthcalendar.h"
#include "ui/ovalbutton.h"
#include "ui/readout.h"
#include "ui/transparentwnd.h"

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

void PlaceAt(QWidget* widget, const chronivel::Box& box)
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

MainFace::MainFace(QWidget& window, QObject& input)
{
    Image1 = new TFace(&window);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);  // the window drags
    QObject::connect(Image1, &TFace::windowColorChanged, &window, [&window](const QColor& colour) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, colour);
        window.setPalette(palette);
    });

    lbl_Tickmor = new Readout(&window);

    PanelDate = FaceLabel(&window, "PanelDate", QString(), QColor(192, 192, 192));
    PanelDate->setAutoFillBackground(true);
    QPalette black = PanelDate->palette();
    black.setColor(QPalette::Window, Qt::black);
    PanelDate->setPalette(black);
    PanelDate->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelDate->setAlignment(Qt::AlignCenter);
    PanelDate->setToolTip(QObject::tr("Show Calendar"));
    PanelDate->setCursor(Qt::PointingHandCursor);
    PanelDate->installEventFilter(&input);

    sbBud = new QToolButton(&window);
    sbBud->setObjectName(QStringLiteral("sbBud"));
    sbBud->setAutoRaise(true);
    sbBud->setFocusPolicy(Qt::NoFocus);
    sbBud->setToolTip(QObject::tr("[Ctrl+A] Alarm clock"));
    sbBud->setEnabled(false);  // the alarm clock is not here yet

    cmd_StartStop = new TBitBtnWithColor(&window);
    cmd_StartStop->setObjectName(QStringLiteral("cmd_StartStop"));
    cmd_StartStop->installEventFilter(&input);  // lets the Pause key through to the window
    bPause = new TBitBtnWithColor(&window);
    bPause->setObjectName(QStringLiteral("bPause"));
    bPause->setFocusPolicy(Qt::NoFocus);
    cmd_LAP = new TBitBtnWithColor(QStringLiteral("LAP"), &window);
    cmd_LAP->setObjectName(QStringLiteral("cmd_LAP"));
    cmd_LAP->setFocusPolicy(Qt::NoFocus);

    LabelBest1 = FaceLabel(&window, "LabelBest1", QObject::tr("Best:"), Qt::black);
    LabelBest2 = FaceLabel(&window, "LabelBest2", QObject::tr("Best:"), Qt::red);  // over its black shadow
    lbl_Leader = FaceLabel(&window, "lbl_Leader", QString(), Qt::black);
    lbl_Leader->installEventFilter(&input);

    cmb_Zwischenzeit = new QComboBox(&window);
    cmb_Zwischenzeit->setObjectName(QStringLiteral("cmb_Zwischenzeit"));
    cmb_Zwischenzeit->setMaxVisibleItems(10);
    cmb_Zwischenzeit->setToolTip(QObject::tr("Current list timing"));
    cmb_Zwischenzeit->installEventFilter(&input);
    cmb_Zwischenzeit->hide();

    LabelSC = FaceLabel(&window, "LabelSC", QString(), Qt::black);
    LabelSC->installEventFilter(&input);
    Led_CountDown = new TLed(&window);
    Led_CountDown->setObjectName(QStringLiteral("Led_CountDown"));
    Led_CountDown->SetKind(lkGreen);
    // The LED names the mode it switches to on the label beside it.
    Led_CountDown->SetLabelOnText(QString::fromLatin1(Chronometer::ModeLabel(true)));
    Led_CountDown->SetLabelOffText(QString::fromLatin1(Chronometer::ModeLabel(false)));
    Led_CountDown->SetLabelLinked(LabelSC);
    LabelSC->setText(Led_CountDown->LabelOffText());
    // The label takes the width of each caption the LED gives it.
    QObject::connect(Led_CountDown, &TLed::changed, LabelSC, [label = LabelSC] { label->adjustSize(); });
    Ledlock = new TLed(&window);
    Ledlock->setObjectName(QStringLiteral("Ledlock"));
    Ledlock->SetShape(lsRectangle);
    Ledlock->setToolTip(QObject::tr("[F10] Lock STOP LS"));
    Ledlock->hide();  // shows the lock of the light barriers, while their port is open

    // The round buttons are drawn onto the face: only their bevels, glyph
    // and caption show. The small ones stay flat until the pointer is over them.
    sbSound = new TOvalButton(&window);
    sbSound->setObjectName(QStringLiteral("sbSound"));
    sbSound->SetTransparent(true);
    sbSound->SetFlat(true);
    sbSound->SetNumGlyphs(1);
    MMenu = new TOvalButton(&window);
    MMenu->setObjectName(QStringLiteral("MMenu"));
    MMenu->setToolTip(QObject::tr("Main Menu"));
    MMenu->SetTransparent(true);
    smMinimize = new TOvalButton(&window);
    smMinimize->setObjectName(QStringLiteral("smMinimize"));
    smMinimize->SetCaption(QStringLiteral("_"));
    smMinimize->setToolTip(QObject::tr("Minimize"));
    smMinimize->SetTransparent(true);
    smMinimize->SetFlat(true);

    MonthCalendar1 = new TMonthCalendar(&window);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    MonthCalendar1->setToolTip(QObject::tr("ESC - close Calendar"));
    MonthCalendar1->hide();

    TransparentWnd1 = new TTransparentWnd(&window);
    TransparentWnd1->setObjectName(QStringLiteral("TransparentWnd1"));
    TransparentWnd1->SetPercent(50);
    TransparentWnd1->SetAutoOpaque(true);

    NameControls(window);
    cmd_StartStop->setFocus();
}

void MainFace::Place(const WindowLayout& l, bool alarmArmed)
{
    const int a = l.zoomFactor;
    Image1->setGeometry(0, 0, l.side, l.side);
    lbl_Tickmor->Relayout(l);

    const QFont date = FaceFont(QStringLiteral("Arial"), l.dateFontPt);
    const QFont startStop = FaceFont(QStringLiteral("Arial"), l.startStopFontPt, true);
    const QFont lap = FaceFont(QStringLiteral("Arial"), l.lapFontPt, true);
    PlaceAt(PanelDate, l.panelDate);
    PanelDate->setLineWidth(3 * a);
    PanelDate->setFont(date);
    PlaceAt(sbBud, l.sbBud);
    // The button keeps its narrow width at every zoom: the clock grows only as far as it fits.
    sbBud->setIconSize(AlarmClockGlyphSize.scaled(QSize(l.sbBud.width - 4, l.sbBud.height - 4), Qt::KeepAspectRatio));
    sbBud->setIcon(AlarmClockGlyph(alarmArmed, sbBud->iconSize(), Image1->devicePixelRatioF()));
    PlaceAt(cmd_StartStop, l.cmdStartStop);
    cmd_StartStop->setFont(startStop);
    PlaceAt(bPause, l.bPause);
    PlaceAt(lbl_Leader, l.lblLeader);
    lbl_Leader->setFont(date);
    PlaceAt(cmb_Zwischenzeit, l.cmbZwischenzeit);
    cmb_Zwischenzeit->setFont(FaceFont(QStringLiteral("Courier New"), l.lapListFontPt));
    PlaceAt(cmd_LAP, l.cmdLap);
    cmd_LAP->setFont(lap);
    PlaceAt(Led_CountDown, l.ledCountDown);
    PlaceAt(Ledlock, l.ledLock);
    PlaceLabel(LabelSC, l.labelSC, startStop);
    PlaceAt(sbSound, l.sbSound);
    PlaceAt(MMenu, l.mMenu);
    PlaceAt(smMinimize, l.smMinimize);
    smMinimize->setFont(lap);
    PlaceLabel(LabelBest1, l.labelBest1, lap);
    PlaceLabel(LabelBest2, l.labelBest2, lap);
    PlaceAt(MonthCalendar1, l.monthCalendar);
    MonthCalendar1->setFont(FaceFont(QStringLiteral("Arial"), l.calendarFontPt));

    // Painting order: the face at the back, the calendar over everything.
    Image1->lower();
    LabelBest2->raise();
    MonthCalendar1->raise();
}

void MainFace::ShowDate()
{
    // It is set once: a date panel is for the day the program was started on.
    const QLocale locale = QLocale::system();
    const QDate today = QDate::currentDate();
    PanelDate->setText(locale.dayName(today.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(". ") +
                       locale.toString(today, QLocale::ShortFormat));
}

}  // namespace chronivel
