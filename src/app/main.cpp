#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QShortcut>

#include "app/quitsignals.h"
#include "core/commandline.h"
#include "core/highrestimer.h"
#include "core/protocol.h"
#include "platform/bootclock.h"
#include "platform/protocolfile.h"
#include "platform/systemsettingsstore.h"
#include "platform/systemtimerplatform.h"
#include "ui/help.h"
#include "ui/infodialog.h"
#include "ui/protocolwindow.h"
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
    const QString problem = keeper.Load(DefaultProtocolPath(executable.absolutePath().toStdString(), title.toStdString()));
    ProtocolWindow protocol(*store);
    protocol.SetPath(QString::fromStdString(keeper.Kept().fileName));

    keeper.saveOthers = [&protocol] { protocol.SaveGeometry(); };
    window.controlsChanged = [&keeper] { keeper.ControlsChanged(); };
    window.writeProtocol = [&protocol](const std::vector<std::string>& lines) {
        if (!AppendToProtocol(protocol.Path().toStdString(), ProtocolBlock(lines))) return false;
        protocol.AppendRun(lines);
        return true;
    };
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), &window, [&protocol] { protocol.Toggle(); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), &window, [&protocol] { OpenInTextEditor(protocol.Path()); });
    new QShortcut(QKeySequence(Qt::Key_F1), &window, [&window, &title] {
        if (!OpenManual())
            QMessageBox::warning(&window, title, QObject::tr("The manual could not be opened: it is not installed beside the program, or no web browser is set up."));
    });
    new QShortcut(QKeySequence(Qt::Key_F3), &window, [&window] { InfoDialog(&window).exec(); });
    window.StartUpDone();
    window.show();
    if (!problem.isEmpty()) QMessageBox::critical(&window, title, problem);

    QuitOnTerminationSignals(app);
    const int status = app.exec();
    protocol.close();  // keeps edits made in it
    keeper.Save();
    return status;
}
