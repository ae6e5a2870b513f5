// A running copy of the main window in a process of its own, for the second-copy tests: says
// "ready" once it runs, and "forward" each time another copy calls it to the front.
#include "PlexaDlg.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    CPlexaDlg window;
    window.SetInstanceLockName(QString::fromLocal8Bit(argv[1]));
    window.SetSettingsFile(QString::fromLocal8Bit(argv[2]));
    QTextStream out(stdout);
    if (!window.OnInitDialog()) {
        out << "busy" << Qt::endl;
        return 1;
    }
    window.show();
    out << "ready" << Qt::endl;
    int told = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (; told < window.TimesCalledForward(); ++told)
            out << "forward" << Qt::endl;
    });
    watch.start(20);
    return app.exec();
}
