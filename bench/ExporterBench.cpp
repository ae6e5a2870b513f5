// orvexctl exporter with 64 simulated controllers (orvex-sim, a process each): its CPU time and
// resident memory over a minute scraped once a second, and the time of a scrape, over plain HTTP
// and over TLS with a password.
#include "OrvexctlRuns.h"
#include "ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
QTextStream out(stdout);
constexpr int kControllers = 64;
// htpasswd -nbBC 10 prom scrape-me
constexpr const char *kPromHash = "$2y$10$q.tc1jIT90Dji2RRipcfCutc5iLAuMYHHoBjoIy359S7DLESCaTE6";

// CPU seconds (user + system) of a process, from /proc.
double CpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

struct Scrape
{
    double ms = -1;
    QByteArray body;
};

// One scrape on a connection of its own, from connecting to the end of the answer.
Scrape ScrapeOnce(quint16 port, bool tls)
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QTcpSocket> socket;
    QByteArray request = "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (tls) {
        auto secure = std::make_unique<QSslSocket>();
        secure->setPeerVerifyMode(QSslSocket::VerifyNone);
        secure->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        if (!secure->waitForEncrypted(5000))
            return {};
        socket = std::move(secure);
        request += "Authorization: Basic " + QByteArray("prom:scrape-me").toBase64() + "\r\n";
    } else {
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!socket->waitForConnected(5000))
            return {};
    }
    socket->write(request + "\r\n");
    QByteArray answer;
    while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(5000))
        answer += socket->readAll();
    answer += socket->readAll();
    if (!answer.startsWith("HTTP/1.1 200"))
        return {};
    return {timer.nsecsElapsed() / 1e6, answer.mid(answer.indexOf("\r\n\r\n") + 4)};
}

QString Percentiles(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return QStringLiteral("median %1 ms, 95th %2 ms, max %3 ms (%4 scrapes)")
        .arg(ms[ms.size() / 2], 0, 'f', 2)
        .arg(ms[ms.size() * 95 / 100], 0, 'f', 2)
        .arg(ms.back(), 0, 'f', 2)
        .arg(ms.size());
}

class Exporter
{
public:
    Exporter(const QStringList &devices, const QString &log, const QStringList &extra)
    {
        QStringList args{QStringLiteral("exporter"), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")};
        for (const QString &device : devices)
            args << QStringLiteral("-p") << device;
        process.setStandardErrorFile(log);
        process.start(QStringLiteral(ORVEXCTL), args + extra);
        static const QRegularExpression served(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/metrics"));
        QFile said(log);
        for (int tries = 0; tries < 500 && port == 0; ++tries) {
            QThread::msleep(20);
            said.open(QIODevice::ReadOnly);
            const QRegularExpressionMatch match = served.match(QString::fromUtf8(said.readAll()));
            said.close();
            port = match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
        }
    }
    ~Exporter()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    // Every port up: each controller sent a frame since it was opened.
    bool AllUp(bool tls)
    {
        static const QRegularExpression up(QStringLiteral("^orvex_up\\{[^}]*\\} 1$"),
                                           QRegularExpression::MultilineOption);
        for (int tries = 0; tries < 60; ++tries) {
            if (QString::fromUtf8(ScrapeOnce(port, tls).body).count(up) == kControllers)
                return true;
            QThread::msleep(500);
        }
        return false;
    }
    QProcess process;
    quint16 port = 0;
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int seconds = 60;
    if (const qsizetype at = args.indexOf(QStringLiteral("--seconds")); at > 0 && at + 1 < args.size())
        seconds = std::max(1, args.at(at + 1).toInt());

    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    std::vector<std::unique_ptr<QProcess>> sims;
    QStringList devices;
    for (int i = 0; i < kControllers; ++i)
        sims.push_back(bench::StartSimulator({QStringLiteral("--input"), QString::number(100 + i)}, devices));

    {
        Exporter exporter(devices, dir.filePath(QStringLiteral("plain.log")), {});
        if (exporter.port == 0 || !exporter.AllUp(false)) {
            out << "the exporter did not serve all " << kControllers << " controllers\n";
            return 1;
        }
        const qint64 pid = exporter.process.processId();
        const long rssStart = ResidentKiB(QString::number(pid));
        const double cpuStart = CpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        std::vector<double> latencies;
        long rssMax = rssStart;
        while (wall.elapsed() < seconds * 1000) {
            latencies.push_back(ScrapeOnce(exporter.port, false).ms); // once a second, as a busy Prometheus
            rssMax = std::max(rssMax, ResidentKiB(QString::number(pid)));
            QThread::msleep(1000);
        }
        const double cpu = CpuSeconds(pid) - cpuStart;
        const long rssEnd = ResidentKiB(QString::number(pid));
        const double elapsed = wall.elapsed() / 1000.0;
        out << "exporter, " << kControllers << " controllers, " << elapsed << " s, one scrape a second\n";
        out << QStringLiteral("resident memory  %1 KiB at start, %2 KiB at end, %3 KiB at most\n")
                   .arg(rssStart)
                   .arg(rssEnd)
                   .arg(rssMax);
        out << QStringLiteral("cpu              %1 s in %2 s (%3 % of a core)\n")
                   .arg(cpu, 0, 'f', 3)
                   .arg(elapsed, 0, 'f', 1)
                   .arg(cpu * 100 / elapsed, 0, 'f', 3);
        out << "scrape           " << Percentiles(latencies) << "\n";
        std::vector<double> burst;
        for (int i = 0; i < 500; ++i)
            burst.push_back(ScrapeOnce(exporter.port, false).ms);
        out << "scrapes back to back " << Percentiles(burst) << ", body "
            << ScrapeOnce(exporter.port, false).body.size() << " bytes\n";
        out.flush();
    }

    // The same over TLS with a password: a handshake each time, the password checked once.
    const QString cert = dir.filePath(QStringLiteral("orvex.crt"));
    const QString key = dir.filePath(QStringLiteral("orvex.key"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-nodes", "-days", "2", "-subj", "/CN=localhost", "-newkey", "ec", "-pkeyopt",
                   "ec_paramgen_curve:prime256v1", "-keyout", key, "-out", cert});
    openssl.waitForFinished(60000);
    QFile web(dir.filePath(QStringLiteral("web.yml")));
    web.open(QIODevice::WriteOnly);
    web.write(QByteArray("tls_server_config:\n  cert_file: orvex.crt\n  key_file: orvex.key\n"
                         "basic_auth_users:\n  prom: ") +
              kPromHash + "\n");
    web.close();
    Exporter secure(devices, dir.filePath(QStringLiteral("tls.log")), {QStringLiteral("--web-config"), web.fileName()});
    if (secure.port == 0 || !secure.AllUp(true)) {
        out << "the exporter behind TLS did not serve all " << kControllers << " controllers\n";
        return 1;
    }
    const qint64 pid = secure.process.processId();
    std::vector<double> tls;
    for (int i = 0; i < 200; ++i)
        tls.push_back(ScrapeOnce(secure.port, true).ms);
    out << "TLS and password, back to back " << Percentiles(tls) << "\n";
    out << QStringLiteral("resident memory behind TLS %1 KiB\n").arg(ResidentKiB(QString::number(pid)));

    bench::StopSimulators(sims);
    return 0;
}
