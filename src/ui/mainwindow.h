// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/chronivelapp.h"
#include "core/commandline.h"
#include "core/serialline.h"
#include "ui/eventsounds.h"
#include "ui/face.h"
#include "ui/inputmoments.h"
#include "ui/mainface.h"

namespace chronivel {

class AlarmBell;
class BarrierPort;
class CommandActions;
class Foreground;
class TFormConfig;
class TMonthCalendar;
class InfoDialog;
class LiveCard;
class LiveView;
class TFormBud;
class MainMenus;
class NoticeLine;
class ProtocolWindow;

// The chronometer's own window: small, round, borderless and always on top,
// its whole surface a dial face on which the readout and the buttons sit.
// It is a view of the application model: it shows what the model holds and
// hands it the user's commands.
class Tfrm_Tickmor final : public QWidget, private AppView {
    Q_OBJECT
public:
    struct StartUp {
        QString title;                    // the program's name; captions and message boxes
        std::string defaultProtocolPath;  // where runs go unless the settings say otherwise
        CommandLine commandLine;
    };

    // A view of `app`, which outlives it; `serialPorts` lists the ports for the Hardware menu.
    Tfrm_Tickmor(ChronivelApp& app, const SerialPorts& serialPorts, QWidget* parent = nullptr);
    ~Tfrm_Tickmor() override;

    // Reads the settings, lays the window out for them and resumes a run that
    // was going at the last exit. A problem with the settings is reported,
    // and the window goes on with the defaults for what could not be read.
    void Start(const StartUp& startUp);
    // The last act before the program ends: everything is saved, with the
    // other windows' values.
    void Shutdown() { app_.Shutdown(); }
    // Today's date as the face shows it.
    QString DateText() const;

    // The windows made after this one.
    void AttachProtocolWindow(ProtocolWindow* protocol);
    void AttachLiveView(LiveView* live);
    void AttachInfoDialog(InfoDialog* info);

    ChronivelApp& Model() { return app_; }
    const Chronometer& Clock() const { return app_.Clock(); }
    MainMenus& Menus() { return *menus_; }
    EventSounds& Sounds() { return sounds_; }
    AlarmBell& Bell() { return *bell_; }
    // Made at its first opening, once the settings are loaded: nothing of it shows before.
    TFormConfig& ConfigDialog();
    BarrierPort& Barriers() { return *barriers_; }
    NoticeLine& Notifications() { return *notice_; }

    CommandActions& Commands() { return *commands_; }
    // Keys and buttons count from their press as stamped on the window
    // system's clock, read through `times`, which outlives the window.
    void StampInputWith(InputEventTimes& times) { moments_.SetTimes(&times); }

    // Errors that answer what the user just did (the manual or the text
    // editor would not open); a message box titled with the program's title unless replaced.
    std::function<void(const QString&)> reportError;

protected:
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // AppView
    void TimeShown(std::int64_t value, std::uint32_t changedDigits) override;
    void Changed() override;
    void PlaySound(EventSound sound) override { sounds_.Play(sound); }
    void RestoreApplication() override { if (isMinimized()) showNormal(); }
    bool Perform(Command command) override;

    void ConnectCommands();
    // The window's own commands.
    // The largest zoom up to `zoom` that fits the screen, back in the middle of it.
    void Zoom(int zoom);
    // The whole window inside the free area of its screen, at a zoom that fits there.
    void KeepOnScreen();
    void ShowMainMenu();
    // Made at its first opening, when the settings are loaded; kept for the fields' values.
    void ShowAlarmDialog();
    void ShowLiveCard();
    // Made at its first opening.
    TMonthCalendar& Calendar();
    // The face's colour or picture, when the settings name another than the one shown.
    void ApplyFace();
    void LayoutWindow();
    // Round, and square where the calendar is open.
    void ShapeWindow();
    void ShowLapList();
    void RunTimers();
    void ShowButtonGlyphs();
    QString ProtocolPath() const { return QString::fromStdString(app_.ProtocolPath()); }

    ChronivelApp& app_;
    const Chronometer& clock_;
    MainFace face_;
    TWindowDrag drag_;
    EventSounds sounds_;
    InputMoments moments_;
    int roundPercent_ = 100;
    struct Shape {
        int zoom = -1, format = -1;
        bool hoursOn = false;
        friend bool operator==(const Shape&, const Shape&) = default;
    } laidOut_;
    bool pauseAnnounced_ = false;
    QPointer<ProtocolWindow> protocol_;
    QPointer<InfoDialog> info_;
    QPointer<LiveView> live_;
    QPointer<LiveCard> liveCard_;
    TFormBud* alarm_ = nullptr;
    TFormConfig* config_ = nullptr;
    // The window's own commands given while the configuration dialog slides: each once, at its end.
    std::vector<Command> afterSlide_;
    struct FaceShown {
        std::int32_t color = 0;
        std::string picture;
        friend bool operator==(const FaceShown&, const FaceShown&) = default;
    };
    // The built-in dial, until a face is applied; none: apply whatever the settings say.
    std::optional<FaceShown> faceShown_ = FaceShown{};
    QTimer displayTimer_;
    QTimer lockTimer_;
    QTimer countDownTimer_;  // wakes for the countdown's warning and end, which the display tick may pass by up to a frame

    CommandActions* commands_ = nullptr;
    MainMenus* menus_ = nullptr;
    BarrierPort* barriers_ = nullptr;
    NoticeLine* notice_ = nullptr;
    AlarmBell* bell_ = nullptr;
    Foreground* foreground_ = nullptr;
};

}  // namespace chronivel
