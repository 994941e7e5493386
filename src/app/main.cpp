#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/quitsignals.h"
#include "core/commandline.h"
#include "core/highrestimer.h"
#include "core/protocol.h"
#include "platform/bootclock.h"
#include "platform/protocolfile.h"
#include "platform/systemsettingsstore.h"
#include "platform/systemtimerplatform.h"
#include "ui/qtlocaletexts.h"
#include "ui/settingskeeper.h"
#include "ui/trialwindow.h"

using namespace chronivel;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Named after the executable: a renamed copy keeps settings of its own.
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString title = executable.completeBaseName();
    QCoreApplication::setApplicationName(title);

    std::vector<std::string> arguments;
    for (const QString& argument : app.arguments().mid(1)) arguments.push_back(argument.toStdString());
    const CommandLine commandLine = ParseCommandLine(arguments);

    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const QtLocaleTexts locale;
    const auto store = OpenSettingsStore(title.toStdString());

    TrialWindow window(timer, locale);
    window.setWindowTitle(title);
    window.resize(420, 360);
    window.Clock().Format().SetDigitCount(commandLine.digitCount);

    SettingsKeeper keeper(*store, window.Clock(), timer, window, CurrentBootId());
    window.controlsChanged = [&keeper] { keeper.ControlsChanged(); };
    window.writeProtocol = [&keeper](const std::vector<std::string>& lines) {
        return AppendToProtocol(keeper.Kept().fileName, ProtocolBlock(lines));
    };
    const QString problem = keeper.Load(DefaultProtocolPath(executable.absolutePath().toStdString(), title.toStdString()));
    window.StartUpDone();
    window.show();
    if (!problem.isEmpty()) QMessageBox::critical(&window, title, problem);

    QuitOnTerminationSignals(app);
    const int status = app.exec();
    keeper.Save();
    return status;
}
