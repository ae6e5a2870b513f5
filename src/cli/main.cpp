// orvexctl: profile files and the controller from the command line, on the same core as the window.
#include "Commands.h"
#include "Interrupts.h"
#include "Output.h"

#include "OrvexVersion.h"
#include "SerialException.h"

#include <QCoreApplication>

#include <exception>
#include <new>

namespace {
const char *const kUsageText =
    "usage: orvexctl [-v] COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "commands:\n"
    "  decode    print the profile a profile file holds\n"
    "  encode    build a profile file from \"key = value\" lines\n"
    "  ports     list the serial ports (device, tab, description)\n"
    "  download  send a profile file to one or more controllers\n"
    "  upload    read the profiles of one or more controllers into files\n"
    "  monitor   print the controllers' readings\n"
    "  diff      compare two profiles, or a controller's profile with a file\n"
    "  apply     make controllers hold a profile file, writing only those that do not\n"
    "  exporter  serve the controllers' readings as Prometheus metrics\n"
    "  journal   list the downloads made, or write one out (journal show N -o FILE)\n"
    "\n"
    "orvexctl help COMMAND (or orvexctl COMMAND --help) tells more about one command;\n"
    "orvexctl --version (-V) prints the version. -v or --verbose, before or after the command,\n"
    "traces every byte sent and read on the serial line, with its time, on stderr.\n"
    "Exit status: 0 done, 1 refused or failed, 2 usage (diff: 1 when the profiles differ, 2 on\n"
    "trouble; apply --check: 0 when every controller could be read), 130 on Ctrl+C, 143 on\n"
    "SIGTERM, 141 when the reader of monitor or decode went away.\n";

using Command = int (*)(const QStringList &);

int Run(const QString &command, const QStringList &args)
{
    const std::pair<const char *, Command> commands[] = {
        {"decode", Decode},   {"encode", Encode}, {"ports", Ports},       {"download", Download}, {"upload", Upload},
        {"monitor", Monitor}, {"diff", Diff},     {"exporter", Exporter}, {"journal", Journal},   {"apply", Apply},
    };
    for (const auto &[name, run] : commands) {
        if (command == QLatin1String(name))
            return run(args);
    }
    if (command.startsWith(QLatin1Char('-')))
        Err::Line(QStringLiteral("unknown option \"%1\" (options follow the command)").arg(command));
    else
        Err::Line(QStringLiteral("unknown command \"%1\"").arg(command));
    Err::Note(QString::fromLatin1(kUsageText).trimmed());
    return kExitUsage;
}
} // namespace

int main(int argc, char **argv)
{
    GuardStandardStreams(); // before anything opens a descriptor
    Interrupts::Install();  // before anything can block
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvexctl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kOrvexVersion));
    QStringList args = QCoreApplication::arguments().mid(1);
    // Options of every command may also come before it.
    while (!args.isEmpty() &&
           (args.constFirst() == QStringLiteral("-v") || args.constFirst() == QStringLiteral("--verbose"))) {
        Err::StartTrace();
        args.removeFirst();
    }
    if (args.isEmpty()) {
        Err::Note(QString::fromLatin1(kUsageText).trimmed());
        return kExitUsage;
    }
    QString command = args.takeFirst();
    if (command == QStringLiteral("help") && !args.isEmpty()) {
        // "help COMMAND" is the command's own --help.
        if (args.size() > 1) {
            Err::Line(QStringLiteral("help takes one command, not \"%1\"").arg(args.join(QLatin1Char(' '))));
            return kExitUsage;
        }
        command = args.takeFirst();
        args = QStringList{QStringLiteral("--help")};
    }
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        Out::Text(QString::fromLatin1(kUsageText));
        return Out::Finish(kExitOk);
    }
    if (command == QStringLiteral("--version") || command == QStringLiteral("-V")) {
        Out::Line(QStringLiteral("orvexctl %1").arg(QString::fromLatin1(kOrvexVersion)));
        return Out::Finish(kExitOk);
    }
    // Nothing escapes main: whatever went wrong is said, and the status is 1.
    try {
        const int code = Run(command, args);
        // A signal that came while nothing was blocked still ends the command as a signal does.
        return Interrupts::Received() ? Interrupts::ExitCode() : code;
    } catch (const CSerialException &error) {
        return Refuse(error.Text());
    } catch (const std::bad_alloc &) {
        return Refuse(QStringLiteral("out of memory"));
    } catch (const std::exception &error) {
        return Refuse(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return Refuse(QStringLiteral("unexpected failure"));
    }
}
