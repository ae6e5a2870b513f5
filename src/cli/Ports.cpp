// orvexctl ports: the serial ports and running simulators.
#include "Commands.h"
#include "Options.h"
#include "Output.h"

#include "PortList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int Ports(const QStringList &args)
{
    const QCommandLineOption json = Options::Json();
    CommandLine line(QStringLiteral("ports"), QStringLiteral("ports [--json]"),
                     QStringLiteral("Lists the present serial ports and running simulators, one a line: device, a\n"
                                    "tab, description. With --json one array of {\"device\", \"description\"}."),
                     {json});
    if (const std::optional<int> done = line.Parse(args, 0, 0))
        return *done;
    QJsonArray array;
    for (const PortEntry &port : ListPorts()) {
        if (line.IsSet(json))
            array.append(QJsonObject{{QStringLiteral("device"), port.device},
                                     {QStringLiteral("description"), port.description}});
        else
            Out::Line(port.device + QLatin1Char('\t') + port.description);
    }
    if (line.IsSet(json))
        Out::Write(QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n');
    return Out::Finish(kExitOk);
}
