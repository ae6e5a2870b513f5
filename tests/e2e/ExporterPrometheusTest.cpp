// A real Prometheus (Debian's) scrapes the exporter with the shipped configuration and alert rules:
// a killed controller leaves no reading series and orvex_up 0; behind --web-config it is scraped over
// TLS with the password and refused without it.
#include "ExporterClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {
constexpr const char *kPromHash = "$2y$10$q.tc1jIT90Dji2RRipcfCutc5iLAuMYHHoBjoIy359S7DLESCaTE6"; // scrape-me

quint16 FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// A body sent in chunks, joined.
QByteArray Unchunked(const Answer &answer)
{
    if (answer.Header("Transfer-Encoding").toLower() != "chunked")
        return answer.body;
    QByteArray body;
    qsizetype at = 0;
    while (at < answer.body.size()) {
        const qsizetype line = answer.body.indexOf("\r\n", at);
        const int size = answer.body.mid(at, line - at).toInt(nullptr, 16);
        if (line < 0 || size == 0)
            break;
        body += answer.body.mid(line + 2, size);
        at = line + 2 + size + 2;
    }
    return body;
}

class Prometheus
{
public:
    Prometheus(const QString &config, const QString &storage) : port(FreePort())
    {
        process.start(QStringLiteral("prometheus"),
                      {"--config.file=" + config, "--storage.tsdb.path=" + storage,
                       QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(port), "--log.level=warn"});
    }
    ~Prometheus()
    {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
    }
    bool Ready()
    {
        return WaitUntil([&] { return Ask(port, "GET", "/-/ready").status == 200; }, 60000);
    }
    QJsonObject Api(const QByteArray &path) const
    {
        return QJsonDocument::fromJson(Unchunked(Ask(port, "GET", path))).object().value("data").toObject();
    }
    QJsonObject Answer(const QString &expression) const
    {
        const QByteArray path = "/api/v1/query?query=" + QUrl::toPercentEncoding(expression);
        return QJsonDocument::fromJson(Unchunked(Ask(port, "GET", path))).object();
    }
    QJsonArray Query(const QString &expression) const
    {
        return Answer(expression).value("data").toObject().value("result").toArray();
    }
    // The value of a query that gives one series, as Prometheus writes it; empty when none or more.
    QString One(const QString &expression) const
    {
        const QJsonArray result = Query(expression);
        return result.size() == 1 ? result.at(0).toObject().value("value").toArray().at(1).toString() : QString();
    }
    QString Said() { return QString::fromUtf8(process.readAllStandardError()); }
    quint16 port;
    QProcess process;
};

QString Text(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

TEST(ExporterUnderPrometheus, ReadingsGoWithAKilledControllerAndTlsNeedsThePassword)
{
    QTemporaryDir runtime;
    QTemporaryDir files;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString cert = files.filePath(QStringLiteral("orvex.crt"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                                              "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1", "-newkey", "ec",
                                              "-pkeyopt", "ec_paramgen_curve:prime256v1", "-keyout",
                                              files.filePath(QStringLiteral("orvex.key")), "-out", cert});
    ASSERT_TRUE(openssl.waitForFinished(60000));
    ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
    const QString web = files.filePath(QStringLiteral("web.yml"));
    QFile webFile(web);
    ASSERT_TRUE(webFile.open(QIODevice::WriteOnly));
    webFile.write(QByteArray("tls_server_config:\n  cert_file: orvex.crt\n  key_file: orvex.key\n"
                             "basic_auth_users:\n  prom: ") +
                  kPromHash + "\n");
    webFile.close();

    const QString killed = runtime.filePath(QStringLiteral("killed"));
    auto dying =
        std::make_unique<SimProcess>(runtime.path(), QStringList{"--input", "128", "--alarm", "3", "--link", killed});
    SimProcess staying(runtime.path(), {"--input", "100"});
    SimProcess behindTls(runtime.path());
    ExporterProcess plain(runtime.path(), {"--listen", "127.0.0.1:0", "-p", killed, "-p", staying.device});
    ExporterProcess secure(runtime.path(), {"--listen", "127.0.0.1:0", "--web-config", web, "-p", behindTls.device});
    ASSERT_NE(plain.port, 0) << plain.Said().toStdString();
    ASSERT_NE(secure.port, 0) << secure.Said().toStdString();

    // The shipped configuration, scraping every second, with the shipped rules; and two jobs for the
    // exporter behind TLS, one with the password and one without. Its port is named as one of the
    // other exporter's, as two hosts' /dev/ttyUSB0 are.
    QString config = Text(QStringLiteral(ORVEX_SOURCE_DIR "/contrib/prometheus/prometheus.yml"));
    for (const auto &[from, to] : {std::pair<QString, QString>{"scrape_interval: 15s", "scrape_interval: 1s"},
                                   {"scrape_interval: 5s", "scrape_interval: 1s"},
                                   {"- orvex-alerts.yml", "- " ORVEX_SOURCE_DIR "/contrib/prometheus/orvex-alerts.yml"},
                                   {"'127.0.0.1:9810'", QStringLiteral("'127.0.0.1:%1'").arg(plain.port)}}) {
        ASSERT_TRUE(config.contains(from)) << from.toStdString() << " is no longer in the shipped configuration";
        config.replace(from, to);
    }
    for (const bool password : {true, false}) {
        config += QStringLiteral("  - job_name: orvex-tls%1\n    scrape_interval: 1s\n    scheme: https\n"
                                 "    tls_config:\n      ca_file: %2\n%3"
                                 "    static_configs:\n      - targets: ['127.0.0.1:%4']\n"
                                 "    metric_relabel_configs:\n      - source_labels: [port]\n"
                                 "        target_label: port\n        replacement: %5\n")
                      .arg(password ? "" : "-no-password", cert,
                           password ? "    basic_auth:\n      username: prom\n      password: scrape-me\n" : "")
                      .arg(secure.port)
                      .arg(staying.device);
    }
    const QString configPath = files.filePath(QStringLiteral("prometheus.yml"));
    QFile configFile(configPath);
    ASSERT_TRUE(configFile.open(QIODevice::WriteOnly));
    configFile.write(config.toUtf8());
    configFile.close();

    Prometheus prometheus(configPath, files.filePath(QStringLiteral("data")));
    ASSERT_TRUE(prometheus.Ready()) << prometheus.Said().toStdString();
    const QJsonArray groups = prometheus.Api("/api/v1/rules").value("groups").toArray();
    ASSERT_FALSE(groups.isEmpty()) << "the shipped alert rules were not loaded";
    EXPECT_EQ(groups.at(0).toObject().value("rules").toArray().size(), 5);

    const QString reading = QStringLiteral("orvex_temperature_celsius{port=\"%1\"}").arg(killed);
    ASSERT_TRUE(WaitUntil([&] {
        return prometheus.One(QStringLiteral("up{job=\"orvex\"}")) == "1" && !prometheus.One(reading).isEmpty() &&
               prometheus.One(QStringLiteral("orvex_up{job=\"orvex\", port=\"%1\"}").arg(staying.device)) == "1";
    })) << prometheus.Said().toStdString();
    EXPECT_EQ(prometheus.One(QStringLiteral("orvex_alarm_code{port=\"%1\"}").arg(killed)), "3");

    dying->Kill();
    QFile::remove(killed); // as udev takes an unplugged adapter's link away
    const QString readings = QStringLiteral("{__name__=~\"orvex_(temperature_celsius|input_volts|fan_pwm_ratio|"
                                            "alarm_code|last_frame_timestamp_seconds)\", job=\"orvex\", port=\"%1\"}");
    EXPECT_TRUE(WaitUntil([&] {
        return prometheus.One(QStringLiteral("orvex_up{port=\"%1\"}").arg(killed)) == "0" &&
               prometheus.Query(readings.arg(killed)).isEmpty();
    })) << QJsonDocument(prometheus.Query(readings.arg(killed))).toJson().toStdString();
    EXPECT_EQ(prometheus.Query(readings.arg(staying.device)).size(), 4); // temperature, PWM, alarm, last frame
    EXPECT_EQ(prometheus.One(QStringLiteral("orvex_frames_total{port=\"%1\"}").arg(killed)).isEmpty(), false);

    EXPECT_TRUE(WaitUntil([&] {
        return prometheus.One(QStringLiteral("up{job=\"orvex-tls\"}")) == "1" &&
               prometheus.One(QStringLiteral("orvex_up{job=\"orvex-tls\"}")) == "1" &&
               prometheus.Query(QStringLiteral("orvex_up{port=\"%1\"} == 1").arg(staying.device)).size() == 2 &&
               prometheus.One(QStringLiteral("up{job=\"orvex-tls-no-password\"}")) == "0";
    })) << QJsonDocument(prometheus.Query(QStringLiteral("up or orvex_up"))).toJson().toStdString()
        << plain.Said().toStdString() << secure.Said().toStdString();
    EXPECT_TRUE(prometheus.Query(QStringLiteral("orvex_up{job=\"orvex-tls-no-password\"}")).isEmpty());
    QString refusal;
    for (const QJsonValue target : prometheus.Api("/api/v1/targets").value("activeTargets").toArray()) {
        if (target.toObject().value("labels").toObject().value("job").toString() == "orvex-tls-no-password")
            refusal = target.toObject().value("lastError").toString();
    }
    EXPECT_TRUE(refusal.contains(QStringLiteral("401"))) << refusal.toStdString();

    // The dashboard's queries, with every exporter and port chosen: each is valid, and what a legend
    // shows (instance and port) tells every series apart, so two hosts' same port stay apart.
    QFile dashboardFile(QStringLiteral(ORVEX_SOURCE_DIR "/contrib/grafana/orvex-dashboard.json"));
    ASSERT_TRUE(dashboardFile.open(QIODevice::ReadOnly));
    const QJsonObject dashboard = QJsonDocument::fromJson(dashboardFile.readAll()).object();
    QStringList legends;
    for (const QJsonValue panel : dashboard.value("panels").toArray()) {
        for (const QJsonValue target : panel.toObject().value("targets").toArray()) {
            const QString expression = target.toObject()
                                           .value("expr")
                                           .toString()
                                           .replace(QStringLiteral("$instance"), QStringLiteral(".*"))
                                           .replace(QStringLiteral("$port"), QStringLiteral(".*"));
            const QJsonObject answer = prometheus.Answer(expression);
            EXPECT_EQ(answer.value("status").toString(), "success") << expression.toStdString();
            QSet<QString> shown;
            for (const QJsonValue series : answer.value("data").toObject().value("result").toArray()) {
                QString legend = target.toObject().value("legendFormat").toString();
                const QJsonObject labels = series.toObject().value("metric").toObject();
                for (const QString &label : labels.keys())
                    legend.replace(QStringLiteral("{{%1}}").arg(label), labels.value(label).toString());
                EXPECT_FALSE(legend.contains(QStringLiteral("{{"))) << legend.toStdString();
                EXPECT_FALSE(shown.contains(legend)) << "two series under one legend: " << legend.toStdString();
                shown.insert(legend);
            }
            legends += QStringList(shown.begin(), shown.end());
        }
    }
    for (const quint16 exporterPort : {plain.port, secure.port}) {
        const QString instance = QStringLiteral("127.0.0.1:%1").arg(exporterPort);
        EXPECT_TRUE(std::any_of(legends.cbegin(), legends.cend(),
                                [&](const QString &legend) { return legend.startsWith(instance + ' '); }))
            << instance.toStdString() << " is in no legend";
    }
}
