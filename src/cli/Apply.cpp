// orvexctl apply: the profile of a file on every controller, written only where it is not held yet.
#include "Commands.h"
#include "Options.h"
#include "Output.h"
#include "PortJobs.h"
#include "ProfileChecks.h"
#include "ProfileJson.h"
#include "Transfers.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {
QJsonObject PortJson(const ApplyJob &job)
{
    const PortOutcome &o = job.Outcome();
    const QString status = job.Status();
    QJsonObject object{{QStringLiteral("port"), o.port},
                       {QStringLiteral("status"), status},
                       {QStringLiteral("differences"), DifferencesJson(job.Before())}};
    if (job.HeldNoProfile())
        object.insert(QStringLiteral("noProfile"), true);
    if (!o.reply.isEmpty())
        object.insert(QStringLiteral("reply"), o.reply);
    if (o.verified)
        object.insert(QStringLiteral("verified"), *o.verified);
    if (status == QStringLiteral("failed")) {
        object.insert(QStringLiteral("error"), o.detail);
        if (!o.differences.empty())
            object.insert(QStringLiteral("notVerified"), DifferencesJson(o.differences));
    }
    return object;
}

// What a port's line says after its status.
QString Detail(const ApplyJob &job)
{
    const PortOutcome &o = job.Outcome();
    if (job.Status() == QStringLiteral("changed"))
        return job.HeldNoProfile() ? QStringLiteral("the controller held no profile") : DifferenceKeys(job.Before());
    if (o.result == QStringLiteral("NOT VERIFIED"))
        return QStringLiteral("NOT VERIFIED after the download: %1").arg(o.detail);
    return o.detail;
}
} // namespace

int Apply(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption json = Options::Json();
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Only read the controllers and say what would change; write "
                                                  "nothing."));
    const QCommandLineOption diff(QStringLiteral("diff"),
                                  QStringLiteral("Print the fields in which each controller's profile differs from "
                                                 "FILE."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Send a profile the window's rules would refuse."));
    CommandLine line(
        QStringLiteral("apply"),
        QStringLiteral("apply --port DEV [--port DEV ...] [--check] [--diff] [--json] [--force] FILE"),
        QStringLiteral(
            "Makes every controller hold the profile FILE, writing only where it is needed: reads the profile each\n"
            "DEV holds (as upload does, about 6 seconds, all ports at the same time); a controller whose 320\n"
            "bytes equal FILE's is left alone (\"unchanged\"); any other, or one that holds no profile, gets\n"
            "FILE as download sends it, read back and compared (\"changed\", about 30 seconds more). Each\n"
            "download goes to the journal. --check only reads and says \"would change\"; --diff prints the\n"
            "differing fields, \"DEV: key: held -> FILE's\"; --json prints one JSON document. A profile the\n"
            "window would refuse, or a curve that stops the fan at its hot end, is refused unless --force.\n"
            "Exit status: 0 when every controller holds FILE's profile at the end (with --check: when every\n"
            "controller could be read, whether or not it would change), 1 otherwise, 2 on usage errors."),
        {port, check, diff, json, force});
    if (const std::optional<int> done = line.Parse(args, 1, 1))
        return *done;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;

    const QString path = line.Arguments().constFirst();
    const SendableProfile profile = ReadSendableProfile(path, line.IsSet(force));
    if (!profile.error.isEmpty())
        return Refuse(profile.error);

    std::vector<std::unique_ptr<PortJob>> jobs;
    for (const QString &device : *ports)
        jobs.push_back(std::make_unique<ApplyJob>(device, profile.image, line.IsSet(check)));
    const std::optional<int> interrupted = RunJobs(jobs);
    JournalDownloads(jobs);
    if (interrupted) {
        Err::Line(QStringLiteral("interrupted; a controller being written may hold part of a profile"));
        return *interrupted;
    }

    bool allOk = true;
    bool anyChange = false;
    QJsonArray results;
    for (const auto &portJob : jobs) {
        const auto &job = static_cast<const ApplyJob &>(*portJob);
        const QString status = job.Status();
        allOk = allOk && status != QStringLiteral("failed");
        anyChange = anyChange || status == QStringLiteral("changed") || status == QStringLiteral("would change");
        if (line.IsSet(json)) {
            results.append(PortJson(job));
            continue;
        }
        const QString &name = job.Outcome().port;
        if (line.IsSet(diff)) {
            if (job.HeldNoProfile())
                Out::Line(QStringLiteral("%1: the controller holds no profile").arg(name));
            for (const ProfileDifference &difference : job.Before())
                Out::Line(QStringLiteral("%1: %2").arg(name, difference.Line()));
        }
        // What the read-back found after a download, as download says it.
        for (const ProfileDifference &difference : job.Outcome().differences)
            Err::Line(QStringLiteral("%1: after the download: %2").arg(name, difference.Line()));
        Out::Line(QStringLiteral("%1: %2: %3").arg(name, status, Detail(job)));
    }
    const int code = allOk ? kExitOk : kExitFailed;
    if (line.IsSet(json))
        Out::Json(QJsonObject{{QStringLiteral("file"), path},
                              {QStringLiteral("check"), line.IsSet(check)},
                              {QStringLiteral("ok"), allOk},
                              {QStringLiteral("changed"), anyChange},
                              {QStringLiteral("ports"), results}});
    return Out::Finish(code);
}
