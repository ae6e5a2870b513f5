// orvexctl diff: two profiles field by field, or a controller's profile against a file.
#include "Commands.h"
#include "Files.h"
#include "Interrupts.h"
#include "Options.h"
#include "Output.h"
#include "PortJobs.h"
#include "ProfileJson.h"

namespace {
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2; // as diff(1) says it

// Why a file cannot be compared; a short one would compare as zeros past its end, differences
// nobody made.
QString Refusal(const QString &path, const ProfileInput &input)
{
    if (!input.error.isEmpty())
        return input.error;
    if (input.length < kProfileImageSize)
        return QStringLiteral("%1: a profile file holds %2 bytes, this one %3")
            .arg(path == QStringLiteral("-") ? QStringLiteral("standard input") : path)
            .arg(kProfileImageSize)
            .arg(input.length);
    return {};
}
} // namespace

int Diff(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption json = Options::Json();
    CommandLine line(
        QStringLiteral("diff"), QStringLiteral("diff [--json] A.dat B.dat | diff --port DEV [--json] FILE"),
        QStringLiteral("Prints the fields in which two profile files differ, one \"key: a -> b\" line each, curve\n"
                       "entries as ranges (curve[101..120]: 30..50 -> 35..55); \"-\" reads standard input. With\n"
                       "--port the first profile is the one the controller on DEV holds (read as upload reads it,\n"
                       "about 6 seconds). A file shorter than a profile (320 bytes) is trouble. Exit status, as\n"
                       "diff's: 0 when equal, 1 when they differ, 2 on trouble."),
        {port, json});
    static_assert(kExitUsage == kExitTrouble, "a usage error is trouble to diff's callers");
    if (const std::optional<int> done = line.Parse(args, 1, 2))
        return *done;
    const QStringList ports = line.Values(port);
    if (ports.size() > 1)
        return line.UsageError(QStringLiteral("diff compares with one controller"));
    const qsizetype files = ports.isEmpty() ? 2 : 1;
    if (line.Arguments().size() != files)
        return line.UsageError(ports.isEmpty() ? QStringLiteral("two files are needed, or --port and one file")
                                               : QStringLiteral("with --port, one file"));
    if (line.Arguments().count(QStringLiteral("-")) > 1)
        return line.UsageError(QStringLiteral("standard input can be read once"));

    ProfileImage a{};
    ProfileImage b{};
    const QString lastPath = line.Arguments().constLast();
    const ProfileInput last = ReadProfileInput(lastPath);
    if (const QString trouble = Refusal(lastPath, last); !trouble.isEmpty()) {
        Err::Line(trouble);
        return kExitTrouble;
    }
    b = last.image;
    if (ports.isEmpty()) {
        const ProfileInput first = ReadProfileInput(line.Arguments().constFirst());
        if (const QString trouble = Refusal(line.Arguments().constFirst(), first); !trouble.isEmpty()) {
            Err::Line(trouble);
            return kExitTrouble;
        }
        a = first.image;
    } else {
        std::vector<std::unique_ptr<PortJob>> jobs;
        jobs.push_back(std::make_unique<UploadJob>(ports.constFirst(), QString()));
        if (const std::optional<int> interrupted = RunJobs(jobs))
            return *interrupted;
        const PortOutcome &outcome = jobs.front()->Outcome();
        if (!outcome.ok || !outcome.image) {
            Err::Line(QStringLiteral("%1: %2").arg(outcome.port, outcome.detail));
            return kExitTrouble;
        }
        a = *outcome.image;
    }

    const TemperatureCodeTable table;
    const std::vector<ProfileDifference> differences = CompareProfiles(a, b, table);
    if (line.IsSet(json)) {
        Out::Json(QJsonObject{{QStringLiteral("equal"), differences.empty()},
                              {QStringLiteral("differences"), DifferencesJson(differences)}});
    } else {
        for (const ProfileDifference &difference : differences)
            Out::Line(difference.Line());
    }
    if (Out::Failed()) {
        Out::Finish(kExitFailed);
        return kExitTrouble;
    }
    return differences.empty() ? kExitOk : kExitDifferent;
}
