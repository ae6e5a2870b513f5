// orvexctl: profile files and the controller from the command line, on the same core as the window.
#include "ProfileCodec.h"
#include "ProfileRules.h"
#include "ProfileText.h"
#include "TemperatureCodeTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

const char *const kUsageText =
    "usage: orvexctl COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  decode FILE              print the profile a profile file holds\n"
    "  encode TEXTFILE -o FILE  build a profile file from \"key = value\" lines\n"
    "\n"
    "orvexctl COMMAND --help tells more about one command.\n";

const char *const kDecodeHelp =
    "usage: orvexctl decode FILE\n"
    "\n"
    "Prints the profile that opening FILE in Tamlin Orvex Interface shows, one \"key = value\" line\n"
    "a field, then \"curve = \" and the 256 curve values in percent. Files over 512 bytes are refused.\n";

const char *const kEncodeHelp =
    "usage: orvexctl encode TEXTFILE -o FILE\n"
    "\n"
    "Builds the 320-byte profile file FILE from TEXTFILE, lines of the form decode prints (\"-\" reads\n"
    "standard input). Missing keys take the default template's values. Without a curve line the curve\n"
    "is built from the band fields, as the window does. The window's field rules apply: numbers over a\n"
    "limit are cut to it, and a profile the window refuses is refused with its message.\n";

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

int Refuse(const QString &message)
{
    Err() << "orvexctl: " << message << Qt::endl;
    return kRefused;
}

int Usage(const char *text)
{
    Err() << text;
    return kUsage;
}

int Decode(const QStringList &args)
{
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        QTextStream(stdout) << kDecodeHelp;
        return kOk;
    }
    if (args.size() != 1)
        return Usage(kDecodeHelp);
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("%1: couldn't open source file: %2").arg(args[0], file.errorString()));
    if (file.size() > kFileImageSize)
        return Refuse(QStringLiteral("%1: Wrong type of file opened!, file larger than expected.").arg(args[0]));
    const QByteArray bytes = file.read(kFileImageSize);
    if (file.error() != QFileDevice::NoError)
        return Refuse(QStringLiteral("%1: %2").arg(args[0], file.errorString()));
    std::array<std::uint8_t, kFileImageSize> image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    const TemperatureCodeTable table;
    const DecodedProfile decoded = DecodeProfileImage(image.data(), false, table);
    QTextStream(stdout) << FormatProfileText(decoded.fields, decoded.curveFan);
    return kOk;
}

int Encode(const QStringList &args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kEncodeHelp;
        return kOk;
    }
    QString input;
    QString output;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("-o") && i + 1 < args.size())
            output = args[++i];
        else if (input.isEmpty())
            input = args[i];
        else
            return Usage(kEncodeHelp);
    }
    if (input.isEmpty() || output.isEmpty())
        return Usage(kEncodeHelp);

    QFile source(input);
    const bool opened = input == QStringLiteral("-") ? source.open(stdin, QIODevice::ReadOnly)
                                                     : source.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!opened)
        return Refuse(QStringLiteral("%1: %2").arg(input, source.errorString()));
    ParsedProfileText parsed = ParseProfileText(QString::fromUtf8(source.readAll()));
    if (!parsed.error.isEmpty())
        return Refuse(QStringLiteral("%1: %2").arg(input, parsed.error));

    ControlProfile &profile = parsed.profile;
    if (const auto refusal = ApplyEntryRules(profile))
        return Refuse(QStringLiteral("%1: %2").arg(refusal->caption, refusal->text));
    if (const auto refusal = CheckSaveable(profile))
        return Refuse(QStringLiteral("%1: %2").arg(refusal->caption, refusal->text));

    FanCurve curve;
    if (parsed.curveFan)
        curve.curveFan = *parsed.curveFan;
    else if (profile.multipoint)
        return Refuse(QStringLiteral("%1: a multipoint profile needs its curve line").arg(input));
    else
        RebuildBandCurve(curve, profile);

    const TemperatureCodeTable table;
    ProfileImage image{};
    BuildProfileImage(profile, curve.curveFan, table, image);

    QSaveFile file(output);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    written = written && file.write(reinterpret_cast<const char *>(image.data()), kProfileImageSize) == kProfileImageSize;
    written = written && file.error() == QFileDevice::NoError && file.commit();
    if (!written)
        return Refuse(QStringLiteral("%1: %2").arg(output, file.errorString()));
    return kOk;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return Usage(kUsageText);
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        QTextStream(stdout) << kUsageText;
        return kOk;
    }
    if (command == QStringLiteral("decode"))
        return Decode(args);
    if (command == QStringLiteral("encode"))
        return Encode(args);
    Err() << "orvexctl: unknown command \"" << command << "\"\n";
    return Usage(kUsageText);
}
