// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace chronivel {

class ChronivelApp;
class MainFace;
class TFormConfig;

// How the main window changes between the front and the back. In front it
// shows its buttons; behind another window it shows the time, the laps and
// the LEDs only, its plain keys and its pause button rest (the model has
// them), and with the "TranspW" setting it turns translucent. The window and
// the whole program come and go apart: with the protocol window in front the
// program is still active, the main window is not; with the big display in
// front, where nothing is typed, the main window keeps its front and its keys.
// A window of the program that goes away with the focus hands it back to the
// window it belongs to, or to the main window.
//
// The configuration dialog belongs here too: while it shows, the main window
// losing the focus to it changes nothing, and the dialog turns translucent
// and hides its OK and Cancel buttons with the program.
class Foreground final : public QObject {
    Q_OBJECT
public:
    // Follows the program's state from now on; the window tells of its own activation.
    Foreground(QWidget& window, MainFace& face, ChronivelApp& app);

    void SetProtocolWindow(QWidget* protocol) { protocol_ = protocol; }
    void SetConfigDialog(TFormConfig* config);

    // The main window became the active window, or stopped being it.
    void WindowActivated();
    void WindowDeactivated();
    // The program as a whole came to the front, or went to the back.
    void ApplicationActivated();
    void ApplicationDeactivated();
    // The program came back from the task bar.
    void Restored() { Opaque(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusMoved();
    void HandFocusBack(const QWidget& hidden);
    // The main window itself has the system's keyboard focus.
    bool HoldsFocus() const;
    // The start/stop, lap, menu, minimise and sound buttons.
    void ShowButtons(bool shown);
    // With the "TranspW" setting only.
    void Opaque();
    void Transparent();

    QWidget& window_;
    MainFace& face_;
    ChronivelApp& app_;
    QPointer<QWidget> protocol_;
    QPointer<TFormConfig> config_;
    QPointer<QWidget> refocus_;  // the button that had the focus when it was hidden
    bool applicationActive_;
};

}  // namespace chronivel
