// orvexctl decode: a profile file as the window shows it.
#include "Commands.h"
#include "Files.h"
#include "Options.h"
#include "Output.h"
#include "ProfileJson.h"

#include "ProfileText.h"

int Decode(const QStringList &args)
{
    const QCommandLineOption json = Options::Json();
    CommandLine line(QStringLiteral("decode"), QStringLiteral("decode [--json] FILE"),
                     QStringLiteral("Prints the profile that opening FILE in Tamlin Orvex Interface shows, one\n"
                                    "\"key = value\" line a field, then \"curve = \" and the 256 curve values in\n"
                                    "percent; \"-\" reads standard input. Only regular files of at most 512 bytes\n"
                                    "are read; a shorter file than 320 bytes reads as zeros after its end."),
                     {json});
    if (const std::optional<int> done = line.Parse(args, 1, 1))
        return *done;
    const QString path = line.Arguments().constFirst();
    const ProfileInput input = ReadProfileInput(path);
    if (!input.error.isEmpty())
        return Refuse(input.error);
    if (input.length < kProfileImageSize)
        Err::Line(QStringLiteral("%1: the file holds %2 of %3 bytes; the rest reads as 0")
                      .arg(path)
                      .arg(input.length)
                      .arg(kProfileImageSize));
    const TemperatureCodeTable table;
    const DecodedProfile decoded = DecodeProfileImage(input.image.data(), false, table);
    if (line.IsSet(json))
        Out::Json(ProfileJson(decoded.fields, decoded.curveFan));
    else
        Out::Text(FormatProfileText(decoded.fields, decoded.curveFan));
    return Out::FinishOrReaderGone(kExitOk);
}
