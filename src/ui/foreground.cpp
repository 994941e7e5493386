// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/foreground.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include "core/chronivelapp.h"
#include "ui/colorbutton.h"
#include "ui/configdialog.h"
#include "ui/mainface.h"
#include "ui/monitorwindow.h"
#include "ui/ovalbutton.h"
#include "ui/transparentwnd.h"

namespace chronivel {

namespace {

// The big display takes no typing: while it is in front, the program's keys
// are those of the main window in front (Space takes a lap there as well).
bool LendsTheFront(const QWidget* window)
{
    return qobject_cast<const TFormMonitor2*>(window) != nullptr;
}

}  // namespace

Foreground::Foreground(QWidget& window, MainFace& face, ChronivelApp& app)
    : QObject(&window),
      window_(window),
      face_(face),
      app_(app),
      applicationActive_(QGuiApplication::applicationState() == Qt::ApplicationActive)
{
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        // Hidden and suspended are the back as well; each change of side counts once.
        const bool active = state == Qt::ApplicationActive;
        if (active == applicationActive_) return;
        applicationActive_ = active;
        active ? ApplicationActivated() : ApplicationDeactivated();
    });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &Foreground::FocusMoved);
    qApp->installEventFilter(this);  // the program's windows that go away with the focus
}

void Foreground::SetConfigDialog(TFormConfig* config)
{
    config_ = config;
}

void Foreground::FocusMoved()
{
    // From the big display to another window: the front it lent the main window ends.
    if (app_.WindowActive() && !window_.isActiveWindow() && !LendsTheFront(QApplication::activeWindow()))
        WindowDeactivated();
}

bool Foreground::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto* hidden = static_cast<QWidget*>(watched);
        // The application's active window is cleared by now; the system's focus is not.
        if (hidden->isWindow() && hidden != &window_ && hidden->windowHandle() &&
            hidden->windowHandle() == QGuiApplication::focusWindow())
            HandFocusBack(*hidden);
    }
    return QObject::eventFilter(watched, event);
}

void Foreground::HandFocusBack(const QWidget& hidden)
{
    // Without a window manager the focus would go nowhere, and the program
    // would ignore its keys until clicked: it goes to the window the hidden
    // one belonged to, or to the main window.
    QWidget* owner = hidden.parentWidget() ? hidden.parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible()) owner = &window_;
    if (owner->isVisible() && !owner->isMinimized()) owner->activateWindow();
}

void Foreground::WindowActivated()
{
    ShowButtons(true);
    app_.SetWindowActive(true);  // Reset and Hide by key, the lap on Space, the pause button
    Opaque();
}

void Foreground::WindowDeactivated()
{
    if (config_ && config_->isVisible()) return;  // the program's own dialog, beside it
    if (LendsTheFront(QApplication::activeWindow())) return;
    ShowButtons(false);
    app_.SetWindowActive(false);
    Transparent();
}

void Foreground::ApplicationActivated()
{
    // Back from another program to the main window alone, the buttons come back at once.
    const bool shown = (protocol_ && !protocol_->isVisible()) || HoldsFocus();
    ShowButtons(shown);
    app_.SetButtonsShown(shown);
    if (HoldsFocus()) Opaque();
    if (config_) config_->SetApplicationActive(true);
}

void Foreground::ApplicationDeactivated()
{
    const bool shown = HoldsFocus();
    ShowButtons(shown);
    app_.SetButtonsShown(shown);
    Transparent();
    if (config_) config_->SetApplicationActive(false);
}

bool Foreground::HoldsFocus() const
{
    const QWindow* handle = window_.windowHandle();
    return handle && QGuiApplication::focusWindow() == handle;
}

void Foreground::ShowButtons(bool shown)
{
    // A hidden button passes the focus on; the start button takes it back
    // when it returns, for the Pause key it lets through to the window.
    const QWidget* focused = window_.focusWidget();
    for (QWidget* button : {static_cast<QWidget*>(face_.startStopButton), static_cast<QWidget*>(face_.lapButton),
                            static_cast<QWidget*>(face_.menuButton), static_cast<QWidget*>(face_.minimizeButton),
                            static_cast<QWidget*>(face_.soundButton)}) {
        if (!shown && button == focused) refocus_ = button;
        button->setVisible(shown);
    }
    if (shown && refocus_) {
        refocus_->setFocus();
        refocus_ = nullptr;
    }
}

void Foreground::Opaque()
{
    if (app_.Kept().transparentInBackground) face_.seeThrough->Opaque();
}

void Foreground::Transparent()
{
    if (app_.Kept().transparentInBackground) face_.seeThrough->Transparent();
}

}  // namespace chronivel
