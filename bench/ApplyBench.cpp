// orvexctl apply to 1 and to 16 simulated controllers, once when they already hold the profile and
// once when they hold another: wall and CPU time, and the wall time against that of one controller.
#include "OrvexctlRuns.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
QTextStream out(stdout);

// One row a count; the controllers start with `held` stored and are sent `profile`.
void ApplyBench(const char *title, const QString &held, const QString &profile)
{
    out << title << "\ncontrollers  wall s  cpu s  wall / wall(1)\n";
    double one = 0;
    for (int count : {1, 16}) {
        QStringList devices;
        auto sims = bench::StartSimulators(count, {QStringLiteral("--profile"), held}, devices);
        QStringList args{QStringLiteral("apply")};
        for (const QString &device : devices)
            args << QStringLiteral("-p") << device;
        args << profile;
        const bench::Timed timed = bench::TimedRun(args);
        if (count == 1)
            one = timed.wall;
        out << bench::Row(count, timed, one);
        out.flush();
        bench::StopSimulators(sims);
    }
}

QString Encode(const QString &path, const QByteArray &text)
{
    QProcess encode;
    encode.start(QStringLiteral(ORVEXCTL), {QStringLiteral("encode"), QStringLiteral("-"), QStringLiteral("-o"), path});
    encode.write(text);
    encode.closeWriteChannel();
    encode.waitForFinished();
    return path;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The simulators' registrations and the journal of the downloads stay in here.
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("ORVEX_STATE_DIR", dir.filePath(QStringLiteral("state")).toLocal8Bit());
    const QString profile = Encode(dir.filePath(QStringLiteral("p.dat")), "topBand = 45\nfanSpeedTopBand = 95\n");
    const QString other = Encode(dir.filePath(QStringLiteral("other.dat")), "topBand = 46\nfanSpeedTopBand = 95\n");
    ApplyBench("apply, every controller already holds the profile (read only)", profile, profile);
    ApplyBench("apply, every controller holds another profile (read, download, read back)", other, profile);
    return 0;
}
