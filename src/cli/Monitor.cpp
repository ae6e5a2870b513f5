// orvexctl monitor: the readings of one or more controllers as text, CSV or JSON lines.
#include "Commands.h"
#include "FrameReader.h"
#include "Interrupts.h"
#include "Options.h"
#include "Output.h"
#include "Transfers.h"

#include "MonitorCsv.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>

#include <limits>
#include <memory>

namespace {
enum class Form { Text, Csv, Json };

// One port's readings, its count and its patience.
struct Watch
{
    std::unique_ptr<FrameReader> reader;
    QTimer patience;
    ThermistorFaultTracker thermistor;
    int shown = 0;
    bool finished = false;
    bool failed = false;
};

QString ReadingLine(const MonitorReading &reading)
{
    QString alarm;
    if (reading.alarm) {
        if (const std::optional<QString> text = AlarmText(*reading.alarm, reading.kind))
            alarm = text->simplified();
    }
    return ReadingText(reading.liveValue, reading.kind == MonitorReading::Temperature, reading.thermistorFault) +
           QStringLiteral("  ") + PwmText(reading.pwmValue) + QStringLiteral("  ") + alarm;
}

QJsonObject ReadingJson(const QString &port, const QDateTime &time, double seconds, const MonitorReading &reading)
{
    const bool temperature = reading.kind == MonitorReading::Temperature;
    QJsonObject object{
        {QStringLiteral("port"), port},
        {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("seconds"), qRound(seconds * 10) / 10.0},
        {QStringLiteral("kind"), temperature ? QStringLiteral("temperature") : QStringLiteral("voltage")},
        {QStringLiteral("value"), qRound((temperature ? reading.liveValue : reading.liveValue / 25.5) * 10) / 10.0},
        {QStringLiteral("pwm_percent"), qRound(reading.pwmPercent * 10) / 10.0},
        {QStringLiteral("adc"), reading.adc},
        {QStringLiteral("pwm_raw"), reading.pwmRaw}};
    object.insert(QStringLiteral("alarm_code"), reading.alarm ? QJsonValue(*reading.alarm) : QJsonValue());
    if (temperature && reading.thermistorFault)
        object.insert(QStringLiteral("thermistor_fault"), true);
    return object;
}
} // namespace

int Monitor(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption json = Options::Json();
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Stop after this many readings a port (0: until Ctrl+C)."),
                                   QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Fail a port that sends no valid reading for this long (0: "
                                                    "never; default 10)."),
                                     QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Print CSV lines under a header line."));
    CommandLine line(
        QStringLiteral("monitor"),
        QStringLiteral("monitor --port DEV [--port DEV ...] [--count N] [--timeout SECONDS] [--csv | --json]"),
        QStringLiteral("Prints each reading the controllers on DEV send, about one a second a port: reading, PWM and\n"
                       "alarm; with more than one port each line starts with its port. --csv prints the columns\n"
                       "time,seconds,kind,value,pwm_percent,alarm_code,adc,pwm_raw (time in UTC, ISO 8601 with\n"
                       "milliseconds; with more than one port a last column, port); --json one object a reading.\n"
                       "Stops after N readings a port, or on Ctrl+C (exit 130). A port with no valid reading within\n"
                       "the timeout, or whose cable is pulled, fails; the others go on. Exit status: 0 when every\n"
                       "port gave its readings, 1 otherwise."),
        {port, count, timeout, csv, json});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;
    if (line.IsSet(csv) && line.IsSet(json))
        return line.UsageError(QStringLiteral("--csv and --json exclude each other"));
    const std::optional<int> wanted = line.Number(count, 0, 1000000000);
    // The timer counts milliseconds in an int: about 24 days at most.
    const std::optional<int> patience = line.Number(timeout, 0, std::numeric_limits<int>::max() / 1000);
    if (!wanted || !patience)
        return kExitUsage;
    const Form form = line.IsSet(csv) ? Form::Csv : line.IsSet(json) ? Form::Json : Form::Text;
    const bool tagged = ports->size() > 1;

    QEventLoop loop;
    std::vector<std::unique_ptr<Watch>> watches;
    QElapsedTimer clock;
    auto allFinished = [&watches] {
        return std::all_of(watches.begin(), watches.end(), [](const auto &w) { return w->finished; });
    };
    auto finish = [&](Watch &watch, const QString &failure) {
        if (watch.finished)
            return;
        watch.finished = true;
        watch.patience.stop();
        watch.reader->Close();
        if (!failure.isEmpty()) {
            watch.failed = true;
            Err::Line(QStringLiteral("%1: %2").arg(watch.reader->Device(), failure));
        }
        if (allFinished())
            loop.quit();
    };

    if (form == Form::Csv)
        Out::Line(MonitorCsvHeader() + (tagged ? QStringLiteral(",port") : QString()));
    clock.start();
    for (const QString &device : *ports) {
        auto watch = std::make_unique<Watch>();
        Watch &w = *watch;
        w.reader = std::make_unique<FrameReader>(device);
        w.patience.setSingleShot(true);
        QObject::connect(&w.patience, &QTimer::timeout, &loop, [&, patienceSeconds = *patience] {
            finish(w, QStringLiteral("no valid reading in %1 s").arg(patienceSeconds));
        });
        QObject::connect(w.reader.get(), &FrameReader::lost, &loop, [&](const QString &why) { finish(w, why); });
        QObject::connect(w.reader.get(), &FrameReader::reading, &loop, [&, device](const MonitorReading &r) {
            if (w.finished)
                return;
            MonitorReading reading = r;
            w.thermistor.Update(reading);
            const QDateTime now = QDateTime::currentDateTimeUtc();
            const double seconds = clock.elapsed() / 1000.0;
            const QString tag = tagged ? device + QStringLiteral(": ") : QString();
            switch (form) {
            case Form::Text: Out::Line(tag + ReadingLine(reading)); break;
            case Form::Csv:
                Out::Line(MonitorCsvRow(now, seconds, reading) +
                          (tagged ? QLatin1Char(',') + MonitorCsvField(device) : QString()));
                break;
            case Form::Json: Out::Json(ReadingJson(device, now, seconds, reading)); break;
            }
            if (Out::Failed()) {
                loop.quit(); // nobody reads what follows
                return;
            }
            if (*patience > 0)
                w.patience.start(*patience * 1000);
            if (*wanted > 0 && ++w.shown >= *wanted)
                finish(w, QString());
        });
        watches.push_back(std::move(watch));
    }
    for (const auto &watch : watches) {
        if (const QString why = watch->reader->Open(); !why.isEmpty()) {
            finish(*watch, why); // its quit comes before the loop runs, which allFinished() covers
        } else if (*patience > 0) {
            watch->patience.start(*patience * 1000);
        }
    }
    const std::optional<int> interrupted = allFinished() ? std::nullopt : Interrupts::Exec(loop);
    for (const auto &watch : watches)
        watch->reader->Close();
    if (interrupted)
        return *interrupted;
    if (Out::Failed())
        return Out::Finish(kExitFailed);
    const bool anyFailed = std::any_of(watches.begin(), watches.end(), [](const auto &w) { return w->failed; });
    return anyFailed ? kExitFailed : kExitOk;
}
