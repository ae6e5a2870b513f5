// orvex: starts the main window, with a profile file to open when one is named.
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
    // Qt has taken its own options; what is left is the file to open (the desktop entry passes %f).
    const QStringList files = QApplication::arguments().mid(1);
    if (files.size() > 1 || (files.size() == 1 && files.first().startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "usage: orvex [--version] [FILE.dat]\n");
        return 2;
    }
    CPlexaDlg dialog;
    if (!dialog.OnInitDialog())
        return 0;
    dialog.show();
    // Work left unsaved by a run that ended badly comes first; a file named at start then asks
    // before it replaces a restored profile.
    dialog.StartRecovery();
    if (!files.isEmpty())
        dialog.OpenFile(files.first());
    return app.exec();
}
