#include "ui/foreground.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include "core/chronivelapp.h"
#include "ui/colorbutton.h"
#include "ui/configdialog.h"
#include "ui/mainface.h"
#include "ui/ovalbutton.h"
#include "ui/transparentwnd.h"

namespace chronivel {

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
}

void Foreground::SetConfigDialog(TFormConfig* config)
{
    config_ = config;
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
    ShowButtons(false);
    app_.SetWindowActive(false);
    Transparent();
}

void Foreground::ApplicationActivated()
{
    // Back from another program to the main window alone, the buttons come back at once.
    const bool shown = (protocol_ && !protocol_->isVisible()) || HoldsFocus();
    ShowButtons(shown);
    face_.pauseButton->setVisible(shown && app_.Clock().State() == RunState::Running);
    if (HoldsFocus()) Opaque();
    if (config_) config_->SetApplicationActive(true);
}

void Foreground::ApplicationDeactivated()
{
    const bool shown = HoldsFocus();
    ShowButtons(shown);
    face_.pauseButton->setVisible(shown);
    Transparent();
    if (config_) config_->SetApplicationActive(false);
}

void Foreground::Restored()
{
    Opaque();
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
    if (app_.Kept().transpW) face_.seeThrough->Opaque();
}

void Foreground::Transparent()
{
    if (app_.Kept().transpW) face_.seeThrough->Transparent();
}

}  // namespace chronivel
