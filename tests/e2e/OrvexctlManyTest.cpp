// orvexctl with many controllers: transfers side by side, and the exporter scraped over HTTP.
#include "OrvexctlProcess.h"

#include "MonitorCsv.h"
#include "MonitorFrame.h"
#include "ProfileCodec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {
class OrvexctlMany : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString Encoded(const QString &name, const QByteArray &text) { return EncodeProfile(files.filePath(name), text); }
    QProcess *Start(const QStringList &args)
    {
        auto *process = new QProcess;
        processes.emplace_back(process);
        process->setProcessEnvironment(TestEnvironment(runtime.path()));
        process->start(QStringLiteral(ORVEXCTL), args);
        return process;
    }
    static QByteArray ReadFile(const QString &path) { return ReadFileBytes(path); }
    QTemporaryDir runtime;
    QTemporaryDir files;
    std::vector<std::unique_ptr<QProcess>> processes;
};

// One scrape of /metrics: "name{port=...}" to its value.
QMap<QString, double> Scrape(int port)
{
    QMap<QString, double> values;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(5000))
        return values;
    socket.write("GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray response;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000))
        response += socket.readAll();
    response += socket.readAll();
    const qsizetype body = response.indexOf("\r\n\r\n");
    if (!response.startsWith("HTTP/1.") || !response.contains(" 200 ") || body < 0)
        return values;
    static const QRegularExpression sample(QStringLiteral("^(orvex_[a-z_]+\\{[^}]*\\}) (\\S+)$"));
    for (const QByteArray &line : response.mid(body + 4).split('\n')) {
        const QRegularExpressionMatch m = sample.match(QString::fromUtf8(line));
        if (m.hasMatch())
            values.insert(m.captured(1), m.captured(2).toDouble());
    }
    return values;
}

QString Metric(const char *name, const QString &port)
{
    return QStringLiteral("%1{port=\"%2\"}").arg(QString::fromLatin1(name), port);
}

// What the simulator's frame says for its input and stored profile, as the tool reads it.
MonitorReading ExpectedReading(MonitorReading::Kind kind, int adc, const QByteArray &profile, int alarm)
{
    const int pwm = static_cast<unsigned char>(profile.at(adc));
    return *ParseMonitorFrame(QString::fromLatin1(FormatMonitorFrame(kind, adc, pwm, alarm)));
}
} // namespace

// One run of the controller's real timing for everything that needs it, side by side: a download
// (verified, as it is by default) to four controllers (one keeps another profile, one is killed midway, one never
// answers), an upload from two, and diff against a third and a fourth.
TEST_F(OrvexctlMany, TransfersRunSideBySideAndAFailedPortStopsNoOther)
{
    const QString profile = Encoded(QStringLiteral("p.dat"), "topBand = 45\nfanSpeedTopBand = 95\n");
    const QString other = Encoded(QStringLiteral("other.dat"), "topBand = 46\nfanSpeedTopBand = 95\n");
    SimProcess good(runtime.path());
    SimProcess different(runtime.path(), {"--store-different"});
    SimProcess pulled(runtime.path());
    SimProcess silent(runtime.path(), {"--silent"});
    // A controller whose line holds a backlog of frames nobody read: they are not its reply.
    QFile burst(files.filePath(QStringLiteral("burst.csv")));
    ASSERT_TRUE(burst.open(QIODevice::WriteOnly));
    burst.write(MonitorCsvHeader().toUtf8() + '\n');
    for (int i = 0; i < 120; ++i)
        burst.write("2026-12-07T10:00:00.000Z,0.0,temperature,30.0,50.0,0,120,128\n");
    burst.close();
    SimProcess backlog(runtime.path(), {"--replay", burst.fileName()});
    SimProcess holderA(runtime.path(), {"--profile", profile});
    SimProcess holderB(runtime.path(), {"--profile", profile});
    SimProcess holderC(runtime.path(), {"--profile", profile});
    SimProcess holderD(runtime.path(), {"--profile", profile});
    for (const SimProcess *sim :
         {&good, &different, &pulled, &silent, &backlog, &holderA, &holderB, &holderC, &holderD})
        ASSERT_FALSE(sim->device.isEmpty());

    QProcess *download = Start({"download", "--json", "-p", good.device, "-p", different.device, "-p", pulled.device,
                                "-p", silent.device, "-p", backlog.device, profile});
    const QString pattern = files.filePath(QStringLiteral("got-%p.dat"));
    QProcess *upload = Start({"upload", "-p", holderA.device, "-p", holderB.device, "-o", pattern});
    QProcess *same = Start({"diff", "--port", holderC.device, profile});
    QProcess *differs = Start({"diff", "--port", holderD.device, other});

    // The cable is pulled once the image is on its way.
    download->setReadChannel(QProcess::StandardError);
    QByteArray progress;
    ASSERT_TRUE(WaitUntil(
        [&] {
            download->waitForReadyRead(50);
            progress += download->readAllStandardError();
            return progress.contains((pulled.device + QStringLiteral(": progress 20 %")).toUtf8());
        },
        60000));
    pulled.Kill();

    const CliRun downloaded = Finished(*download);
    const CliRun uploaded = Finished(*upload);
    const CliRun equal = Finished(*same);
    const CliRun unequal = Finished(*differs);

    EXPECT_EQ(downloaded.code, 1);
    QMap<QString, QJsonObject> byPort;
    for (const QByteArray &line : downloaded.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        byPort.insert(object.value(QStringLiteral("port")).toString(), object);
    }
    ASSERT_EQ(byPort.size(), 5) << downloaded.Out().toStdString();
    const QJsonObject ok = byPort.value(good.device);
    EXPECT_TRUE(ok.value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(ok.value(QStringLiteral("result")).toString(), QStringLiteral("verified"));
    EXPECT_TRUE(ok.value(QStringLiteral("verified")).toBool());
    EXPECT_TRUE(ok.value(QStringLiteral("reply")).toString().contains(QStringLiteral("Configuration saved.")));
    const QJsonObject late = byPort.value(backlog.device);
    EXPECT_EQ(late.value(QStringLiteral("result")).toString(), QStringLiteral("verified"));
    EXPECT_EQ(late.value(QStringLiteral("reply")).toString().toStdString(),
              ok.value(QStringLiteral("reply")).toString().toStdString());

    const QJsonObject kept = byPort.value(different.device);
    EXPECT_FALSE(kept.value(QStringLiteral("ok")).toBool(true));
    EXPECT_EQ(kept.value(QStringLiteral("result")).toString(), QStringLiteral("NOT VERIFIED"));
    const QJsonArray differences = kept.value(QStringLiteral("differences")).toArray();
    ASSERT_FALSE(differences.isEmpty());
    EXPECT_EQ(differences.at(0).toObject().value(QStringLiteral("key")).toString(), QStringLiteral("versionNumber"));
    EXPECT_TRUE(downloaded.err.contains(different.device + QStringLiteral(": versionNumber: 1 -> 2")))
        << downloaded.err.toStdString();

    const QJsonObject lost = byPort.value(pulled.device);
    EXPECT_EQ(lost.value(QStringLiteral("result")).toString(), QStringLiteral("failed"));
    EXPECT_EQ(lost.value(QStringLiteral("error")).toString(), QStringLiteral("Communication Cable Removed"));
    const QJsonObject mute = byPort.value(silent.device);
    EXPECT_EQ(mute.value(QStringLiteral("result")).toString(), QStringLiteral("failed"));
    EXPECT_TRUE(
        mute.value(QStringLiteral("error")).toString().contains(QStringLiteral("the profile may not be stored")));

    EXPECT_EQ(uploaded.code, 0) << uploaded.err.toStdString();
    for (const SimProcess *sim : {&holderA, &holderB}) {
        const QString file = QString(pattern).replace(QStringLiteral("%p"), QFileInfo(sim->device).fileName());
        EXPECT_EQ(ReadFile(file), ReadFile(profile));
        EXPECT_TRUE(uploaded.Out().contains(QStringLiteral("%1: uploaded: %2\n").arg(sim->device, file)))
            << uploaded.Out().toStdString();
    }

    EXPECT_EQ(equal.code, 0) << equal.err.toStdString();
    EXPECT_TRUE(equal.out.isEmpty());
    EXPECT_EQ(unequal.code, 1) << unequal.err.toStdString();
    EXPECT_TRUE(unequal.Out().startsWith(QStringLiteral("topBand: 45 -> 46\n"))) << unequal.Out().toStdString();
}

TEST_F(OrvexctlMany, ExporterServesTheSimulatorsAndSeesOneComeBack)
{
    const QString voltage = Encoded(QStringLiteral("v.dat"), "inputControlType = Voltage\ntopBand = 8\n"
                                                             "bottomBand = 3\nlowShutOff = 2\nhighAlarm = 9\n");
    const QString hot = runtime.filePath(QStringLiteral("hot"));
    const QString volts = runtime.filePath(QStringLiteral("volts"));
    auto heat =
        std::make_unique<SimProcess>(runtime.path(), QStringList{"--input", "128", "--alarm", "3", "--link", hot});
    SimProcess meter(runtime.path(), {"--input", "100", "--profile", voltage, "--link", volts});
    SimProcess noise(runtime.path(), {"--garbage"});

    QProcess *exporter = Start({"exporter", "--listen", "127.0.0.1:0", "-p", hot, "-p", volts, "-p", noise.device});
    exporter->setReadChannel(QProcess::StandardError);
    QByteArray said;
    static const QRegularExpression served(QStringLiteral("at http://127\\.0\\.0\\.1:(\\d+)/metrics"));
    QRegularExpressionMatch listening;
    ASSERT_TRUE(WaitUntil([&] {
        exporter->waitForReadyRead(50);
        said += exporter->readAllStandardError();
        listening = served.match(QString::fromUtf8(said));
        return listening.hasMatch();
    })) << said.toStdString();
    const int port = listening.captured(1).toInt();

    QMap<QString, double> m;
    ASSERT_TRUE(WaitUntil([&] {
        m = Scrape(port);
        return m.value(Metric("orvex_up", hot)) == 1 && m.value(Metric("orvex_up", volts)) == 1 &&
               m.value(Metric("orvex_bad_frames_total", noise.device)) > 0;
    })) << said.toStdString();

    const MonitorReading heatReading = ExpectedReading(MonitorReading::Temperature, 128, QByteArray(320, '\0'), 3);
    EXPECT_NEAR(m.value(Metric("orvex_temperature_celsius", hot)), heatReading.liveValue, 1e-3);
    EXPECT_FALSE(m.contains(Metric("orvex_input_volts", hot)));
    EXPECT_EQ(m.value(Metric("orvex_alarm_code", hot)), 3);
    EXPECT_EQ(m.value(Metric("orvex_fan_pwm_ratio", hot)), 0); // no profile stored: no output
    EXPECT_GE(m.value(Metric("orvex_frames_total", hot)), 1);
    EXPECT_NEAR(m.value(Metric("orvex_last_frame_timestamp_seconds", hot)),
                QDateTime::currentMSecsSinceEpoch() / 1000.0, 30);

    const MonitorReading meterReading = ExpectedReading(MonitorReading::Voltage, 100, ReadFile(voltage), 0);
    EXPECT_NEAR(m.value(Metric("orvex_input_volts", volts)), meterReading.liveValue / 25.5, 1e-3);
    EXPECT_FALSE(m.contains(Metric("orvex_temperature_celsius", volts)));
    EXPECT_GT(meterReading.pwmPercent, 0);
    EXPECT_NEAR(m.value(Metric("orvex_fan_pwm_ratio", volts)), meterReading.pwmPercent / 100.0, 1e-6);

    EXPECT_EQ(m.value(Metric("orvex_up", noise.device)), 0);
    EXPECT_EQ(m.value(Metric("orvex_frames_total", noise.device)), 0);

    // Stopped: down. Started again under the same name: up, without restarting the exporter.
    heat->Terminate();
    EXPECT_TRUE(WaitUntil([&] { return Scrape(port).value(Metric("orvex_up", hot), -1) == 0; }));
    heat = std::make_unique<SimProcess>(runtime.path(), QStringList{"--input", "128", "--link", hot});
    EXPECT_TRUE(WaitUntil([&] { return Scrape(port).value(Metric("orvex_up", hot)) == 1; })) << said.toStdString();
    EXPECT_EQ(Scrape(port).value(Metric("orvex_up", volts)), 1);

    ::kill(static_cast<pid_t>(exporter->processId()), SIGTERM);
    EXPECT_EQ(Finished(*exporter, 10000).code, 143);
}
