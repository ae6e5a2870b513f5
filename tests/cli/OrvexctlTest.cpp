// Tests of orvexctl encode and decode against the window.
#include "WindowFixture.h"

#include "ProfileCodec.h"
#include "ProfileText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

CliRun Orvexctl(const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(ORVEXCTL), args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(20000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QMap<QString, QString> Lines(const QString &text)
{
    QMap<QString, QString> values;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(QStringLiteral(" = "));
        values.insert(line.left(eq), line.mid(eq + 3));
    }
    return values;
}

class OrvexctlTest : public WindowTest
{
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }
};
} // namespace

TEST_F(OrvexctlTest, DecodeShowsWhatTheWindowSaved)
{
    qobject_cast<QLineEdit *>(window->Control(1009))->setText(QStringLiteral("4"));
    Combo(1015)->setEditText(QStringLiteral("70"));
    Combo(1017)->setEditText(QStringLiteral("-10"));
    Combo(1014)->setCurrentIndex(2);
    const QString path = Path(QStringLiteral("w.dat"));
    ui.saveNames.push_back(path);
    window->OnBnClickedSaveFile();

    const CliRun run = Orvexctl({QStringLiteral("decode"), path});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QMap<QString, QString> v = Lines(run.out);
    const QStringList keys{"inputControlType",
                           "outputControlType",
                           "softwareNumber",
                           "versionNumber",
                           "fanSpeedTopBand",
                           "topBand",
                           "fanSpeedBottomBand",
                           "bottomBand",
                           "lowShutOff",
                           "speedCap",
                           "invertPwmOutput",
                           "tachoDependentAlarm",
                           "highAlarm",
                           "lowAlarm",
                           "alarmActiveState",
                           "multipoint",
                           "curve"};
    EXPECT_EQ(v.keys().size(), keys.size());
    for (const QString &key : keys)
        EXPECT_TRUE(v.contains(key)) << key.toStdString();

    // Opening the same file in the window shows the same values.
    window->LoadDefaultTemplate();
    ui.openNames.push_back({path});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(v["versionNumber"], Text(1009));
    EXPECT_EQ(v["highAlarm"], Text(1015));
    EXPECT_EQ(v["lowAlarm"], Text(1017));
    EXPECT_EQ(v["speedCap"], Text(1014));
    EXPECT_EQ(v["speedCap"], QStringLiteral("2000"));
    EXPECT_EQ(v["fanSpeedTopBand"], Text(1053));
    EXPECT_EQ(v["outputControlType"], QStringLiteral("Open Collector"));
    EXPECT_EQ(v["multipoint"], QStringLiteral("0"));
    QStringList curve;
    for (double value : window->Plot().Curve().curveFan)
        curve << QString::number(static_cast<int>(value));
    EXPECT_EQ(v["curve"], curve.join(QLatin1Char(',')));
}

TEST_F(OrvexctlTest, EncodeDecodeRoundTripAndTheWindowOpensTheResult)
{
    const QString out = Path(QStringLiteral("e.dat"));
    const QByteArray text = "inputControlType = Voltage\n"
                            "topBand = 8\nfanSpeedTopBand = 80\nbottomBand = 3\nfanSpeedBottomBand = 20\n"
                            "lowShutOff = 2\nhighAlarm = 9\nlowAlarm = 1\ntachoDependentAlarm = Disabled\n"
                            "speedCap = 3000\nsoftwareNumber = 42\n";
    CliRun run = Orvexctl({QStringLiteral("encode"), QStringLiteral("-"), QStringLiteral("-o"), out}, text);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 320);

    run = Orvexctl({QStringLiteral("decode"), out});
    const QMap<QString, QString> v = Lines(run.out);
    EXPECT_EQ(v["inputControlType"], QStringLiteral("Voltage"));
    EXPECT_EQ(v["topBand"], QStringLiteral("8"));
    EXPECT_EQ(v["bottomBand"], QStringLiteral("3"));
    EXPECT_EQ(v["lowShutOff"], QStringLiteral("2"));
    EXPECT_EQ(v["highAlarm"], QStringLiteral("9"));
    EXPECT_EQ(v["softwareNumber"], QStringLiteral("00042"));
    EXPECT_EQ(v["speedCap"], QStringLiteral("N/A")); // no speed cap without the tacho alarm
    EXPECT_EQ(v["fanSpeedTopBand"], QStringLiteral("80"));

    // Decode's output encodes to the same bytes.
    const QString again = Path(QStringLiteral("again.dat"));
    ASSERT_EQ(
        Orvexctl({QStringLiteral("encode"), QStringLiteral("-"), QStringLiteral("-o"), again}, run.out.toUtf8()).code,
        0);
    QFile second(again);
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    file.seek(0);
    EXPECT_EQ(second.readAll(), file.readAll());

    ui.openNames.push_back({out});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(Text(1022), QStringLiteral("Voltage"));
    EXPECT_EQ(Text(1056), QStringLiteral("8"));
}

TEST_F(OrvexctlTest, ClampsLikeTheWindowAndRefusesWithItsWords)
{
    const QString out = Path(QStringLiteral("c.dat"));
    CliRun run = Orvexctl({"encode", "-", "-o", out}, "topBand = 70\nlowAlarm = -50\nsoftwareNumber = 123456\n");
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QMap<QString, QString> v = Lines(Orvexctl({"decode", out}).out);
    EXPECT_EQ(v["topBand"], QStringLiteral("63"));
    EXPECT_EQ(v["lowAlarm"], QStringLiteral("-35"));
    EXPECT_EQ(v["softwareNumber"], QStringLiteral("99999"));

    const std::pair<const char *, const char *> refusals[] = {
        {"topBand = 20\nbottomBand = 20\n", "Please choose a value greater than Temperature Bottom Band"},
        {"topBand = 0\n", "Temperature Top Band value must be greater than 0"},
        {"bottomBand = 0\n", "For Temperature Bottom Band value to be 0, Low Temperature Shut Off value must be"},
        {"fanSpeedTopBand = N/A\n", "Set 'N/A' parameters."},
    };
    for (const auto &[text, message] : refusals) {
        run = Orvexctl({"encode", "-", "-o", out}, text);
        EXPECT_EQ(run.code, 1) << text;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(message))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1);
    }
}

TEST_F(OrvexctlTest, ErrorsNameTheLineAndUsageIsTwo)
{
    const QString out = Path(QStringLiteral("x.dat"));
    const std::pair<const char *, const char *> bad[] = {
        {"topBand = 40\ncolour = blue\n", "line 2: unknown key \"colour\""},
        {"\nspeedCap = 1500\n", "line 2: speedCap is one of"},
        {"topBand = forty\n", "line 1: topBand takes a whole number"},
        {"multipoint = yes\n", "line 1: multipoint is 0 or 1"},
        {"curve = 1,2,3\n", "line 1: curve needs 256 values, found 3"},
        {"just words\n", "line 1: expected"},
    };
    for (const auto &[text, message] : bad) {
        const CliRun run = Orvexctl({"encode", "-", "-o", out}, text);
        EXPECT_EQ(run.code, 1) << text;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(message))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(Orvexctl({}).code, 2);
    EXPECT_EQ(Orvexctl({"frobnicate"}).code, 2);
    EXPECT_EQ(Orvexctl({"encode", "only-input"}).code, 2);
    EXPECT_EQ(Orvexctl({"decode"}).code, 2);
    const CliRun help = Orvexctl({"encode", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: orvexctl encode")));
    EXPECT_EQ(Orvexctl({"decode", "--help"}).code, 0);

    const CliRun missing = Orvexctl({"decode", Path(QStringLiteral("none.dat"))});
    EXPECT_EQ(missing.code, 1);
    QFile big(Path(QStringLiteral("big.dat")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(513, '\0'));
    big.close();
    const CliRun tooBig = Orvexctl({"decode", big.fileName()});
    EXPECT_EQ(tooBig.code, 1);
    EXPECT_TRUE(tooBig.err.contains(QStringLiteral("file larger than expected")));
}

// orvexctl's refusals and corrections are the window's: the same profile shown in the window, each
// field then checked as leaving or typing it checks it, ends the same way.
TEST_F(OrvexctlTest, RefusesAndCorrectsExactlyAsTheWindow)
{
    struct Case
    {
        const char *text;
        const char *refusal; // "caption: text", or nullptr when both accept
    };
    const Case cases[] = {
        {"topBand = 20\nbottomBand = 20\n", "Warning: Please choose a value greater than Temperature Bottom Band"},
        {"topBand = 0\n", "Warning: Temperature Top Band value must be greater than 0"},
        {"bottomBand = 0\n", "WARNING: For Temperature Bottom Band value to be 0, Low Temperature Shut Off value must "
                             "be 'Always On' or 'N/A'"},
        {"bottomBand = 0\nlowShutOff = Always On\n", nullptr},
        {"topBand = 70\nlowAlarm = -50\nhighAlarm = 0\nsoftwareNumber = 123456\nversionNumber = 300\n", nullptr},
        {"fanSpeedTopBand = 150\nlowShutOff = 40\n", nullptr},
        {"inputControlType = Voltage\ntopBand = 12\nbottomBand = 4\nlowShutOff = 2\nhighAlarm = 11\n", nullptr},
        {"inputControlType = Voltage\ntopBand = 5\nbottomBand = 6\nlowShutOff = N/A\nhighAlarm = 5\n",
         "Warning: Please choose a value greater than Voltage Bottom Band"},
        {"inputControlType = Voltage\ntopBand = 5\nbottomBand = 0\nlowShutOff = 1\nhighAlarm = 5\n",
         "WARNING: For Temperature Bottom Band value to be 0, Voltage Shut Off value must be 'Always On' or 'N/A'"},
    };
    for (const Case &c : cases) {
        const QString out = Path(QStringLiteral("parity.dat"));
        QFile::remove(out);
        const CliRun run = Orvexctl({"encode", "-", "-o", out}, c.text);

        // The window: the profile's texts put into the fields, then each field checked in turn.
        window->LoadDefaultTemplate();
        ui.boxes.clear();
        const ParsedProfileText parsed = ParseProfileText(QString::fromUtf8(c.text));
        const ControlProfile &p = parsed.profile;
        auto edit = [this](int id) { return qobject_cast<QLineEdit *>(window->Control(id)); };
        Combo(1022)->setCurrentIndex(OptionLists::inputControlType.indexOf(p.inputControlType));
        edit(1008)->setText(p.softwareNumber);
        edit(1009)->setText(p.versionNumber);
        edit(1053)->setText(p.fanSpeedTopBand);
        edit(1056)->setText(p.topBand);
        edit(1054)->setText(p.fanSpeedBottomBand);
        edit(1055)->setText(p.bottomBand);
        Combo(1013)->setEditText(p.lowShutOff);
        Combo(1015)->setEditText(p.highAlarm);
        Combo(1017)->setEditText(p.lowAlarm);
        CProfileEntry &entry = window->Entry();
        entry.OnEnChangeSoftwareNumber();
        entry.OnEnKillfocusSoftwareNumber();
        entry.OnEnChangeVersionNumber();
        entry.OnEnChangeFanSpeedTopBand();
        entry.OnEnChangeFanSpeedBottomBand();
        for (auto check : {&CProfileEntry::OnEnKillfocusTopBand, &CProfileEntry::OnEnKillfocusBottomBand}) {
            if (ui.boxes.empty())
                (entry.*check)();
        }
        if (ui.boxes.empty()) {
            window->Entry().DrawShutOffLine();
            entry.OnCbnEditchangeHighAlarm();
            entry.OnCbnEditchangeLowAlarm();
        }

        if (c.refusal) {
            // orvexctl says the window's text after the line and key it refuses.
            const QString text = QString::fromUtf8(c.refusal).section(QStringLiteral(": "), 1);
            EXPECT_EQ(run.code, 1) << c.text;
            EXPECT_TRUE(run.err.contains(QStringLiteral(": ") + text)) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(QRegularExpression(QStringLiteral("line [0-9]: [a-zA-Z]+ = "))))
                << run.err.toStdString();
            ASSERT_EQ(ui.boxes.size(), 1u) << c.text;
            EXPECT_EQ(ui.boxes[0].caption + QStringLiteral(": ") + ui.boxes[0].text, QString::fromUtf8(c.refusal));
            continue;
        }
        ASSERT_EQ(run.code, 0) << c.text << run.err.toStdString();
        EXPECT_TRUE(ui.boxes.empty()) << c.text;
        // Everything but the curve is the same to the byte (the window's curve also remembers its past).
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray cli = file.readAll();
        const ProfileImage shown = window->BuildProfileImage();
        EXPECT_EQ(cli.mid(256), QByteArray(reinterpret_cast<const char *>(shown.data()) + 256, 64)) << c.text;
    }
}
