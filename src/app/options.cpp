// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

#include "core/keyguide.h"
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

// The keys of the command table, two to a line, then those that act in the
// background only, then the system-wide ones.
QString KeysText()
{
    QStringList own, background;
    for (const KeyGuideRow& row : KeyGuide())
        if (const std::string keys = ShownKeys(RowOf(row.command), row.background); !keys.empty())
            (row.background ? background : own) << QString::fromStdString(keys) << QString::fromUtf8(row.brief);
    QString text;
    for (qsizetype i = 0; i < own.size(); i += 4)
        text += QStringLiteral("  ") + own[i].leftJustified(19) +
                (i + 2 < own.size() ? own[i + 1].leftJustified(25) + own[i + 2].leftJustified(14) + own[i + 3]
                                    : own[i + 1]) + u'\n';
    for (qsizetype i = 0; i < background.size(); i += 2)
        text += QStringLiteral("  ") + background[i].leftJustified(19) + background[i + 1] + u'\n';
    text += QObject::tr("Whichever program is in front:\n");
    for (const HotKeyRow& hot : HotKeyTable())
        text += QStringLiteral("  ") + QString::fromStdString(HotKeyText(hot.key)).leftJustified(19) +
                QString::fromUtf8(GuideOf(hot.command).brief) + u'\n';
    return text;
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
               "             the configuration dialog (%4) can choose another file\n"
               "  lock       $XDG_RUNTIME_DIR/Orvantis/%1.lock\n"
               "  manual     %3\n"
               "\n"
               "Keys:\n")
               .arg(title, QDir::toNativeSeparators(QString::fromStdString(SettingsLocation(title.toStdString()))),
                    QDir::toNativeSeparators(manual),
                    QString::fromStdString(ShownKeys(RowOf(Command::Configuration)))) +
           KeysText();
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
