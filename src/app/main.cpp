#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include "app/quitsignals.h"
#include "core/commandline.h"
#include "core/highrestimer.h"
#include "platform/bootclock.h"
#include "platform/protocolfile.h"
#include "platform/systemserialports.h"
#include "platform/systemsettingsstore.h"
#include "platform/systemtimerplatform.h"
#include "ui/infodialog.h"
#include "ui/mainwindow.h"
#include "ui/protocolwindow.h"
#include "ui/qtlocaletexts.h"

using namespace chronivel;

namespace {

// --help and --version as on any Linux program; the /D and /R switches pass
// through as arguments of their own.
void AnswerInformationOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr(
        "A chronometer to 1/1000 s with laps, best time, countdown and a protocol of every run.\n\n"
        "  /D<n>   digit positions of the time text (default 9)\n"
        "  /R<n>   corner rounding of the window in percent (default 100: round)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("switches"), QObject::tr("/D<n> and /R<n>"), QStringLiteral("[/D<n>] [/R<n>]"));
    parser.process(app);  // exits after answering --help or --version, or after a wrong option
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Named after the executable: a renamed copy keeps settings of its own.
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString title = executable.completeBaseName();
    QCoreApplication::setApplicationName(title);
    QCoreApplication::setApplicationVersion(InfoDialog::Version());
    AnswerInformationOptions(app);

    std::vector<std::string> arguments;
    for (const QString& argument : app.arguments().mid(1)) arguments.push_back(argument.toStdString());

    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const QtLocaleTexts locale;
    const auto store = OpenSettingsStore(title.toStdString());
    const auto serialPorts = MakeSystemSerialPorts([&timer] { return timer.ReadCounter(); });

    // The windows in the order they depend on each other; they go in reverse.
    Tfrm_Tickmor window(timer, locale, *store, CurrentBootId(), *serialPorts);
    window.FormCreate({title, DefaultProtocolPath(executable.absolutePath().toStdString(), title.toStdString()),
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
