// orvex-sim: a simulated Orvex controller on a pseudo-terminal, for trying the tool without hardware.
#include "OrvexVersion.h"
#include "PortList.h"
#include "PtyController.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTextStream>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

// Where the symbolic link at path leads, as written in it; empty when path is no symbolic link.
QString LinkTarget(const QString &path)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target.data(), target.size());
    return n > 0 && n < target.size() ? QFile::decodeName(target.left(n)) : QString();
}

// A link we may replace leads to a pseudo-terminal: most likely one a simulator left when it was
// killed. Anything else at the path belongs to someone else.
QString LinkRefusal(const QString &path)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT
                   ? QString()
                   : QStringLiteral("cannot make the link %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
    if (!S_ISLNK(info.st_mode))
        return QStringLiteral("%1 exists and is not a symbolic link; it is left as it is").arg(path);
    static const QRegularExpression pseudoTerminal(QStringLiteral("^/dev/pts/[0-9]+$"));
    const QString target = LinkTarget(path);
    if (!pseudoTerminal.match(target).hasMatch())
        return QStringLiteral("%1 is a link to %2, not to a pseudo-terminal; it is left as it is").arg(path, target);
    return {};
}

// Puts a link to device at path in one step, so a reader never finds it missing or half made.
QString MakeLink(const QString &path, const QString &device)
{
    const QString refusal = LinkRefusal(path);
    if (!refusal.isEmpty())
        return refusal;
    const QByteArray target = QFile::encodeName(device);
    // A name of our own beside it: symlink() never replaces anything that is there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temporary =
            QFile::encodeName(path + QStringLiteral(".%1-%2")
                                         .arg(::getpid())
                                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (::symlink(target.constData(), temporary.constData()) != 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        if (::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0)
            return {};
        const int why = errno;
        ::unlink(temporary.constData());
        errno = why;
        break;
    }
    return QStringLiteral("cannot make the link %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
}

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
                                                   "window's Record to CSV) as its monitor frames, at their pace. "
                                                   "A regular file of at most 1 GiB."),
                                    QStringLiteral("file"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Replay this many times faster: a number above 0 (default 1)."),
                                   QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Keep a symbolic link at this path to the pseudo-terminal, so that "
                                                 "a restarted simulator is found under the same name. Only a link "
                                                 "to a pseudo-terminal is replaced; anything else there is refused."),
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

    // Refused before a long recording is read, not after.
    const QString linkPath = parser.value(link);
    if (const QString refusal = linkPath.isEmpty() ? QString() : LinkRefusal(linkPath); !refusal.isEmpty()) {
        QTextStream(stderr) << "orvex-sim: " << refusal << "\n";
        return 1;
    }
    bool speedOk = false;
    const double factor = parser.value(speed).toDouble(&speedOk);
    // "nan" and "inf" read as numbers; neither is a pace.
    if (!speedOk || !std::isfinite(factor) || factor <= 0) {
        QTextStream(stderr) << "orvex-sim: --speed takes a number above 0, not \"" << parser.value(speed) << "\"\n";
        return 1;
    }
    if (parser.isSet(replay)) {
        LoadedReplay loaded = LoadReplay(parser.value(replay));
        if (!loaded.error.isEmpty()) {
            QTextStream(stderr) << "orvex-sim: " << loaded.error << "\n";
            return 1;
        }
        model.SetReplay(std::move(loaded.recording), factor, controller.Now());
    }

    // Ctrl+C and kill end the simulator cleanly, taking its registration with it.
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);

    if (!linkPath.isEmpty()) {
        const QString refusal = MakeLink(linkPath, controller.DevicePath());
        if (!refusal.isEmpty()) {
            QTextStream(stderr) << "orvex-sim: " << refusal << "\n";
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
    if (!linkPath.isEmpty() && LinkTarget(linkPath) == controller.DevicePath())
        ::unlink(QFile::encodeName(linkPath).constData());
    return result;
}
