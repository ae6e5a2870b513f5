// orvexctl: profile files and the controller from the command line, on the same core as the window.
#include "AtomicFile.h"
#include "BandCurve.h"
#include "DownloadExchange.h"
#include "EntryRules.h"
#include "LinkText.h"
#include "MonitorFrame.h"
#include "OrvexVersion.h"
#include "PortList.h"
#include "ProfileCodec.h"
#include "ProfileText.h"
#include "SerialException.h"
#include "SerialPort.h"
#include "TemperatureCodeTable.h"
#include "UploadExchange.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;
constexpr int kReadCapacity = 70; // one read of the line, as the window's poll takes it

const char *const kUsageText =
    "usage: orvexctl COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  decode FILE              print the profile a profile file holds\n"
    "  encode TEXTFILE -o FILE  build a profile file from \"key = value\" lines\n"
    "  ports                    list the serial ports (device, tab, description)\n"
    "  download --port DEV FILE send a profile file to the controller\n"
    "  upload --port DEV -o FILE read the controller's profile into a file\n"
    "  monitor --port DEV [--count N] [--csv]  print the controller's readings\n"
    "\n"
    "orvexctl COMMAND --help tells more about one command; orvexctl --version prints the version.\n";

const char *const kDecodeHelp =
    "usage: orvexctl decode FILE\n"
    "\n"
    "Prints the profile that opening FILE in Tamlin Orvex Interface shows, one \"key = value\" line\n"
    "a field, then \"curve = \" and the 256 curve values in percent. Files over 512 bytes are refused.\n";

const char *const kEncodeHelp =
    "usage: orvexctl encode TEXTFILE -o FILE\n"
    "\n"
    "Builds the 320-byte profile file FILE from TEXTFILE, lines of the form decode prints (\"-\" reads\n"
    "standard input). Missing keys take the default template's values. Without a curve line the curve\n"
    "is built from the band fields, as the window does. The window's field rules apply: numbers over a\n"
    "limit are cut to it, and a profile the window refuses is refused with its message.\n";

const char *const kPortsHelp =
    "usage: orvexctl ports\n\nLists the present serial ports and running simulators, one a line:\n"
    "device, a tab, description.\n";
const char *const kDownloadHelp =
    "usage: orvexctl download --port DEV FILE\n"
    "\n"
    "Sends the 320-byte profile FILE to the controller on DEV as Tamlin Orvex Interface does (\"W\", then the\n"
    "image in two halves with the controller's waits, about 20 seconds), shows progress on stderr and prints\n"
    "the controller's reply on stdout.\n";
const char *const kUploadHelp =
    "usage: orvexctl upload --port DEV -o FILE\n"
    "\n"
    "Reads the profile stored in the controller on DEV (about 10 seconds) and writes its 320 bytes to FILE.\n"
    "Exits 1 when the controller holds no profile or its answer comes short; FILE is then left alone.\n";
const char *const kMonitorHelp =
    "usage: orvexctl monitor --port DEV [--count N] [--csv]\n"
    "\n"
    "Prints each reading the controller on DEV sends: reading, PWM and alarm, or with --csv the columns\n"
    "seconds,kind,value,pwm_percent,alarm_code. Stops after N readings or on Ctrl+C.\n";

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

// Waits while the line's notifiers keep running; wakes now and then to see Ctrl+C.
void Wait(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() && !interrupted) {
        QEventLoop loop;
        QTimer::singleShot(std::min<qint64>(deadline.remainingTime(), 100), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

bool WantsHelp(const QStringList &args)
{
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

// Options of the link commands: --port DEV, -o FILE, --count N, --csv, and one plain argument.
struct LinkArgs
{
    QString port;
    QString output;
    QString file;
    int count = 0;
    bool csv = false;
    bool ok = true;
};

LinkArgs ParseLinkArgs(const QStringList &args)
{
    LinkArgs parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QStringLiteral("--port") && i + 1 < args.size())
            parsed.port = args[++i];
        else if (a == QStringLiteral("-o") && i + 1 < args.size())
            parsed.output = args[++i];
        else if (a == QStringLiteral("--count") && i + 1 < args.size())
            parsed.count = args[++i].toInt(&parsed.ok);
        else if (a == QStringLiteral("--csv"))
            parsed.csv = true;
        else if (parsed.file.isEmpty() && !a.startsWith(QLatin1Char('-')))
            parsed.file = a;
        else
            parsed.ok = false;
    }
    return parsed;
}

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

int Refuse(const QString &message)
{
    Err() << "orvexctl: " << message << Qt::endl;
    return kRefused;
}

int Usage(const char *text)
{
    Err() << text;
    return kUsage;
}

int Decode(const QStringList &args)
{
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        QTextStream(stdout) << kDecodeHelp;
        return kOk;
    }
    if (args.size() != 1)
        return Usage(kDecodeHelp);
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("%1: couldn't open source file: %2").arg(args[0], file.errorString()));
    if (file.size() > kFileImageSize)
        return Refuse(QStringLiteral("%1: Wrong type of file opened!, file larger than expected.").arg(args[0]));
    const QByteArray bytes = file.read(kFileImageSize);
    if (file.error() != QFileDevice::NoError)
        return Refuse(QStringLiteral("%1: %2").arg(args[0], file.errorString()));
    std::array<std::uint8_t, kFileImageSize> image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    const TemperatureCodeTable table;
    const DecodedProfile decoded = DecodeProfileImage(image.data(), false, table);
    QTextStream(stdout) << FormatProfileText(decoded.fields, decoded.curveFan);
    return kOk;
}

int Encode(const QStringList &args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kEncodeHelp;
        return kOk;
    }
    QString input;
    QString output;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("-o") && i + 1 < args.size())
            output = args[++i];
        else if (input.isEmpty())
            input = args[i];
        else
            return Usage(kEncodeHelp);
    }
    if (input.isEmpty() || output.isEmpty())
        return Usage(kEncodeHelp);

    QFile source(input);
    const bool opened = input == QStringLiteral("-") ? source.open(stdin, QIODevice::ReadOnly)
                                                     : source.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!opened)
        return Refuse(QStringLiteral("%1: %2").arg(input, source.errorString()));
    ParsedProfileText parsed = ParseProfileText(QString::fromUtf8(source.readAll()));
    if (!parsed.error.isEmpty())
        return Refuse(QStringLiteral("%1: %2").arg(input, parsed.error));

    ControlProfile &profile = parsed.profile;
    if (const std::optional<Refusal> refusal = ApplyEntryRules(profile))
        return Refuse(QStringLiteral("%1: %2").arg(refusal->caption, refusal->text));
    if (const std::optional<Refusal> refusal = CheckSaveable(profile))
        return Refuse(QStringLiteral("%1: %2").arg(refusal->caption, refusal->text));

    FanCurve curve;
    if (parsed.curveFan)
        curve.curveFan = *parsed.curveFan;
    else if (profile.multipoint)
        return Refuse(QStringLiteral("%1: a multipoint profile needs its curve line").arg(input));
    else
        RebuildBandCurve(curve, profile);

    const TemperatureCodeTable table;
    const ProfileImage image = BuildProfileImage(profile, curve.curveFan, table);

    const QString reason =
        WriteFileAtomically(output, QByteArray(reinterpret_cast<const char *>(image.data()), kProfileImageSize));
    return reason.isEmpty() ? kOk : Refuse(QStringLiteral("%1: %2").arg(output, reason));
}
int Ports(const QStringList &args)
{
    if (WantsHelp(args)) {
        QTextStream(stdout) << kPortsHelp;
        return kOk;
    }
    if (!args.isEmpty())
        return Usage(kPortsHelp);
    QTextStream out(stdout);
    for (const PortEntry &port : ListPorts())
        out << port.device << '\t' << port.description << '\n';
    return kOk;
}

int Download(const QStringList &args)
{
    if (WantsHelp(args)) {
        QTextStream(stdout) << kDownloadHelp;
        return kOk;
    }
    const LinkArgs a = ParseLinkArgs(args);
    if (!a.ok || a.port.isEmpty() || a.file.isEmpty() || !a.output.isEmpty())
        return Usage(kDownloadHelp);
    QFile file(a.file);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("%1: %2").arg(a.file, file.errorString()));
    if (file.size() != kProfileImageSize)
        return Refuse(QStringLiteral("%1: a profile file holds %2 bytes, this one %3")
                          .arg(a.file)
                          .arg(kProfileImageSize)
                          .arg(file.size()));
    const QByteArray bytes = file.readAll();
    ProfileImage image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());

    CSerialPort port;
    bool removed = false;
    QObject::connect(&port, &CSerialPort::deviceLost, [&removed] { removed = true; });
    port.Open(a.port, 9600);

    DownloadExchange exchange;
    exchange.Start();
    std::optional<QString> reply;
    QElapsedTimer clock;
    clock.start();
    qint64 nextPoll = 1000;
    qint64 nextStep = exchange.DownloadStep();
    int progressShown = -1;
    while (!interrupted) {
        Wait(50);
        if (removed)
            return Refuse(QStringLiteral("Communication Cable Removed"));
        const qint64 now = clock.elapsed();
        const int percent = static_cast<int>(std::min<qint64>(100, now * 100 / 19900));
        if (percent / 10 != progressShown / 10) {
            Err() << "progress " << percent << " %" << Qt::endl;
            progressShown = percent;
        }
        if (now >= nextPoll) {
            nextPoll += 1000;
            const QByteArray read = port.Read(kReadCapacity);
            if (!read.isEmpty() && !reply)
                reply = exchange.TakeReplyPiece(LineText(read));
        }
        if (now < nextStep)
            continue;
        const DownloadExchange::Step step = exchange.StepDue();
        if (step == DownloadExchange::Step::End)
            break;
        port.Write(DownloadExchange::BytesOf(step, image));
        nextStep = now + exchange.DownloadStep();
    }
    if (interrupted)
        return Refuse(QStringLiteral("interrupted; the controller may hold part of a profile"));
    QTextStream(stdout) << reply.value_or(exchange.ReplySoFar()) << Qt::endl;
    if (!reply)
        Err() << "orvexctl: the controller sent " << exchange.ReplyPieceCount() << " of its "
              << DownloadExchange::kReplyPieces << " reply pieces" << Qt::endl;
    port.Close();
    return kOk;
}

int Upload(const QStringList &args)
{
    if (WantsHelp(args)) {
        QTextStream(stdout) << kUploadHelp;
        return kOk;
    }
    const LinkArgs a = ParseLinkArgs(args);
    if (!a.ok || a.port.isEmpty() || a.output.isEmpty() || !a.file.isEmpty())
        return Usage(kUploadHelp);
    CSerialPort port;
    port.Open(a.port, 9600);
    UploadHooks hooks;
    hooks.wait = Wait;
    hooks.progress = [](int position, bool) { Err() << "progress " << position * 100 / 60 << " %" << Qt::endl; };
    const UploadResult result = RunUpload(port, hooks);
    port.Close();
    if (interrupted)
        return Refuse(QStringLiteral("interrupted"));
    if (result.outcome == UploadResult::NoProfile)
        return Refuse(QStringLiteral("NO PROFILE FOUND ON CONTROLLER"));
    if (result.outcome == UploadResult::ShortAnswer)
        return Refuse(QStringLiteral("the controller's answer was incomplete (%1 of 160 bytes); nothing written")
                          .arg(result.received));
    const QString reason = WriteFileAtomically(
        a.output, QByteArray(reinterpret_cast<const char *>(result.image.data()), kProfileImageSize));
    return reason.isEmpty() ? kOk : Refuse(QStringLiteral("%1: %2").arg(a.output, reason));
}

int Monitor(const QStringList &args)
{
    if (WantsHelp(args)) {
        QTextStream(stdout) << kMonitorHelp;
        return kOk;
    }
    const LinkArgs a = ParseLinkArgs(args);
    if (!a.ok || a.port.isEmpty() || !a.file.isEmpty() || !a.output.isEmpty() || a.count < 0)
        return Usage(kMonitorHelp);
    CSerialPort port;
    bool removed = false;
    QObject::connect(&port, &CSerialPort::deviceLost, [&removed] { removed = true; });
    port.Open(a.port, 9600);
    port.ClearReceiveBuffer();

    QTextStream out(stdout);
    if (a.csv)
        out << "seconds,kind,value,pwm_percent,alarm_code" << Qt::endl;
    QElapsedTimer clock;
    clock.start();
    ThermistorFaultTracker thermistor;
    int shown = 0;
    while (!interrupted && (a.count == 0 || shown < a.count)) {
        Wait(1000);
        if (removed)
            return Refuse(QStringLiteral("Communication Cable Removed"));
        const QByteArray bytes = port.Read(kReadCapacity);
        port.ClearReceiveBuffer(); // one read is one frame, as the window reads them
        const QString text = LineText(bytes);
        if (!IsMonitorFrame(text))
            continue;
        std::optional<MonitorReading> reading = ParseMonitorFrame(text);
        if (!reading)
            continue;
        thermistor.Update(*reading);
        const bool temperature = reading->kind == MonitorReading::Temperature;
        ++shown;
        if (a.csv) {
            const double value = temperature ? reading->liveValue : reading->liveValue / 25.5;
            out << QString::asprintf("%.1f,%s,%.1f,%.1f,", clock.elapsed() / 1000.0,
                                     temperature ? "temperature" : "voltage", value,
                                     static_cast<double>(reading->pwmPercent))
                << (reading->alarm ? QString::number(*reading->alarm) : QString()) << Qt::endl;
            continue;
        }
        QString alarm;
        if (reading->alarm) {
            if (const std::optional<QString> t = AlarmText(*reading->alarm, reading->kind))
                alarm = t->simplified();
        }
        out << ReadingText(reading->liveValue, temperature, reading->thermistorFault) << "  "
            << PwmText(reading->pwmValue) << "  " << alarm << Qt::endl;
    }
    port.Close();
    return kOk;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return Usage(kUsageText);
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        QTextStream(stdout) << kUsageText;
        return kOk;
    }
    if (command == QStringLiteral("--version")) {
        QTextStream(stdout) << "orvexctl " << kOrvexVersion << Qt::endl;
        return kOk;
    }
    if (command == QStringLiteral("decode"))
        return Decode(args);
    if (command == QStringLiteral("encode"))
        return Encode(args);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    try {
        if (command == QStringLiteral("ports"))
            return Ports(args);
        if (command == QStringLiteral("download"))
            return Download(args);
        if (command == QStringLiteral("upload"))
            return Upload(args);
        if (command == QStringLiteral("monitor"))
            return Monitor(args);
    } catch (const CSerialException &error) {
        return Refuse(error.Text());
    }
    Err() << "orvexctl: unknown command \"" << command << "\"\n";
    return Usage(kUsageText);
}
