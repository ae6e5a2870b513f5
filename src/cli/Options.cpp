// Per-command parsing: conventional options, errors that name what was wrong.
#include "Options.h"

#include "Output.h"

#include <unistd.h>

namespace Options {
QCommandLineOption Port()
{
    return {{QStringLiteral("p"), QStringLiteral("port")},
            QStringLiteral("The controller's serial device; give it again for more controllers."),
            QStringLiteral("dev")};
}

QCommandLineOption Output()
{
    return {{QStringLiteral("o"), QStringLiteral("output")},
            QStringLiteral("The file to write; \"-\" is standard output."),
            QStringLiteral("file")};
}

QCommandLineOption Json()
{
    return {QStringLiteral("json"), QStringLiteral("Print JSON instead of text.")};
}

QCommandLineOption Help()
{
    return {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Print this help and exit.")};
}

QCommandLineOption Verbose()
{
    return {{QStringLiteral("v"), QStringLiteral("verbose")},
            QStringLiteral("Trace every byte on the serial line, with its time, on stderr.")};
}
} // namespace Options

CommandLine::CommandLine(QString command, QString synopsis, QString description,
                         const QList<QCommandLineOption> &options)
    : command(std::move(command)), synopsis(std::move(synopsis)), description(std::move(description))
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(options);
    parser.addOption(Options::Verbose());
    parser.addOption(Options::Help());
}

QString CommandLine::HelpText() const
{
    // Qt's own option list, under our usage line and description.
    const QString generated = parser.helpText();
    const qsizetype options = generated.indexOf(QStringLiteral("Options:"));
    return QStringLiteral("usage: orvexctl %1\n\n%2\n\n%3")
        .arg(synopsis, description, options < 0 ? QString() : generated.mid(options).trimmed() + QLatin1Char('\n'));
}

int CommandLine::UsageError(const QString &message) const
{
    Err::Line(QStringLiteral("%1: %2").arg(command, message));
    Err::Note(QStringLiteral("usage: orvexctl %1\n(orvexctl %2 --help tells more)").arg(synopsis, command));
    return kExitUsage;
}

std::optional<int> CommandLine::Parse(const QStringList &args, int minArguments, int maxArguments)
{
    if (!parser.parse(QStringList{QStringLiteral("orvexctl")} + args))
        return UsageError(parser.errorText());
    if (parser.isSet(Options::Verbose()))
        Err::StartTrace();
    if (parser.isSet(Options::Help())) {
        Out::Text(HelpText());
        return Out::Finish(kExitOk);
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given < minArguments)
        return UsageError(QStringLiteral("missing argument"));
    if (given > maxArguments)
        return UsageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments()[maxArguments]));
    return std::nullopt;
}

std::optional<int> CommandLine::Number(const QCommandLineOption &option, int min, int max)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (ok && value >= min && value <= max)
        return value;
    UsageError(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                   .arg(option.names().constLast())
                   .arg(min)
                   .arg(max)
                   .arg(parser.value(option)));
    return std::nullopt;
}

std::optional<QString> CommandLine::BinaryOutput(const QCommandLineOption &output) const
{
    if (parser.isSet(output))
        return parser.value(output);
    if (::isatty(STDOUT_FILENO)) {
        UsageError(QStringLiteral("a profile is binary and standard output is a terminal: give -o FILE, or -o - to "
                                  "write it there anyway"));
        return std::nullopt;
    }
    return QStringLiteral("-");
}
