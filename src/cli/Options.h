// The command line of each command on QCommandLineParser: its options, its help, its usage errors.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Options {
QCommandLineOption Port();   // -p, --port DEV (may be given again)
QCommandLineOption Output(); // -o, --output FILE
QCommandLineOption Json();
QCommandLineOption Help();
QCommandLineOption Verbose(); // -v, --verbose: every command takes it
} // namespace Options

class CommandLine
{
public:
    // synopsis: what follows "orvexctl " in the usage line; description: what the command does.
    CommandLine(QString command, QString synopsis, QString description, const QList<QCommandLineOption> &options);

    // None to go on; otherwise the exit status: 0 after the help, 2 after a usage error named on stderr.
    std::optional<int> Parse(const QStringList &args, int minArguments, int maxArguments);
    QString HelpText() const;
    // A usage error: the line on stderr, the usage line after it; returns 2.
    int UsageError(const QString &message) const;

    bool IsSet(const QCommandLineOption &option) const { return parser.isSet(option); }
    QString Value(const QCommandLineOption &option) const { return parser.value(option); }
    QStringList Values(const QCommandLineOption &option) const { return parser.values(option); }
    QStringList Arguments() const { return parser.positionalArguments(); }
    // A whole number option within [min, max]; an error named on stderr otherwise.
    std::optional<int> Number(const QCommandLineOption &option, int min, int max);
    // Where a profile image goes: -o FILE, or standard output without -o unless that is a terminal
    // (binary there would garble it; "-o -" is the explicit way). None after a usage error.
    std::optional<QString> BinaryOutput(const QCommandLineOption &output) const;

private:
    QString command;
    QString synopsis;
    QString description;
    QCommandLineParser parser;
};
