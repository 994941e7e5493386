// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "ui/faceplacing.h"
#include "ui/led.h"
#include "ui/monthcalendar.h"
#include "ui/ovalbutton.h"
#include "ui/readablecolour.h"
#include "ui/readout.h"
#include "ui/transparentwnd.h"
#include "ui/zoomedcombostyle.h"

namespace chronivel {

namespace {

void PlaceLabel(QLabel* label, const chronivel::Box& box, const QFont& font)
{
    label->setFont(font);
    label->adjustSize();
    label->move(box.left, box.top);
}

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* FaceLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    SetTextColour(label, colour);
    return label;
}

// The captions' own colours, as the built-in dial shows them.
const QColor kCaptionColour(Qt::black);
const QColor kBestCaptionColour(Qt::red);

}  // namespace

MainFace::MainFace(QWidget& window, QObject& input) : window_(window)
{
    dial = new TFace(&window);
    dial->setObjectName(QStringLiteral("Image1"));
    dial->setAttribute(Qt::WA_TransparentForMouseEvents);  // the window drags
    QObject::connect(dial, &TFace::windowColorChanged, &window, [this, &window](const QColor& colour) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, colour);
        window.setPalette(palette);
        ColourCaptions(colour);
    });

    readout = new Readout(&window);

    dateLabel = FaceLabel(&window, "PanelDate", QString(), QColor(192, 192, 192));
    dateLabel->setAutoFillBackground(true);
    QPalette black = dateLabel->palette();
    black.setColor(QPalette::Window, Qt::black);
    dateLabel->setPalette(black);
    dateLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    dateLabel->setAlignment(Qt::AlignCenter);
    dateLabel->setToolTip(QObject::tr("Show Calendar"));
    dateLabel->setCursor(Qt::PointingHandCursor);
    dateLabel->installEventFilter(&input);

    alarmButton = new QToolButton(&window);
    alarmButton->setObjectName(QStringLiteral("sbBud"));
    alarmButton->setAutoRaise(true);
    alarmButton->setFocusPolicy(Qt::NoFocus);
    alarmButton->setToolTip(QObject::tr("[Ctrl+A] Alarm clock"));

    startStopButton = new TBitBtnWithColor(&window);
    startStopButton->setObjectName(QStringLiteral("cmd_StartStop"));
    pauseButton = new TBitBtnWithColor(&window);
    pauseButton->setObjectName(QStringLiteral("bPause"));
    pauseButton->setFocusPolicy(Qt::NoFocus);
    lapButton = new TBitBtnWithColor(QStringLiteral("LAP"), &window);
    lapButton->setObjectName(QStringLiteral("cmd_LAP"));
    lapButton->setFocusPolicy(Qt::NoFocus);

    bestCaptionShadow = FaceLabel(&window, "LabelBest1", QObject::tr("Best:"), kCaptionColour);
    bestCaption = FaceLabel(&window, "LabelBest2", QObject::tr("Best:"), kBestCaptionColour);  // over its black shadow
    bestTimeLabel = FaceLabel(&window, "lbl_Leader", QString(), kCaptionColour);
    bestTimeLabel->installEventFilter(&input);

    lapList = new QComboBox(&window);
    lapList->setObjectName(QStringLiteral("cmb_Zwischenzeit"));
    lapList->setMaxVisibleItems(10);
    lapList->setToolTip(QObject::tr("Current list timing"));
    lapList->installEventFilter(&input);
    lapListStyle_ = new ZoomedComboStyle;
    lapListStyle_->setParent(lapList);
    lapList->setStyle(lapListStyle_);
    lapList->hide();

    modeLabel = FaceLabel(&window, "LabelSC", QString(), kCaptionColour);
    modeLabel->installEventFilter(&input);
    countDownLed = new TLed(&window);
    countDownLed->setObjectName(QStringLiteral("Led_CountDown"));
    countDownLed->SetKind(lkGreen);
    // The LED names the mode it switches to on the label beside it.
    countDownLed->SetLabelOnText(QString::fromLatin1(Chronometer::ModeLabel(true)));
    countDownLed->SetLabelOffText(QString::fromLatin1(Chronometer::ModeLabel(false)));
    countDownLed->SetLabelLinked(modeLabel);
    modeLabel->setText(countDownLed->LabelOffText());
    // The label takes the width of each caption the LED gives it.
    QObject::connect(countDownLed, &TLed::changed, modeLabel, [label = modeLabel] { label->adjustSize(); });
    lockLed = new TLed(&window);
    lockLed->setObjectName(QStringLiteral("Ledlock"));
    lockLed->SetShape(lsRectangle);
    lockLed->setToolTip(QObject::tr("[F10] Lock STOP LS"));
    lockLed->hide();  // shows the lock of the light barriers, while their port is open

    // The round buttons are drawn onto the face: only their bevels, glyph
    // and caption show. The small ones stay flat until the pointer is over them.
    soundButton = new TOvalButton(&window);
    soundButton->setObjectName(QStringLiteral("sbSound"));
    soundButton->SetTransparent(true);
    soundButton->SetFlat(true);
    soundButton->SetNumGlyphs(1);
    soundButton->SetCheckable(true);
    menuButton = new TOvalButton(&window);
    menuButton->setObjectName(QStringLiteral("MMenu"));
    menuButton->setToolTip(QObject::tr("Main Menu"));
    menuButton->SetTransparent(true);
    minimizeButton = new TOvalButton(&window);
    minimizeButton->setObjectName(QStringLiteral("smMinimize"));
    minimizeButton->SetCaption(QStringLiteral("_"));
    minimizeButton->setToolTip(QObject::tr("Minimize"));
    minimizeButton->SetTransparent(true);
    minimizeButton->SetFlat(true);

    seeThrough = new TTransparentWnd(&window);
    seeThrough->setObjectName(QStringLiteral("TransparentWnd1"));
    seeThrough->SetPercent(50);
    seeThrough->SetAutoOpaque(true);

    NameControls(window);
    startStopButton->setFocus();
}

void MainFace::Place(const WindowLayout& l)
{
    const int a = l.zoomFactor;
    dial->setGeometry(0, 0, l.side, l.side);
    readout->Relayout(l);

    const QFont date = FaceFont(QStringLiteral("Arial"), l.dateFontPt);
    const QFont startStop = FaceFont(QStringLiteral("Arial"), l.startStopFontPt, true);
    const QFont lap = FaceFont(QStringLiteral("Arial"), l.lapFontPt, true);
    PlaceAt(dateLabel, l.panelDate);
    dateLabel->setLineWidth(3 * a);
    dateLabel->setFont(date);
    PlaceAt(alarmButton, l.alarmButton);
    alarmButton->setIconSize(
        AlarmClockGlyphSize.scaled(QSize(l.alarmButton.width - 4 * a, l.alarmButton.height - 4 * a), Qt::KeepAspectRatio));
    PlaceAt(startStopButton, l.cmdStartStop);
    startStopButton->setFont(startStop);
    PlaceAt(pauseButton, l.bPause);
    PlaceAt(bestTimeLabel, l.bestTime);
    bestTimeLabel->setFont(date);
    PlaceAt(lapList, l.lapList);
    lapListStyle_->SetZoom(a);
    lapList->setFont(FaceFont(QStringLiteral("Courier New"), l.lapListFontPt));
    PlaceAt(lapButton, l.cmdLap);
    lapButton->setFont(lap);
    PlaceAt(countDownLed, l.ledCountDown);
    PlaceAt(lockLed, l.ledLock);
    PlaceLabel(modeLabel, l.labelSC, startStop);
    PlaceAt(soundButton, l.sbSound);
    PlaceAt(menuButton, l.mMenu);
    PlaceAt(minimizeButton, l.smMinimize);
    minimizeButton->setFont(lap);
    PlaceLabel(bestCaptionShadow, l.labelBest1, lap);
    PlaceLabel(bestCaption, l.labelBest2, lap);
    layout_ = l;
    if (calendar) PlaceCalendar();

    // Painting order: the face at the back, the calendar over everything.
    dial->lower();
    bestCaption->raise();
    if (calendar) calendar->raise();
}

void MainFace::ColourCaptions(const QColor& face)
{
    // The built-in dial keeps the captions' own colours; on a face of the
    // user's colour (or picture, judged by its centre) they are taken as far
    // toward black or white as it takes to read well.
    const bool own = dial->Kind() == TFaceKind::fkDial;
    const QColor best = own ? kBestCaptionColour : ReadableOn(kBestCaptionColour, face);
    SetTextColour(bestCaption, best);
    for (QLabel* label : {bestTimeLabel, modeLabel}) SetTextColour(label, own ? kCaptionColour : ReadableOn(kCaptionColour, face));
    // A black shadow under a caption darker than the face would only blur it.
    const bool shadowShows = own || ContrastRatio(best, Qt::black) >= ContrastRatio(face, Qt::black);
    SetTextColour(bestCaptionShadow, shadowShows ? kCaptionColour : QColor(Qt::transparent));
}

TMonthCalendar& MainFace::Calendar()
{
    if (!calendar) {
        calendar = new TMonthCalendar(&window_);
        calendar->setObjectName(QStringLiteral("MonthCalendar1"));
        calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
        calendar->setToolTip(QObject::tr("ESC - close Calendar"));
        // Opaque as a whole, not only where its parts are: the readout under
        // it must never be painted past it, however its parts are laid out.
        calendar->setAutoFillBackground(true);
        calendar->hide();
        NameControls(window_);
        if (layout_) PlaceCalendar();
        calendar->raise();
    }
    return *calendar;
}

void MainFace::PlaceCalendar()
{
    PlaceAt(calendar, layout_->monthCalendar);
    calendar->setFont(FaceFont(QStringLiteral("Arial"), layout_->calendarFontPt));
    calendar->SetZoom(layout_->zoomFactor);
}

void MainFace::ShowDate()
{
    // It is set once: a date panel is for the day the program was started on.
    const QLocale locale = QLocale::system();
    const QDate today = QDate::currentDate();
    dateLabel->setText(locale.dayName(today.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(". ") +
                       locale.toString(today, QLocale::ShortFormat));
}

}  // namespace chronivel
