// A running copy of the main window in a process of its own, for the second-copy and recovery
// tests: says "ready" once it runs, "forward" each time another copy calls it to the front, and,
// given a state folder and a text, types that text into the Software Number as a user would and
// says "edited".
#include "PlexaDlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
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
    if (argc > 3)
        window.SetStateFolder(QString::fromLocal8Bit(argv[3]));
    QTextStream out(stdout);
    if (!window.OnInitDialog()) {
        out << "busy" << Qt::endl;
        return 1;
    }
    window.show();
    out << "ready" << Qt::endl;
    if (argc > 4) {
        window.StartRecovery();
        auto *field = qobject_cast<QLineEdit *>(window.Control(1008));
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QString::fromLocal8Bit(argv[4]));
        out << "edited" << Qt::endl;
    }
    int told = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (; told < window.TimesCalledForward(); ++told)
            out << "forward" << Qt::endl;
    });
    watch.start(20);
    return app.exec();
}
