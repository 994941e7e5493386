// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/graphicalsession.h"
#include "app/hotkeygrabber.h"
#include "app/options.h"
#include "app/quitsignals.h"
#include "app/singlecopy.h"
#include "core/commandline.h"
#include "core/highrestimer.h"
#include "core/inputtime.h"
#include "core/platformchoice.h"
#include "platform/bootclock.h"
#include "platform/instancelock.h"
#include "platform/protocolfile.h"
#include "platform/systeminputclock.h"
#include "platform/systemserialports.h"
#include "platform/systemsettingsstore.h"
#include "platform/systemtimerplatform.h"
#include "ui/infodialog.h"
#include "ui/liveview.h"
#include "ui/mainwindow.h"
#include "ui/messagebox.h"
#include "ui/protocolwindow.h"
#include "ui/qtscheduler.h"
#include "ui/secondmonitor.h"
#include "ui/qtlocaletexts.h"

using namespace chronivel;

namespace {

// The arguments as Qt takes them, to stay for as long as the application: it keeps `argc` and `argv`.
struct HandedArguments {
    std::vector<std::string> words;
    std::vector<char*> pointers;
    int count = 0;

    explicit HandedArguments(std::vector<std::string> handed) : words(std::move(handed))
    {
        for (std::string& word : words) pointers.push_back(word.data());
        pointers.push_back(nullptr);
        count = static_cast<int>(words.size());
    }
};

std::string Environment(const char* name)
{
    return qEnvironmentVariable(name).toStdString();
}

}  // namespace

int main(int argc, char* argv[])
{
    QFileInfo executable;
    WindowSystemEnvironment environment{Environment("WAYLAND_DISPLAY"), Environment("XDG_SESSION_TYPE"),
                                        Environment("DISPLAY"), Environment("QT_QPA_PLATFORM"), {}};
    {
        const QCoreApplication withoutWindows(argc, argv);
        executable.setFile(QCoreApplication::applicationFilePath());
        // Named after the executable: a renamed copy keeps settings of its own.
        QCoreApplication::setApplicationName(executable.completeBaseName());
        QCoreApplication::setApplicationVersion(InfoDialog::Version());
        AnswerInformationOptions(withoutWindows);
        // Read only where the choice needs them, while a qt.conf beside the program counts.
        if (XWaylandWanted(std::vector<std::string>(argv, argv + argc), environment))
            for (const QString& plugin : InstalledPlatformPlugins())
                environment.installedPlugins.push_back(plugin.toStdString());
    }
    const QString title = QCoreApplication::applicationName();
    // XWayland where a Wayland session has it, asked for on Qt's command line:
    // the browser and the editor the program starts inherit its environment.
    HandedArguments handed(PlatformArguments(std::vector<std::string>(argv, argv + argc), environment));
    std::optional<GraphicalSessionGuard> guard(std::in_place, title, handed.count, handed.pointers.data());
    // On X11 a window painted through shared memory waits for the server to
    // finish reading the last picture before drawing over it: a round trip
    // for every frame of the readout. Its updates are a few digits, cheaper
    // to send in the request itself. A user's own setting stays.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(handed.count, handed.pointers.data());
    guard.reset();
    CheckOptions(app);
    // One copy per settings key, decided before anything reads the settings:
    // two would each save their own run in progress over the other's.
    InstanceLock lock(title.toStdString());
    if (lock.Get() == InstanceLock::State::Elsewhere)
        if (const std::optional<int> status = GiveWayToRunningCopy(lock, title)) return *status;
    if (lock.Get() == InstanceLock::State::Failed)
        std::fprintf(stderr, "%s: %s; a second copy started now would not be noticed.\n", qPrintable(title),
                     lock.Problem().c_str());
    // Saves cut short by a kill left their temporary files beside the settings;
    // only the one copy may take them away, as another's may be a save going on.
    if (lock.Get() == InstanceLock::State::Held) RemoveSettingsLeftovers(title.toStdString());

    std::vector<std::string> arguments;
    for (const QString& argument : app.arguments().mid(1)) arguments.push_back(argument.toStdString());

    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const QtLocaleTexts locale;
    const auto store = OpenSettingsStore(title.toStdString());
    QtScheduler scheduler;
    const auto serialPorts = MakeSystemSerialPorts([&timer] { return timer.ReadCounter(); },
                                                   [&scheduler](auto call) { scheduler.Post(std::move(call)); });
    const auto inputClock = MakeSystemInputEventClock();
    InputEventTimes inputTimes(timer, *inputClock);

    // The system's hot keys outlive the model, which gives them back at its end.
    std::unique_ptr<HotKeyGrabber> hotKeys;

    // The model first, then its windows in the order they depend on each
    // other; they go in reverse.
    ProtocolFile protocolFile;
    ChronivelApp model(timer, locale, *store, scheduler, protocolFile, *serialPorts, CurrentBootId());
    Tfrm_Tickmor window(model, *serialPorts);
    // X11 and Windows stamp keys and clicks on the clock the platform reads;
    // elsewhere (Wayland, no screen) a stamp's clock is not known.
    if (app.platformName() == QLatin1String("xcb") || app.platformName() == QLatin1String("windows"))
        window.StampInputWith(inputTimes);
    window.Start({title, DefaultProtocolPath(executable.absolutePath().toStdString(), title.toStdString()),
                       ParseCommandLine(arguments)});
    if (lock.Get() == InstanceLock::State::Failed)
        model.Tell({NoticeTopic::SingleCopy, Notice::Kind::Problem, "No one-copy lock",
                    lock.Problem() + ". A second copy started now would not be noticed: start only this one."});
    // The portal answers later, from the event loop: the model tells it whenever it comes.
    hotKeys = MakeHotKeyGrabber(title.toStdString(), [&model, &scheduler](const std::string& message) {
        scheduler.Post([&model, message] {
            model.Tell({NoticeTopic::HotKeys, Notice::Kind::News, "Hot keys refused", message});
        });
    });
    if (hotKeys) model.RegisterHotKeys(*hotKeys);
    // The protocol window's own words answer what the user did in it; while
    // it is not in front (its place read at start, runs shown as they are
    // recorded) nobody is looking there, and the window's notice tells it.
    ProtocolWindow* protocolShown = nullptr;
    ProtocolWindow protocol(*store, protocolFile, scheduler, nullptr, [&](const QString& message) {
        if (protocolShown && protocolShown->isActiveWindow())
            ShowMessage(protocolShown, QMessageBox::Critical, message);
        else
            model.Tell({NoticeTopic::ProtocolWindow, Notice::Kind::News, "Protocol window", message.toStdString()});
    });
    protocolShown = &protocol;
    window.AttachProtocolWindow(&protocol);
    SecondMonitor secondMonitor(model, window.DateText(), &window);
    InfoDialog info(&window);
    window.AttachInfoDialog(&info);
    // After the protocol window: its end waits for the reading the live view may have given aside.
    LiveView live(model, timer, protocolFile, scheduler, locale);
    window.AttachLiveView(&live);
    // Before the window shows: whoever sees it may end the program at once.
    QuitOnTerminationSignals(app);
    window.show();
    std::optional<FrontRequests> frontRequests;
    if (lock.Get() == InstanceLock::State::Held) {
        frontRequests.emplace(QString::fromStdString(lock.ChannelName()), [&window] { BringToFront(window); });
        if (!frontRequests->Problem().isEmpty())
            std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(frontRequests->Problem()));
    }

    const int status = app.exec();
    protocol.close();  // keeps edits made in it
    window.Shutdown();
    return status;
}
