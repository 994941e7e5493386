// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

#include "platform/systemsettingsstore.h"
#include "ui/help.h"

namespace chronivel {

namespace {

constexpr qsizetype MaxNameLength = 40;
constexpr qsizetype MaxNames = 5;

// The /D and /R switches pass through as arguments of their own.
void SetUp(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QObject::tr(
        "A chronometer to 1/1000 s with laps, best time, countdown and a protocol of every run.\n\n"
        "  /D<n>   digit positions of the time text (default 9)\n"
        "  /R<n>   corner rounding of the window in percent (default 100: round)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("switches"), QObject::tr("/D<n> and /R<n>"), QStringLiteral("[/D<n>] [/R<n>]"));
}

// What a user looks for first: the switches, where the files are, the keys.
// Qt's own options are left to --help-all, which needs the window system.
QString HelpText()
{
    const QString title = QCoreApplication::applicationName();
    const QString programDir = QCoreApplication::applicationDirPath();
    QString manual = FindManual(programDir);
    if (manual.isEmpty()) manual = QObject::tr("not installed for the program in %1").arg(programDir);
    return QObject::tr(
               "Usage: %1 [/D<n>] [/R<n>] [Qt options]\n"
               "A chronometer to 1/1000 s with laps, best time, countdown, light barriers\n"
               "and a protocol of every run.\n"
               "\n"
               "Options:\n"
               "  -h, --help      this text\n"
               "  --help-all      this text and the window system's options (needs a display)\n"
               "  -v, --version   the version\n"
               "  /D<n>           digits of the time text (default 9; 7 drops the hours)\n"
               "  /R<n>           corner rounding of the window in percent (default 100: round;\n"
               "                  /R0: square)\n"
               "  -platform <name>, -display <display>, ...: Qt's options, see --help-all\n"
               "\n"
               "Files:\n"
               "  settings   %2\n"
               "  protocol   Protocol.txt beside the program for a copy run from a folder of\n"
               "             its own; for an installed program\n"
               "             $XDG_DATA_HOME/Orvantis/%1/Protocol.txt (~/.local/share/…);\n"
               "             the configuration dialog (Ctrl+C) can choose another file\n"
               "  lock       $XDG_RUNTIME_DIR/Orvantis/%1.lock\n"
               "  manual     %3\n"
               "\n"
               "Keys:\n"
               "  Enter, F5          start, stop or reset     Space, F8     take a lap\n"
               "  Pause              pause and continue       0             reset\n"
               "  Ctrl+C             configuration            Ctrl+M        main menu\n"
               "  Ctrl+P             protocol window          Ctrl+N        protocol in editor\n"
               "  Ctrl+D             calendar                 Ctrl+A        alarm clock\n"
               "  Ctrl+T             second monitor           Ctrl+Z        next zoom\n"
               "  Ctrl+S             sound on or off          Ctrl+Space    minimise\n"
               "  Ctrl+0, Ctrl+Ins   clear the best time      F10           lock lamp\n"
               "  F1                 the manual               F3            version\n"
               "  F9                 countdown on or off\n"
               "  Alt+Space          a lap while the protocol window is in front\n"
               "Whichever program is in front:\n"
               "  Ctrl+Shift+F12     start, stop or reset\n"
               "  Ctrl+Shift+F11     take a lap\n"
               "  Ctrl+Shift+Space   minimise\n")
        .arg(title, QDir::toNativeSeparators(QString::fromStdString(SettingsLocation(title.toStdString()))),
             QDir::toNativeSeparators(manual));
}

QString Shortened(const QString& name)
{
    return name.size() <= MaxNameLength ? name : name.left(MaxNameLength) + QStringLiteral("…");
}

}  // namespace

void AnswerInformationOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    SetUp(parser);
    // The window system's own options (-platformtheme, -reverse, …) are unknown
    // here and judged once it exists. Read whole, so that their letters are not
    // taken for -h or -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.parse(app.arguments());
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(HelpText()), stdout);
        std::exit(EXIT_SUCCESS);
    }
}

void CheckOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    SetUp(parser);
    if (!parser.parse(app.arguments())) {
        const QString unknown = parser.unknownOptionNames().isEmpty() ? parser.errorText()
                                                                      : UnknownOptionsText(parser.unknownOptionNames());
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(unknown));
        std::exit(EXIT_FAILURE);
    }
    parser.process(app);  // answers --help-all
}

QString UnknownOptionsText(const QStringList& names)
{
    if (names.size() == 1) return QCommandLineParser::tr("Unknown option '%1'.").arg(Shortened(names.first()));
    QStringList shown;
    for (qsizetype i = 0; i < names.size() && i < MaxNames; ++i) shown.append(Shortened(names[i]));
    if (names.size() > MaxNames) shown.append(QObject::tr("and %n more", nullptr, static_cast<int>(names.size() - MaxNames)));
    return QCommandLineParser::tr("Unknown options: %1.").arg(shown.join(QStringLiteral(", ")));
}

}  // namespace chronivel
