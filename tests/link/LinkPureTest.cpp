// Tests of the link's pure rules: port names, frames, the download exchange.
#include "DownloadExchange.h"
#include "LinkLog.h"
#include "LinkText.h"
#include "MonitorCsv.h"
#include "MonitorFrame.h"
#include "PortList.h"

#include <gtest/gtest.h>

TEST(PortList, ParsePortNumberTakesOneToThreeDigits)
{
    const std::pair<const char *, int> good[] = {{"USB Serial Port (COM5)", 5},
                                                 {"Prolific (COM12)", 12},
                                                 {"Bridge (COM100)", 100},
                                                 {"x (COM10)", 10},
                                                 {"(COM007)", 7},
                                                 {"Odd (COM1) again (COM3)", 3}};
    for (const auto &[text, number] : good) {
        const auto parsed = ParsePortNumber(QString::fromUtf8(text));
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, number) << text;
    }
    for (const char *text : {"", "COM5", "(COM0)", "(COM05)", "(COM1234)", "(COMx)", "(COM5", "Serial (ttyUSB0)",
                             "(COM)", "(COM\xdb\xb7)" /* an Arabic-Indic seven, found by fuzzing */, "x (COM000)"})
        EXPECT_FALSE(ParsePortNumber(QString::fromUtf8(text)).has_value()) << text;
}

TEST(PortList, EntriesAndTypedPaths)
{
    const std::vector<PortEntry> ports{{"/dev/ttyUSB0", "FT232R USB UART"}, {"/dev/pts/7", kSimulatorDescription}};
    EXPECT_EQ(ports[0].DisplayName(), QStringLiteral("FT232R USB UART (/dev/ttyUSB0)"));
    EXPECT_EQ(DeviceOfEntry(QStringLiteral("FT232R USB UART (/dev/ttyUSB0)"), ports), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(DeviceOfEntry(QStringLiteral(" /dev/pts/7 "), ports), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(DeviceOfEntry(QStringLiteral("/dev/null"), ports), QStringLiteral("/dev/null")); // exists, typed
    EXPECT_FALSE(DeviceOfEntry(QStringLiteral("/dev/no-such-port"), ports).has_value());
    EXPECT_FALSE(DeviceOfEntry(QStringLiteral("/dev"), ports).has_value());
    EXPECT_FALSE(DeviceOfEntry(QString(), ports).has_value());
    EXPECT_FALSE(DeviceOfEntry(QStringLiteral("garbage"), ports).has_value());
    EXPECT_FALSE(DeviceOfEntry(QString::fromLatin1("/dev/null\0x", 11), ports).has_value());
}

TEST(LinkText, ReplyPiecesAndFrames)
{
    const std::array<QString, 6> pieces{"one ",
                                        "two ",
                                        "Stored. ",
                                        "x - Test Mode, w - Configuration Mode",
                                        "Restart x - Test Mode, w - Configuration Mode!",
                                        " Done"};
    EXPECT_EQ(JoinReplyPieces(pieces), QStringLiteral("Stored. Restart ! Done"));
    EXPECT_EQ(LineText(QByteArray("<ADC\0junk", 9)), QStringLiteral("<ADC"));
    EXPECT_EQ(LineText(QByteArray("\xB0"
                                  "C")),
              QString::fromUtf8("°C"));
    EXPECT_TRUE(IsMonitorFrame(QStringLiteral("<ADCT)142/ PWM: 76/ Alarm: 0>")));
    EXPECT_TRUE(IsMonitorFrame(QStringLiteral("Alarm: PWM: > <"))); // order is not checked
    EXPECT_FALSE(IsMonitorFrame(QStringLiteral("<ADCT)142/ PWM: 76/ Alarm: 0")));
    EXPECT_FALSE(IsMonitorFrame(QStringLiteral("<ADCT)142/ Alarm: 0>")));
}

TEST(MonitorFrame, FieldScanningRules)
{
    struct Case
    {
        const char *frame;
        bool parsed;
        int adc, pwm, alarm;
    };
    const Case cases[] = {
        {"<ADCT)142/ PWM: 76/ Alarm: 0>", true, 142, 76, 0},
        {"<ADCT)1425 PWM: 255 Alarm: 3>", true, 142, 255, 3},      // three digits need no "/"
        {"<ADCT)14 PWM: 76/ ADCT)15/ Alarm: 1>", true, 15, 76, 1}, // the first field lacks "/", the scan goes on
        {"<ADCV)7/ PWM: 5/ Alarm: 2 larm: 4>", true, 7, 5, 4},     // the last alarm counts
        {"<ADCT)142/ PWM: 7", false, 0, 0, 0},                     // ends inside a field
        {"<ADCX)142/ PWM: 76/ Alarm: 0>", false, 0, 0, 0},         // no input kind
        {"<ADCT)/ PWM: 76/ Alarm: 0>", false, 0, 0, 0},
    };
    for (const Case &c : cases) {
        const auto reading = ParseMonitorFrame(QString::fromLatin1(c.frame));
        ASSERT_EQ(reading.has_value(), c.parsed) << c.frame;
        if (!reading)
            continue;
        EXPECT_EQ(reading->adc, c.adc) << c.frame;
        EXPECT_EQ(reading->pwmRaw, c.pwm) << c.frame;
        ASSERT_TRUE(reading->alarm.has_value()) << c.frame;
        EXPECT_EQ(*reading->alarm, c.alarm) << c.frame;
    }
    EXPECT_FALSE(ParseMonitorFrame(QStringLiteral("<ADCT)100/ PWM: 50/ >"))->alarm.has_value());
}

TEST(MonitorFrame, Conversions)
{
    EXPECT_NEAR(ThermistorCelsius(128), 24.8, 0.3); // about 100 kOhm: about 25 degC
    EXPECT_EQ(ThermistorCelsius(0), ThermistorCelsius(1));
    EXPECT_EQ(ThermistorCelsius(255), ThermistorCelsius(254));
    EXPECT_EQ(ThermistorCelsius(999), ThermistorCelsius(254));
    EXPECT_LT(ThermistorCelsius(250), 0); // cold reads with its minus sign

    const auto cold = ParseMonitorFrame(QStringLiteral("<ADCT)250/ PWM: 0/ Alarm: 0>"));
    EXPECT_LT(cold->liveValue, 0);
    EXPECT_FLOAT_EQ(cold->livePointX, static_cast<float>(0.6176 / 0.2499)); // held at 0 degC on the chart
    const auto hot = ParseMonitorFrame(QStringLiteral("<ADCT)3/ PWM: 0/ Alarm: 0>"));
    EXPECT_FLOAT_EQ(hot->livePointX, static_cast<float>((63 + 0.6176) / 0.2499));

    const auto volts = ParseMonitorFrame(QStringLiteral("<ADCV)244/ PWM: 255/ Alarm: 0>"));
    EXPECT_EQ(volts->liveValue, 255);
    EXPECT_EQ(volts->livePointX, 255);
    EXPECT_EQ(volts->pwmValue, 100);
    const auto mid = ParseMonitorFrame(QStringLiteral("<ADCV)100/ PWM: 252/ Alarm: 0>"));
    EXPECT_NEAR(mid->liveValue, 103.32, 0.01);
    EXPECT_EQ(mid->pwmValue, 99); // shown as 100
}

TEST(MonitorFrame, AlarmTexts)
{
    using K = MonitorReading::Kind;
    EXPECT_EQ(*AlarmText(0, K::Voltage), QStringLiteral("         SYSTEM HEALTHY\n    - NO ACTIVE ALARMS -"));
    EXPECT_EQ(*AlarmText(1, K::Temperature),
              QStringLiteral("                  WARNING:\n Thermistor Short Circuit Alarm ON"));
    EXPECT_EQ(*AlarmText(1, K::Voltage), QStringLiteral("                  WARNING:\n: High Voltage Alarm ON"));
    EXPECT_EQ(*AlarmText(2, K::Voltage), QStringLiteral("                  WARNING:\n Low Voltage Alarm ON"));
    EXPECT_EQ(*AlarmText(3, K::Voltage), QStringLiteral("                  WARNING:\n Tacho Signal Lost Alarm ON"));
    EXPECT_EQ(*AlarmText(5, K::Temperature), QStringLiteral("                  WARNING:\n Low Temperature Alarm ON"));
    EXPECT_FALSE(AlarmText(4, K::Voltage).has_value());
    EXPECT_FALSE(AlarmText(7, K::Temperature).has_value());
}

TEST(DownloadExchange, StepsStagesAndTheReply)
{
    DownloadExchange exchange;
    EXPECT_EQ(exchange.Stage(), ExchangeStage::Finish);
    EXPECT_FALSE(exchange.TakeReplyPiece(QStringLiteral("early")).has_value()); // no download: a frame, not a reply

    exchange.Start();
    EXPECT_EQ(exchange.Stage(), ExchangeStage::Start);
    EXPECT_EQ(exchange.DownloadStep(), 500);
    EXPECT_FALSE(exchange.TakeReplyPiece(QStringLiteral("noise while sending")).has_value());
    EXPECT_EQ(exchange.ReplyPieceCount(), 0);

    ProfileImage image{};
    image[0] = 0x11;
    image[319] = 0x22;
    const std::pair<DownloadExchange::Step, int> steps[] = {{DownloadExchange::Step::SendCommand, 3000},
                                                            {DownloadExchange::Step::SendFirstHalf, 8400},
                                                            {DownloadExchange::Step::SendSecondHalf, 8000}};
    QByteArray sent;
    for (const auto &[step, wait] : steps) {
        EXPECT_EQ(exchange.StepDue(), step);
        EXPECT_EQ(exchange.DownloadStep(), wait);
        sent += DownloadExchange::BytesOf(step, image);
    }
    EXPECT_EQ(sent.size(), 321);
    EXPECT_EQ(sent.front(), 'W');
    EXPECT_EQ(static_cast<std::uint8_t>(sent[1]), 0x11);
    EXPECT_EQ(static_cast<std::uint8_t>(sent.back()), 0x22);
    EXPECT_EQ(exchange.Stage(), ExchangeStage::AlmostThere);

    const QStringList pieces{"one ", "two ", "three ", "x - Test Mode, w - Configuration Mode", "five ", "six"};
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(exchange.TakeReplyPiece(pieces[i]).has_value()) << i;
    EXPECT_EQ(exchange.ReplySoFar(), QStringLiteral("three five "));
    EXPECT_EQ(exchange.TakeReplyPiece(pieces[5]), QStringLiteral("three five six"));
    EXPECT_TRUE(exchange.ReplyComplete());
    EXPECT_FALSE(exchange.TakeReplyPiece(QStringLiteral("seven")).has_value()); // one reply a download
    EXPECT_EQ(exchange.ReplySoFar(), QStringLiteral("three five six"));

    EXPECT_EQ(exchange.StepDue(), DownloadExchange::Step::End);
    EXPECT_EQ(exchange.Stage(), ExchangeStage::Finish);
    EXPECT_FALSE(exchange.Running());
    exchange.Start(); // a new download forgets the last reply
    EXPECT_EQ(exchange.ReplySoFar(), QString());
}

// Reads as the poll takes them, 70 bytes at most, cut anywhere: frames among them are never the reply.
TEST(DownloadExchange, MonitorFramesAreNoPartOfTheReply)
{
    const QString frame = QStringLiteral("<ADCT)142/ PWM: 0/ Alarm: 0>");
    struct Case
    {
        const char *what;
        QStringList reads;
        std::optional<QString> reply;
    };
    const Case cases[] = {
        {"frames only", {frame, frame, frame, frame, frame + frame, frame, frame, frame}, std::nullopt},
        {"frames cut across reads",
         {frame + frame.left(9), frame.mid(9) + frame + frame.left(20), frame.mid(20), frame, frame, frame, frame},
         std::nullopt},
        {"a frame glued to the last piece", {"1 ", "2 ", "3 ", "4 ", "5 ", "six" + frame}, QStringLiteral("3 4 5 six")},
        {"a frame between pieces, cut",
         {"1 ", "2 " + frame.left(5), frame.mid(5) + "3 ", "4 ", "5 ", "6"},
         QStringLiteral("3 4 5 6")},
        {"a \"<\" that begins no frame stays", {"1 ", "2 ", "3 <", " 4 ", "5>", "6"}, QStringLiteral("3 < 4 5>6")},
    };
    for (const Case &c : cases) {
        DownloadExchange exchange;
        exchange.Start();
        for (int step = 0; step < 3; ++step)
            exchange.StepDue();
        std::optional<QString> reply;
        for (const QString &read : c.reads) {
            if (const std::optional<QString> complete = exchange.TakeReplyPiece(read))
                reply = complete;
        }
        EXPECT_EQ(reply, c.reply) << c.what;
        EXPECT_FALSE(exchange.ReplySoFar().contains(QStringLiteral("PWM:"))) << c.what;
    }
}

TEST(LinkLog, TracedBytesReadWithoutTheProgram)
{
    const QByteArray bytes = QByteArray("W") + QByteArray(15, '\0') + QByteArray("<ADCT)1\xff");
    const QStringList lines = TraceLines(QStringLiteral("/dev/ttyUSB0"), "TX", bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" /dev/ttyUSB0 TX 0000  57 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                                 "00 00  |W...............|")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" /dev/ttyUSB0 TX 0010  3c 41 44 43 54 29 31 ff"
                                                 "                          |<ADCT)1.|")))
        << lines[1].toStdString();
    // Each line starts with the time, to the millisecond in UTC.
    EXPECT_TRUE(QDateTime::fromString(lines[0].section(QLatin1Char(' '), 0, 0), Qt::ISODateWithMs).isValid());
    EXPECT_TRUE(TraceLines(QStringLiteral("x"), "RX", QByteArray()).isEmpty());
}

TEST(MonitorFrame, ThermistorFaultLastsUntilAFrameClearsIt)
{
    ThermistorFaultTracker tracker;
    const std::pair<const char *, bool> frames[] = {
        {"<ADCT)128/ PWM: 50/ Alarm: 1>", true},  {"<ADCT)128/ PWM: 50/ Alarm: 3>", true},
        {"<ADCV)128/ PWM: 50/ Alarm: 0>", true}, // a voltage input says nothing of the thermistor
        {"<ADCT)128/ PWM: 50/ Alarm: 4>", false}, {"<ADCT)128/ PWM: 50/ Alarm: 2>", true},
        {"<ADCT)128/ PWM: 50/ Alarm: 0>", false},
    };
    for (const auto &[frame, fault] : frames) {
        std::optional<MonitorReading> reading = ParseMonitorFrame(QString::fromLatin1(frame));
        ASSERT_TRUE(reading.has_value()) << frame;
        tracker.Update(*reading);
        EXPECT_EQ(reading->thermistorFault, fault) << frame;
        EXPECT_EQ(tracker.Fault(), fault) << frame;
    }
}

TEST(MonitorCsv, ARowReadsBackIntoTheSameFrame)
{
    const QDateTime when = QDateTime::fromString(QStringLiteral("2026-12-06T10:20:30.456Z"), Qt::ISODateWithMs);
    for (const char *frame :
         {"<ADCT)128/ PWM: 76/ Alarm: 3>", "<ADCV)200/ PWM: 255/ Alarm: 0>", "<ADCT)90/ PWM: 10/ Alarm: >"}) {
        const std::optional<MonitorReading> reading = ParseMonitorFrame(QString::fromLatin1(frame));
        ASSERT_TRUE(reading.has_value());
        const QString row = MonitorCsvRow(when, 12.34, *reading);
        EXPECT_TRUE(row.startsWith(QStringLiteral("2026-12-06T10:20:30.456Z,12.3,"))) << row.toStdString();
        const std::optional<MonitorCsvRecord> record = ParseMonitorCsvRow(row);
        ASSERT_TRUE(record.has_value()) << row.toStdString();
        EXPECT_EQ(record->time, when);
        EXPECT_EQ(MonitorFrameOf(*record), QByteArray(frame));
    }
    EXPECT_EQ(MonitorCsvHeader().count(QLatin1Char(',')), 7);
    EXPECT_FALSE(ParseMonitorCsvRow(MonitorCsvHeader()).has_value());
    EXPECT_FALSE(ParseMonitorCsvRow(QString()).has_value());
    // Written without the raw columns: the raw values are found again from the shown ones.
    const std::optional<MonitorCsvRecord> old =
        ParseMonitorCsvRow(QStringLiteral("2026-12-06T10:20:30.456Z,1.0,temperature,24.8,29.8,0"));
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->adc, 128);
    EXPECT_EQ(old->pwmRaw, 76);
    // Numbers no controller sends are no reading.
    for (const char *row :
         {"2026-12-06T10:20:30.456Z,1.0,temperature,nan,29.8,0", "2026-12-06T10:20:30.456Z,1.0,voltage,inf,-inf,,",
          "2026-12-06T10:20:30.456Z,nan,temperature,24.8,29.8,0,128,76"})
        EXPECT_FALSE(ParseMonitorCsvRow(QString::fromLatin1(row)).has_value()) << row;
}
