#pragma once

#include <QObject>
#include <QString>

#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace chronivel {

// The main window's two menus. The context menu is what the user sees; the
// hidden one only carries keys, so that every command has a key even where
// the context menu shows none. Twin entries of the two menus call the same
// command; a disabled entry does nothing. The entries are named as the
// commands they are, so tests and later features find them by objectName.
class MainMenus final : public QObject {
    Q_OBJECT
public:
    // The hidden entries act wherever the program has the keyboard focus,
    // except while a modal dialog is showing.
    explicit MainMenus(QWidget* window);

    // The context menu.
    QMenu* PopupMenu1;
    QAction* ChronivelHelp1;
    QAction* About1;
    QAction* Configuration1;
    QAction* Calendar1;
    QAction* Sound1;
    QAction* Protocol1;
    QAction* Notepad1;
    QAction* AlarmClock2;
    QAction* cmd_Reset;
    QMenu* mFormat;
    QAction* mHoursOn;
    std::array<QAction*, 6> Formats{};  // Format0..Format5, by format number
    QMenu* mZoom;
    std::array<QAction*, 5> Zooms{};    // Zoom1..Zoom5, by zoom level
    QMenu* Best1;
    QAction* BestShow1;
    QAction* BestReset1;
    QMenu* Hardware1;
    QAction* mNoHard;
    std::array<QAction*, 6> mALG{};     // mALG_0..mALG_5, by algorithm
    std::array<QAction*, 3> mLS{};      // mLS1..mLS3
    QMenu* TVaus1;
    QAction* Off1;
    QAction* Exit1;

    // The hidden menu.
    QAction* Help2;
    QAction* About2;
    QAction* mSSR;
    QAction* mLAP;
    QAction* LAP21;
    QAction* START1;
    QAction* Lock1;
    QAction* mReset;
    QAction* mCFG;
    QAction* Calendar2;
    QAction* mAlarmClock;
    QAction* ZoomMain;
    QAction* mMMenu;
    QAction* mSound;
    QAction* mProtocol;
    QAction* mNotepad;
    QAction* BestNum2;
    QAction* BestNum1;
    QAction* Best2;
    QAction* mHide;
    QAction* mCloseCal;
    QAction* mTV;

    // While the main window is in the background its plain keys would take
    // what the user types elsewhere: the lap moves to Alt+Space, and reset
    // and hide keep off.
    void FollowActivation(bool active);
    // The "Multimonitor" entries afresh from the screens there are now.
    void ListMonitors();

private:
    QAction* Entry(QMenu* menu, const char* name, const QString& caption, const QString& shownKey = {});
    QAction* Hidden(const char* name, const QString& caption, const QKeySequence& key);
    QAction* Radio(QMenu* menu, QActionGroup* group, const char* name, const QString& caption, int tag);

    QWidget* window_;
};

}  // namespace chronivel
