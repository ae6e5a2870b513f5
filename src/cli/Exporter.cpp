// orvexctl exporter: the controllers' readings for Prometheus.
#include "Commands.h"
#include "Interrupts.h"
#include "MetricsExporter.h"
#include "Options.h"
#include "Output.h"
#include "Transfers.h"

#include <QEventLoop>

#include <exception>

int Exporter(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address and port to serve /metrics on (default 127.0.0.1:9810)."),
                                    QStringLiteral("address"), QStringLiteral("127.0.0.1:9810"));
    CommandLine line(
        QStringLiteral("exporter"), QStringLiteral("exporter [--listen ADDRESS:PORT] --port DEV [--port DEV ...]"),
        QStringLiteral("Keeps the ports open, reads the controllers' monitor frames and serves them at /metrics in\n"
                       "the Prometheus text format, each metric labelled with its port: orvex_up,\n"
                       "orvex_temperature_celsius or orvex_input_volts, orvex_fan_pwm_ratio, orvex_alarm_code,\n"
                       "orvex_frames_total, orvex_bad_frames_total, orvex_last_frame_timestamp_seconds. A port that\n"
                       "goes away shows orvex_up 0 and is opened again when it comes back. Listens on 127.0.0.1\n"
                       "unless another address is given (a port alone stays on 127.0.0.1). Runs until Ctrl+C or\n"
                       "SIGTERM (exit 130 or 143)."),
        {port, listen});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;
    QString address = line.Value(listen);
    if (!address.contains(QLatin1Char(':')))
        address.prepend(QStringLiteral("127.0.0.1:"));
    else if (address.startsWith(QLatin1Char(':')))
        address.prepend(QStringLiteral("127.0.0.1"));

    MetricsExporter exporter(std::vector<QString>(ports->begin(), ports->end()));
    try {
        exporter.Listen(address.toStdString());
    } catch (const std::exception &error) {
        return Refuse(QStringLiteral("cannot listen on %1: %2").arg(address, QString::fromLocal8Bit(error.what())));
    }
    const std::vector<int> listening = exporter.ListeningPorts();
    const QString host = address.left(address.lastIndexOf(QLatin1Char(':')));
    Err::Line(QStringLiteral("serving metrics of %1 port(s) at http://%2:%3/metrics")
                  .arg(ports->size())
                  .arg(host)
                  .arg(listening.empty() ? 0 : listening.front()));

    QEventLoop loop;
    return Interrupts::Exec(loop).value_or(Interrupts::ExitCode()); // only a signal ends it
}
