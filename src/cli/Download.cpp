// orvexctl download: one profile file to one or more controllers at once, optionally read back.
#include "Commands.h"
#include "Files.h"
#include "Interrupts.h"
#include "Options.h"
#include "Output.h"
#include "PortJobs.h"
#include "ProfileChecks.h"
#include "Transfers.h"

int Download(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption json = Options::Json();
    const QCommandLineOption noVerify(QStringLiteral("no-verify"),
                                      QStringLiteral("Do not read the profile back: the reply alone decides."));
    const QCommandLineOption verify(QStringLiteral("verify"),
                                    QStringLiteral("Read the profile back and compare it (the default; kept for old "
                                                   "scripts)."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Send a profile the window's rules would refuse."));
    CommandLine line(
        QStringLiteral("download"), QStringLiteral("download --port DEV [--port DEV ...] [--no-verify] [--force] FILE"),
        QStringLiteral("Sends the 320-byte profile FILE (\"-\" reads standard input) to the controller on each DEV as\n"
                       "Tamlin Orvex Interface does (\"W\", then the image in two halves with the controller's waits,\n"
                       "about 20 seconds), to all ports at the same time, then reads the profile back (about 6\n"
                       "seconds more) and compares it: a port succeeds only when the controller holds the profile\n"
                       "sent; the fields that differ go to stderr. Progress goes to stderr; at the end one line a\n"
                       "port on stdout: the port, the result and the controller's reply. A controller that does not\n"
                       "confirm the download with its reply (monitor frames are no reply) fails: the profile may\n"
                       "not be stored. --no-verify skips the read-back. A profile the window would refuse, or a\n"
                       "curve that stops the fan at its hot end, is refused unless --force. Each download goes to\n"
                       "the journal (orvexctl journal); one that cannot be written there is said on stderr.\n"
                       "Exit status: 0 when every port succeeded, 1 otherwise."),
        {port, noVerify, verify, force, json});
    if (const std::optional<int> done = line.Parse(args, 1, 1))
        return *done;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;
    if (line.IsSet(verify) && line.IsSet(noVerify))
        return line.UsageError(QStringLiteral("--verify and --no-verify exclude each other"));

    const QString path = line.Arguments().constFirst();
    const SendableProfile profile = ReadSendableProfile(path, line.IsSet(force));
    if (!profile.error.isEmpty())
        return Refuse(profile.error);

    std::vector<std::unique_ptr<PortJob>> jobs;
    for (const QString &device : *ports)
        jobs.push_back(std::make_unique<DownloadJob>(device, profile.image, !line.IsSet(noVerify)));
    const std::optional<int> interrupted = RunJobs(jobs);
    JournalDownloads(jobs);
    if (interrupted) {
        Err::Line(QStringLiteral("interrupted; the controller may hold part of a profile"));
        return *interrupted;
    }
    return Out::Finish(ReportJobs(jobs, line.IsSet(json)));
}
