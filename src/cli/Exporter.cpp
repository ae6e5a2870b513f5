// orvexctl exporter: the controllers' readings for Prometheus.
#include "Commands.h"
#include "Interrupts.h"
#include "ListenAddress.h"
#include "MetricsExporter.h"
#include "MetricsServer.h"
#include "Options.h"
#include "Output.h"
#include "Transfers.h"
#include "WebConfig.h"

#include <QEventLoop>

namespace {
// An option that takes one value: given twice, one of them would silently be lost.
bool GivenOnce(const CommandLine &line, const QCommandLineOption &option, const QString &advice)
{
    if (line.Values(option).size() <= 1)
        return true;
    line.UsageError(QStringLiteral("--%1 is given more than once; %2").arg(option.names().constLast(), advice));
    return false;
}
} // namespace

int Exporter(const QStringList &args)
{
    const QCommandLineOption port = Options::Port();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address and port to serve /metrics on (default 127.0.0.1:9810); "
                                                   "IPv6 in brackets, [::]:9810 for every address."),
                                    QStringLiteral("address"), QStringLiteral("127.0.0.1:9810"));
    const QCommandLineOption webConfig(
        QStringLiteral("web-config"),
        QStringLiteral("TLS and basic authentication, in the web configuration format of Prometheus' exporters."),
        QStringLiteral("file"));
    CommandLine line(
        QStringLiteral("exporter"),
        QStringLiteral("exporter [--listen ADDRESS:PORT] [--web-config FILE] --port DEV [--port DEV ...]"),
        QStringLiteral("Keeps the ports open, reads the controllers' monitor frames and serves them at /metrics in\n"
                       "the Prometheus text format, each metric labelled with its port: orvex_up,\n"
                       "orvex_temperature_celsius or orvex_input_volts, orvex_fan_pwm_ratio, orvex_alarm_code,\n"
                       "orvex_frames_total, orvex_bad_frames_total, orvex_last_frame_timestamp_seconds. A port that\n"
                       "goes away, or sends no valid frame for 5 s, shows orvex_up 0 and no readings, and is opened\n"
                       "again when it comes back. Listens on 127.0.0.1 unless another address is given (a port\n"
                       "alone stays on 127.0.0.1). --web-config adds TLS (tls_server_config: cert_file, key_file)\n"
                       "and passwords (basic_auth_users: bcrypt hashes) for serving beyond this machine. Runs\n"
                       "until Ctrl+C or SIGTERM (exit 130 or 143)."),
        {port, listen, webConfig});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    if (!GivenOnce(line, listen, QStringLiteral("the exporter serves one address ([::]:9810 is every address)")) ||
        !GivenOnce(line, webConfig, QStringLiteral("give one file")))
        return kExitUsage;
    const std::optional<QStringList> ports = PortsOf(line, port);
    if (!ports)
        return kExitUsage;
    if (ports->contains(QString()))
        return line.UsageError(QStringLiteral("--port is given an empty name"));
    const ListenParse address = ParseListenAddress(line.Value(listen));
    if (!address.address)
        return line.UsageError(QStringLiteral("--listen \"%1\": %2").arg(line.Value(listen), address.problem));

    std::shared_ptr<const WebConfig> web;
    if (line.IsSet(webConfig)) {
        auto loaded = WebConfig::Load(line.Value(webConfig));
        if (const QString *refusal = std::get_if<QString>(&loaded))
            return Refuse(QStringLiteral("--web-config %1").arg(*refusal));
        web = std::make_shared<const WebConfig>(std::get<WebConfig>(std::move(loaded)));
    }

    // The address first: a busy or wrong one is said before any port is touched.
    MetricsExporter exporter(std::vector<QString>(ports->begin(), ports->end()));
    MetricsServer server([&exporter] { return QByteArray::fromStdString(exporter.Scrape()); }, web);
    if (const QString problem = server.Listen(*address.address); !problem.isEmpty())
        return Refuse(problem);
    if (web && web->AsksPassword() && !web->Tls())
        Err::Line(QStringLiteral("exporter: passwords are asked over plain HTTP, where anyone on the way can read "
                                 "them; add tls_server_config to the web configuration"));
    exporter.Start();
    Err::Line(QStringLiteral("serving metrics of %1 port(s) at %2://%3:%4/metrics")
                  .arg(ports->size())
                  .arg(server.Secure() ? QStringLiteral("https") : QStringLiteral("http"), address.address->hostText)
                  .arg(server.Port()));

    QEventLoop loop;
    return Interrupts::Exec(loop).value_or(Interrupts::ExitCode()); // only a signal ends it
}
