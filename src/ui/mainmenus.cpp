#include "ui/mainmenus.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QWidget>

namespace chronivel {

MainMenus::MainMenus(QWidget* window) : QObject(window), window_(window)
{
    PopupMenu1 = new QMenu(window);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QMenu* popup = PopupMenu1;
    ChronivelHelp1 = Entry(popup, "ChronivelHelp1", tr("Chronivel Help"), QStringLiteral("F1"));
    About1 = Entry(popup, "About1", tr("Info"), QStringLiteral("F3"));
    Configuration1 = Entry(popup, "Configuration1", tr("Configuration"), QStringLiteral("Ctrl+C"));
    Calendar1 = Entry(popup, "Calendar1", tr("Calendar"), QStringLiteral("Ctrl+D"));
    Calendar1->setCheckable(true);
    Sound1 = Entry(popup, "Sound1", tr("Sound"), QStringLiteral("Ctrl+S"));
    Sound1->setCheckable(true);
    Protocol1 = Entry(popup, "Protocol1", tr("Protocol .."), QStringLiteral("Ctrl+P"));
    Notepad1 = Entry(popup, "Notepad1", tr("Notepad .."), QStringLiteral("Ctrl+N"));
    Notepad1->setVisible(false);
    AlarmClock2 = Entry(popup, "AlarmClock2", tr("Alarm Clock"), QStringLiteral("Ctrl+A"));
    cmd_Reset = Entry(popup, "cmd_Reset", tr("Reset"), QStringLiteral("0"));

    mFormat = popup->addMenu(tr("Format"));
    mFormat->setObjectName(QStringLiteral("mFormat"));
    mHoursOn = Entry(mFormat, "mHoursOn", tr("Show Hours"));
    mHoursOn->setCheckable(true);
    mHoursOn->setChecked(true);
    mHoursOn->setData(10);
    auto* formats = new QActionGroup(this);
    // The seconds-only formats are indented under the hours of the others.
    const std::array<const char*, 6> formatCaptions{"HH:MM:SS,xxx", "       SSSSSS,xxx", "HH:MM:SS,xx",
                                                    "       SSSSSS,xx",  "HH:MM:SS,x",   "       SSSSSS,x"};
    for (int format = 0; format < 6; ++format) {
        if (format % 2 == 0) mFormat->addSeparator();
        const QByteArray name = "Format" + QByteArray::number(format);
        Formats[format] = Radio(mFormat, formats, name.constData(), QString::fromLatin1(formatCaptions[format]), format);
    }
    Formats[0]->setChecked(true);

    mZoom = popup->addMenu(tr("Zoom             Ctrl+Z"));
    mZoom->setObjectName(QStringLiteral("mZoom"));
    auto* zooms = new QActionGroup(this);
    for (int zoom = 0; zoom < 5; ++zoom) {
        const QByteArray name = "Zoom" + QByteArray::number(zoom + 1);
        Zooms[zoom] = Radio(mZoom, zooms, name.constData(), QString::number(zoom + 1), zoom);
    }
    Zooms[0]->setChecked(true);

    Best1 = popup->addMenu(tr("Best"));
    Best1->setObjectName(QStringLiteral("Best1"));
    BestShow1 = Entry(Best1, "BestShow1", tr("Show"));
    BestShow1->setCheckable(true);
    BestShow1->setChecked(true);
    BestReset1 = Entry(Best1, "BestReset1", tr("Reset"));

    Hardware1 = popup->addMenu(tr("Hardware"));
    Hardware1->setObjectName(QStringLiteral("Hardware1"));
    auto* ports = new QActionGroup(this);
    mNoHard = Radio(Hardware1, ports, "mNoHard", tr("None"), 0);
    mNoHard->setChecked(true);
    Hardware1->addSeparator();
    auto* algorithms = new QActionGroup(this);
    const std::array<const char*, 6> algorithmCaptions{"0   On/Off", "1   Off/On", "2   On",
                                                       "3   Off",    "4   With LAP", "5   With Toogle"};
    for (int algorithm = 0; algorithm < 6; ++algorithm) {
        const QByteArray name = "mALG_" + QByteArray::number(algorithm);
        mALG[algorithm] = Radio(Hardware1, algorithms, name.constData(),
                                QString::fromLatin1(algorithmCaptions[algorithm]), algorithm);
        mALG[algorithm]->setEnabled(false);  // until a port is open
    }
    mALG[0]->setChecked(true);
    mALG[5]->setVisible(false);
    Hardware1->addSeparator();
    auto* arrangements = new QActionGroup(this);
    // "&&" is how a menu shows a single "&".
    mLS[0] = Radio(Hardware1, arrangements, "mLS1", tr("1 LS (4+6=Start && Stop)"), 1);
    mLS[1] = Radio(Hardware1, arrangements, "mLS2", tr("2/3 LS (4+6=Start, 7+8=Stop, 4+1=Lap)"), 2);
    mLS[2] = Radio(Hardware1, arrangements, "mLS3", tr("2/3 LS (4+6=Start, 7+8=Stop, 4+1=Toggle)"), 3);
    mLS[0]->setChecked(true);
    for (QAction* arrangement : mLS) arrangement->setEnabled(false);  // until a port is open

    TVaus1 = popup->addMenu(tr("Multimonitor"));
    TVaus1->setObjectName(QStringLiteral("TVaus1"));
    Off1 = Radio(TVaus1, new QActionGroup(this), "Off1", tr("Off"), -1);
    Off1->setChecked(true);

    popup->addSeparator();
    Exit1 = Entry(popup, "Exit1", tr("Exit"));

    Help2 = Hidden("Help2", tr("Help"), Qt::Key_F1);
    About2 = Hidden("About2", tr("Info"), Qt::Key_F3);
    mSSR = Hidden("mSSR", QStringLiteral("SSR"), Qt::Key_Return);
    // The keypad's Enter is the same key to a user.
    mSSR->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    mLAP = Hidden("mLAP", QStringLiteral("LAP"), Qt::Key_Space);
    LAP21 = Hidden("LAP21", QStringLiteral("LAP2"), Qt::Key_F8);
    START1 = Hidden("START1", QStringLiteral("START"), Qt::Key_F5);
    Lock1 = Hidden("Lock1", tr("Lock"), Qt::Key_F10);
    mReset = Hidden("mReset", tr("Reset"), Qt::Key_0);
    mCFG = Hidden("mCFG", tr("Config"), Qt::CTRL | Qt::Key_C);
    Calendar2 = Hidden("Calendar2", tr("Calendar"), Qt::CTRL | Qt::Key_D);
    mAlarmClock = Hidden("mAlarmClock", tr("AlarmClock"), Qt::CTRL | Qt::Key_A);
    ZoomMain = Hidden("ZoomMain", tr("Zoom"), Qt::CTRL | Qt::Key_Z);
    mMMenu = Hidden("mMMenu", QStringLiteral("MMenu"), Qt::CTRL | Qt::Key_M);
    mSound = Hidden("mSound", tr("Sound"), Qt::CTRL | Qt::Key_S);
    mProtocol = Hidden("mProtocol", tr("Protocol"), Qt::CTRL | Qt::Key_P);
    mNotepad = Hidden("mNotepad", QStringLiteral("Notepad"), Qt::CTRL | Qt::Key_N);
    BestNum2 = Hidden("BestNum2", QStringLiteral("BestNum"), Qt::CTRL | Qt::Key_Insert);
    BestNum1 = Hidden("BestNum1", QStringLiteral("BestNum"), QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0));
    Best2 = Hidden("Best2", tr("Best"), Qt::CTRL | Qt::Key_0);
    mHide = Hidden("mHide", tr("Hide"), Qt::CTRL | Qt::Key_Space);
    mCloseCal = Hidden("mCloseCal", QStringLiteral("CloseCal"), Qt::Key_Escape);
    mTV = Hidden("mTV", QStringLiteral("TV"), Qt::CTRL | Qt::Key_T);
}

void MainMenus::FollowActivation(bool active)
{
    mLAP->setShortcut(active ? QKeySequence(Qt::Key_Space) : QKeySequence(Qt::ALT | Qt::Key_Space));
    mReset->setEnabled(active);
    mHide->setEnabled(active);
}

void MainMenus::ListMonitors()
{
    const QList<QAction*> entries = TVaus1->actions();
    for (qsizetype i = 1; i < entries.size(); ++i) delete entries[i];
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype n = 0; n < screens.size(); ++n) {
        const QSize size = screens[n]->geometry().size();
        Radio(TVaus1, Off1->actionGroup(), "", QStringLiteral("%1: %2x%3").arg(n + 1).arg(size.width()).arg(size.height()),
              static_cast<int>(n));
    }
    Off1->setChecked(true);
    // The second-monitor window comes later; it needs more than one screen anyway.
    TVaus1->setEnabled(false);
}

QAction* MainMenus::Entry(QMenu* menu, const char* name, const QString& caption, const QString& shownKey)
{
    // The key is only shown here; it acts through the hidden twin, so that
    // it works while the context menu is closed.
    QAction* action = menu->addAction(shownKey.isEmpty() ? caption : caption + QLatin1Char('\t') + shownKey);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* MainMenus::Hidden(const char* name, const QString& caption, const QKeySequence& key)
{
    auto* action = new QAction(caption, window_);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::ApplicationShortcut);
    window_->addAction(action);
    return action;
}

QAction* MainMenus::Radio(QMenu* menu, QActionGroup* group, const char* name, const QString& caption, int tag)
{
    QAction* action = Entry(menu, name, caption);
    action->setCheckable(true);
    action->setData(tag);
    group->addAction(action);
    return action;
}

}  // namespace chronivel
