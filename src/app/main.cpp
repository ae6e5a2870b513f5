// orvex: starts the main window.
#include "OrvexVersion.h"
#include "PlexaDlg.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before QApplication, so it works without a display.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("orvex %s\n", kOrvexVersion);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamlin Orvex Interface"));
    QApplication::setApplicationVersion(QString::fromLatin1(kOrvexVersion));
    // Lets Wayland and the desktop match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kOrvexAppId));
    CPlexaDlg dialog;
    if (!dialog.OnInitDialog())
        return 0;
    dialog.show();
    return app.exec();
}
