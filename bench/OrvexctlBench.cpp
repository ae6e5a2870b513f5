// orvexctl with many simulated controllers: parallel download wall and CPU time for 1, 4 and 8
// controllers, and the exporter's memory, CPU and scrape latency with 8 ports over a minute.
#include "OrvexctlRuns.h"
#include "ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
QTextStream out(stdout);

void DownloadBench(const QString &profile)
{
    out << "parallel download (orvexctl download --no-verify: the download alone)\n";
    out << "controllers  wall s  cpu s  wall / wall(1)\n";
    double one = 0;
    for (int count : {1, 4, 8}) {
        QStringList devices;
        auto sims = bench::StartSimulators(count, {}, devices);
        QStringList args{QStringLiteral("download"), QStringLiteral("--no-verify")};
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

// Resident memory in KiB and CPU seconds of a process, from /proc.
std::pair<long, double> Usage(qint64 pid)
{
    const long rss = ResidentKiB(QString::number(pid));
    double cpu = 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        cpu = (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
    }
    return {rss, cpu};
}

double ScrapeMs(int port)
{
    QElapsedTimer timer;
    timer.start();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(5000))
        return -1;
    socket.write("GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000))
        socket.readAll();
    return timer.nsecsElapsed() / 1e6;
}

void ExporterBench(int seconds)
{
    QStringList devices;
    auto sims = bench::StartSimulators(8, {}, devices);
    QStringList args{QStringLiteral("exporter"), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")};
    for (const QString &device : devices)
        args << QStringLiteral("-p") << device;
    QProcess exporter;
    exporter.setReadChannel(QProcess::StandardError);
    exporter.start(QStringLiteral(ORVEXCTL), args);
    static const QRegularExpression served(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/metrics"));
    QByteArray said;
    QRegularExpressionMatch match;
    while (!(match = served.match(QString::fromUtf8(said))).hasMatch() && exporter.waitForReadyRead(5000))
        said += exporter.readAllStandardError();
    const int port = match.captured(1).toInt();
    QThread::sleep(3); // every port open and reading
    const auto [rssStart, cpuStart] = Usage(exporter.processId());
    QElapsedTimer wall;
    wall.start();
    std::vector<double> latencies;
    long rssMax = rssStart;
    // A long run shows whether memory levels off: one sample every five minutes.
    qint64 nextSample = 300'000;
    while (wall.elapsed() < seconds * 1000) {
        latencies.push_back(ScrapeMs(port)); // one scrape a second, as a busy Prometheus would
        const long rss = Usage(exporter.processId()).first;
        rssMax = std::max(rssMax, rss);
        if (seconds > 300 && wall.elapsed() >= nextSample) {
            out << QStringLiteral("resident memory at %1 s: %2 KiB\n").arg(nextSample / 1000).arg(rss);
            out.flush();
            nextSample += 300'000;
        }
        QThread::msleep(1000);
    }
    const auto [rssEnd, cpuEnd] = Usage(exporter.processId());
    const double elapsed = wall.elapsed() / 1000.0;
    std::sort(latencies.begin(), latencies.end());
    out << "\nexporter, 8 ports, " << elapsed << " s, one scrape a second\n";
    out << QStringLiteral("resident memory  %1 KiB at start, %2 KiB at end, %3 KiB at most\n")
               .arg(rssStart)
               .arg(rssEnd)
               .arg(rssMax);
    out << QStringLiteral("cpu              %1 s in %2 s (%3 %)\n")
               .arg(cpuEnd - cpuStart, 0, 'f', 3)
               .arg(elapsed, 0, 'f', 1)
               .arg((cpuEnd - cpuStart) * 100 / elapsed, 0, 'f', 3);
    out << QStringLiteral("scrape latency   median %1 ms, 95th %2 ms, max %3 ms (%4 scrapes)\n")
               .arg(latencies[latencies.size() / 2], 0, 'f', 2)
               .arg(latencies[latencies.size() * 95 / 100], 0, 'f', 2)
               .arg(latencies.back(), 0, 'f', 2)
               .arg(latencies.size());
    exporter.terminate();
    exporter.waitForFinished(5000);
    for (auto &sim : sims) {
        sim->terminate();
        sim->waitForFinished(5000);
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString profile = dir.filePath(QStringLiteral("p.dat"));
    QProcess encode;
    encode.start(QStringLiteral(ORVEXCTL),
                 {QStringLiteral("encode"), QStringLiteral("-"), QStringLiteral("-o"), profile});
    encode.closeWriteChannel();
    encode.waitForFinished();
    const QStringList args = app.arguments();
    int seconds = args.contains(QStringLiteral("--short")) ? 10 : 60;
    if (const qsizetype at = args.indexOf(QStringLiteral("--seconds")); at > 0 && at + 1 < args.size())
        seconds = std::max(1, args.at(at + 1).toInt());
    if (!args.contains(QStringLiteral("--exporter-only")))
        DownloadBench(profile);
    if (!args.contains(QStringLiteral("--download-only")))
        ExporterBench(seconds);
    return 0;
}
