// orvexctl journal: the downloads kept in the state folder, and one of them written out.
#include "Commands.h"
#include "Files.h"
#include "Options.h"
#include "Output.h"

#include "DownloadJournal.h"
#include "PortList.h"

#include <QJsonObject>

namespace {
const QString kDescription =
    QStringLiteral("Lists the downloads to controllers that the window and orvexctl have made, the latest first,\n"
                   "one line each: its number, the time, the port, the profile's SOFTWARE_IssueVERSION name, the\n"
                   "result and whether the controller was read back and held the profile. The journal lives in\n"
                   "$ORVEX_STATE_DIR, else $XDG_STATE_HOME/orvex, else ~/.local/state/orvex, and keeps the latest\n"
                   "%1 downloads. \"journal show N -o FILE\" writes the 320 bytes sent by download N to FILE\n"
                   "(\"-\" for standard output).");

bool ForPort(const JournalEntry &entry, const QString &port)
{
    return entry.port == port || entry.device == port || entry.port == StablePortName(port);
}

QJsonObject EntryJson(int number, const JournalEntry &e, const DecodedProfile &decoded)
{
    QJsonObject object{{QStringLiteral("number"), number},
                       {QStringLiteral("time"), e.time.toUTC().toString(Qt::ISODateWithMs)},
                       {QStringLiteral("port"), e.port},
                       {QStringLiteral("device"), e.device},
                       {QStringLiteral("softwareNumber"), decoded.fields.softwareNumber},
                       {QStringLiteral("versionNumber"), decoded.fields.versionNumber},
                       {QStringLiteral("result"), e.result},
                       {QStringLiteral("reply"), e.reply},
                       {QStringLiteral("source"), e.source}};
    if (e.verified)
        object.insert(QStringLiteral("verified"), *e.verified);
    if (!e.detail.isEmpty())
        object.insert(QStringLiteral("detail"), e.detail);
    return object;
}

int Show(const QStringList &args)
{
    const QCommandLineOption output = Options::Output();
    CommandLine line(QStringLiteral("journal show"), QStringLiteral("journal show N -o FILE"),
                     kDescription.arg(DownloadJournal::kLimit), {output});
    if (const std::optional<int> done = line.Parse(args, 1, 1))
        return *done;
    bool isNumber = false;
    const int number = line.Arguments().constFirst().toInt(&isNumber);
    if (!isNumber || number < 1)
        return line.UsageError(QStringLiteral("N is the number of a download, 1 the latest"));
    if (!line.IsSet(output))
        return line.UsageError(QStringLiteral("-o FILE is missing"));
    const std::vector<JournalEntry> entries = DownloadJournal(DownloadJournal::DefaultFolder()).Entries();
    if (static_cast<std::size_t>(number) > entries.size())
        return Refuse(QStringLiteral("the journal holds %1 downloads, not %2").arg(entries.size()).arg(number));
    const JournalEntry &entry = entries[static_cast<std::size_t>(number - 1)];
    const QString reason = WriteOutput(
        line.Value(output), QByteArray(reinterpret_cast<const char *>(entry.image.data()), kProfileImageSize));
    if (!reason.isEmpty())
        return Refuse(QStringLiteral("%1: %2").arg(line.Value(output), reason));
    return Out::Finish(kExitOk);
}
} // namespace

int Journal(const QStringList &args)
{
    if (!args.isEmpty() && args.constFirst() == QStringLiteral("show"))
        return Show(args.mid(1));
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption json = Options::Json();
    CommandLine line(QStringLiteral("journal"),
                     QStringLiteral("journal [--json] [--port DEV]\n       orvexctl journal show N -o FILE"),
                     kDescription.arg(DownloadJournal::kLimit), {port, json});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    const QStringList ports = line.Values(port);
    const std::vector<JournalEntry> entries = DownloadJournal(DownloadJournal::DefaultFolder()).Entries();
    const TemperatureCodeTable codes;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const JournalEntry &e = entries[i];
        if (!ports.isEmpty() &&
            std::none_of(ports.begin(), ports.end(), [&](const QString &p) { return ForPort(e, p); }))
            continue;
        const DecodedProfile decoded = DecodeProfileImage(e.image.data(), false, codes);
        const int number = static_cast<int>(i) + 1;
        if (line.IsSet(json)) {
            Out::Json(EntryJson(number, e, decoded));
            continue;
        }
        Out::Line(QStringLiteral("%1\t%2\t%3\t%4_Issue%5\t%6\t%7")
                      .arg(number)
                      .arg(e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.port,
                           decoded.fields.softwareNumber, decoded.fields.versionNumber, e.result, e.VerifiedText()));
    }
    return Out::Finish(kExitOk);
}
