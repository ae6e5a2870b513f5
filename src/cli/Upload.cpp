// orvexctl upload: the profiles of one or more controllers into files, all at once.
#include "Commands.h"
#include "Files.h"
#include "Options.h"
#include "Output.h"
#include "PortJobs.h"
#include "Transfers.h"

#include <QFileInfo>

int Upload(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption output = Options::Output();
    const QCommandLineOption json = Options::Json();
    CommandLine line(
        QStringLiteral("upload"), QStringLiteral("upload --port DEV [--port DEV ...] [-o FILE]"),
        QStringLiteral("Reads the profile stored in the controller on each DEV (about 6 seconds, all ports at the\n"
                       "same time) and writes its 320 bytes to FILE; \"-\" writes standard output, and so does no -o\n"
                       "unless standard output is a terminal. With more than one port, %p in FILE stands for the\n"
                       "port's base name (-o got-%p.dat). FILE is checked before the exchange. When the controller "
                       "holds no profile or its answer comes short, FILE is left alone.\n"
                       "One line a port on stdout at the end. Exit status: 0 when every port succeeded, 1 otherwise."),
        {port, output, json});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;
    const std::optional<QString> target = line.BinaryOutput(output);
    if (!target)
        return kExitUsage;
    const QString pattern = *target;
    if (ports->size() > 1 && !pattern.contains(QStringLiteral("%p")))
        return line.UsageError(QStringLiteral("with more than one port, -o needs %p for the port's name"));
    if (ports->size() > 1 && IsStandardStream(pattern))
        return line.UsageError(QStringLiteral("more than one profile cannot go to standard output"));

    QStringList files;
    for (const QString &device : *ports) {
        QString file = pattern;
        file.replace(QStringLiteral("%p"), QFileInfo(device).fileName());
        if (files.contains(file))
            return line.UsageError(QStringLiteral("two ports would write %1").arg(file));
        files << file;
    }
    // A file that cannot be written is found before the controller's time is spent on it.
    for (const QString &file : files) {
        if (const QString problem = OutputProblem(file); !problem.isEmpty())
            return Refuse(problem + QStringLiteral("; nothing was read"));
    }

    std::vector<std::unique_ptr<PortJob>> jobs;
    for (qsizetype i = 0; i < ports->size(); ++i)
        jobs.push_back(std::make_unique<UploadJob>(ports->at(i), files[i]));
    if (const std::optional<int> interrupted = RunJobs(jobs)) {
        Err::Line(QStringLiteral("interrupted; nothing was written"));
        return *interrupted;
    }
    for (const auto &job : jobs) {
        const PortOutcome &o = job->Outcome();
        if (!o.ok || !o.image)
            continue;
        const QString reason =
            WriteOutput(o.file, QByteArray(reinterpret_cast<const char *>(o.image->data()), kProfileImageSize));
        if (!reason.isEmpty())
            job->FailAfter(QStringLiteral("%1: %2").arg(o.file, reason));
    }
    return Out::Finish(ReportJobs(jobs, line.IsSet(json), IsStandardStream(pattern)));
}
