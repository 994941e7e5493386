#include <QApplication>
#include <QFileInfo>

#include <optional>

#include "app/graphicalsession.h"
#include "app/options.h"
#include "app/quitsignals.h"
#include "core/commandline.h"
#include "core/highrestimer.h"
#include "core/inputtime.h"
#include "platform/bootclock.h"
#include "platform/protocolfile.h"
#include "platform/systeminputclock.h"
#include "platform/systemserialports.h"
#include "platform/systemsettingsstore.h"
#include "platform/systemtimerplatform.h"
#include "ui/infodialog.h"
#include "ui/mainwindow.h"
#include "ui/protocolwindow.h"
#include "ui/qtscheduler.h"
#include "ui/qtlocaletexts.h"

using namespace chronivel;

int main(int argc, char* argv[])
{
    QFileInfo executable;
    {
        const QCoreApplication withoutWindows(argc, argv);
        executable.setFile(QCoreApplication::applicationFilePath());
        // Named after the executable: a renamed copy keeps settings of its own.
        QCoreApplication::setApplicationName(executable.completeBaseName());
        QCoreApplication::setApplicationVersion(InfoDialog::Version());
        AnswerInformationOptions(withoutWindows);
    }
    const QString title = QCoreApplication::applicationName();
    std::optional<GraphicalSessionGuard> guard(std::in_place, title);
    QApplication app(argc, argv);
    guard.reset();
    CheckOptions(app);

    std::vector<std::string> arguments;
    for (const QString& argument : app.arguments().mid(1)) arguments.push_back(argument.toStdString());

    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const QtLocaleTexts locale;
    const auto store = OpenSettingsStore(title.toStdString());
    const auto serialPorts = MakeSystemSerialPorts([&timer] { return timer.ReadCounter(); });
    const auto inputClock = MakeSystemInputEventClock();
    InputEventTimes inputTimes(timer, *inputClock);

    // The model first, then its windows in the order they depend on each
    // other; they go in reverse.
    QtScheduler scheduler;
    ProtocolFile protocolFile;
    ChronivelApp model(timer, locale, *store, scheduler, protocolFile, *serialPorts, CurrentBootId());
    Tfrm_Tickmor window(model, *serialPorts);
    // X11 and Windows stamp keys and clicks on the clock the platform reads;
    // elsewhere (Wayland, no screen) a stamp's clock is not known.
    if (app.platformName() == QLatin1String("xcb") || app.platformName() == QLatin1String("windows"))
        window.StampInputWith(inputTimes);
    window.Start({title, DefaultProtocolPath(executable.absolutePath().toStdString(), title.toStdString()),
                       ParseCommandLine(arguments)});
    ProtocolWindow protocol(*store);
    window.AttachProtocolWindow(&protocol);
    InfoDialog info(&window);
    window.AttachInfoDialog(&info);
    // Before the window shows: whoever sees it may end the program at once.
    QuitOnTerminationSignals(app);
    window.show();

    const int status = app.exec();
    protocol.close();  // keeps edits made in it
    window.Shutdown();
    return status;
}
