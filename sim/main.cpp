// orvex-sim: a simulated Orvex controller on a pseudo-terminal, for trying the tool without hardware.
#include "OrvexVersion.h"
#include "PortList.h"
#include "PtyController.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvex-sim"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kOrvexVersion));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated Orvex fan-speed controller on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption input({QStringLiteral("i"), QStringLiteral("input")},
                                   QStringLiteral("Input reading as an 8-bit ADC value (default 142)."),
                                   QStringLiteral("adc"), QStringLiteral("142"));
    const QCommandLineOption alarm({QStringLiteral("a"), QStringLiteral("alarm")},
                                   QStringLiteral("Alarm code 0-5 (default 0)."), QStringLiteral("code"),
                                   QStringLiteral("0"));
    const QCommandLineOption profile({QStringLiteral("p"), QStringLiteral("profile")},
                                     QStringLiteral("Stored profile to start with (a 320-byte profile file)."),
                                     QStringLiteral("file"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Send nothing."));
    const QCommandLineOption garbage(QStringLiteral("garbage"), QStringLiteral("Send noise instead of frames."));
    const QCommandLineOption shortAnswers(QStringLiteral("short-answers"), QStringLiteral("Cut upload answers short."));
    const QCommandLineOption trickle(QStringLiteral("trickle"),
                                     QStringLiteral("Send at most this many bytes a second."), QStringLiteral("bytes"),
                                     QStringLiteral("0"));
    const QCommandLineOption storeDifferent(
        QStringLiteral("store-different"),
        QStringLiteral("Keep another profile than the one downloaded (its version number and a curve byte changed)."));
    const QCommandLineOption replay(QStringLiteral("replay"),
                                    QStringLiteral("Send the readings of a recording (orvexctl monitor --csv, or the "
                                                   "window's Record to CSV) as its monitor frames, at their pace."),
                                    QStringLiteral("file"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Replay this many times faster (default 1)."),
                                   QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Keep a symbolic link at this path to the pseudo-terminal, so that "
                                                 "a restarted simulator is found under the same name."),
                                  QStringLiteral("path"));
    parser.addOptions(
        {input, alarm, profile, silent, garbage, shortAnswers, trickle, storeDifferent, replay, speed, link});
    parser.process(app);

    PtyController controller;
    if (!controller.Start()) {
        QTextStream(stderr) << "orvex-sim: could not make a pseudo-terminal\n";
        return 1;
    }
    ControllerModel &model = controller.Model();
    model.SetInput(parser.value(input).toInt());
    model.SetAlarm(parser.value(alarm).toInt());
    ControllerModel::Faults faults;
    faults.silent = parser.isSet(silent);
    faults.garbage = parser.isSet(garbage);
    faults.shortAnswers = parser.isSet(shortAnswers);
    faults.trickleBytesPerSecond = parser.value(trickle).toInt();
    faults.storeDifferent = parser.isSet(storeDifferent);
    model.SetFaults(faults);
    if (parser.isSet(profile)) {
        QFile file(parser.value(profile));
        if (!file.open(QIODevice::ReadOnly) || file.size() < kProfileImageSize) {
            QTextStream(stderr) << "orvex-sim: " << parser.value(profile) << ": not a profile file\n";
            return 1;
        }
        const QByteArray bytes = file.read(kProfileImageSize);
        ProfileImage image{};
        std::copy(bytes.begin(), bytes.end(), image.begin());
        model.LoadProfile(image);
    }

    if (parser.isSet(replay)) {
        QFile file(parser.value(replay));
        std::vector<MonitorCsvRecord> records;
        if (file.open(QIODevice::ReadOnly) && file.size() < (qint64(1) << 30))
            records = ParseMonitorCsv(QString::fromUtf8(file.readAll()));
        bool speedOk = false;
        const double factor = parser.value(speed).toDouble(&speedOk);
        if (records.empty() || !speedOk || factor <= 0) {
            QTextStream(stderr) << "orvex-sim: " << parser.value(replay)
                                << (records.empty() ? ": no readings to replay\n"
                                                    : ": --speed takes a number above 0\n");
            return 1;
        }
        model.SetReplay(std::move(records), factor, controller.Now());
    }

    // Ctrl+C and kill end the simulator cleanly, taking its registration with it.
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);

    // The link is replaced in one step: a reader never finds it missing or half made.
    const QString linkPath = parser.value(link);
    if (!linkPath.isEmpty()) {
        const QByteArray target = QFile::encodeName(controller.DevicePath());
        const QByteArray temporary = QFile::encodeName(linkPath + QStringLiteral(".%1").arg(::getpid()));
        ::unlink(temporary.constData());
        if (::symlink(target.constData(), temporary.constData()) != 0 ||
            ::rename(temporary.constData(), QFile::encodeName(linkPath).constData()) != 0) {
            QTextStream(stderr) << "orvex-sim: cannot make the link " << linkPath << "\n";
            return 1;
        }
    }

    RegisterSimulator(controller.DevicePath());
    QTextStream out(stdout);
    out << controller.DevicePath() << Qt::endl;
    out << "In Orvex Interface: Connect to PORT, pick \"" << kSimulatorDescription << " (" << controller.DevicePath()
        << ")\", OK. Ctrl+C stops the simulator." << Qt::endl;
    const int result = app.exec();
    UnregisterSimulator();
    // Only our own link goes: a newer simulator may have taken the name over.
    if (!linkPath.isEmpty() && QFile::symLinkTarget(linkPath) == controller.DevicePath())
        QFile::remove(linkPath);
    return result;
}
