#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

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
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(EXIT_SUCCESS);
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
