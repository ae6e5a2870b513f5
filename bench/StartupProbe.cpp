// Starts the window as main() does and exits at its first paint, printing how long that took from
// the process's start and its resident memory; with --phases also when each step of start-up ended;
// with --edits N it first makes N downloads' worth of curve edits (band edits and image builds) and
// prints the memory again.
#include "ChartCtrl.h"
#include "FirstPaint.h"
#include "OrvexVersion.h"
#include "PlexaDlg.h"
#include "ProcessMemory.h"
#include "ProfileEntry.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char **argv)
{
    const double entered = SecondsSinceProcessStart();
    QApplication app(argc, argv);
    int edits = 0;
    bool phases = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--edits" && i + 1 < argc)
            edits = QByteArray(argv[i + 1]).toInt();
        if (QByteArray(argv[i]) == "--phases")
            phases = true;
    }
    QApplication::setApplicationName(QStringLiteral("Tamlin Orvex Interface"));
    QApplication::setApplicationVersion(QString::fromLatin1(kOrvexVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kOrvexAppId));
    const double applicationMade = SecondsSinceProcessStart();
    CPlexaDlg dialog;
    const double windowMade = SecondsSinceProcessStart();
    dialog.SetInstanceLockName(QStringLiteral("orvex-startup-probe"));
    if (!dialog.OnInitDialog())
        return 1;
    const double initialised = SecondsSinceProcessStart();
    FirstPaint probe;
    dialog.Chart()->installEventFilter(&probe);
    dialog.show();
    const double shown = SecondsSinceProcessStart();
    app.exec();
    std::printf("first paint after %.1f ms, resident %ld KiB, window %dx%d\n", probe.seconds * 1000, ResidentKiB(),
                dialog.width(), dialog.height());
    if (phases) {
        // Each step's end since the process started, in ms.
        std::printf(
            "phases: main %.1f, QApplication %.1f, CPlexaDlg %.1f, OnInitDialog %.1f, show %.1f, painted %.1f\n",
            entered * 1000, applicationMade * 1000, windowMade * 1000, initialised * 1000, shown * 1000,
            probe.seconds * 1000);
    }

    if (edits > 0) {
        auto *top = qobject_cast<QLineEdit *>(dialog.Control(1056));
        auto *bottom = qobject_cast<QLineEdit *>(dialog.Control(1055));
        for (int i = 0; i < edits; ++i) {
            // A download's worth: both bands moved, the curve redrawn, the image built.
            top->setText(QString::number(40 + i % 20));
            dialog.Entry().OnEnKillfocusTopBand();
            bottom->setText(QString::number(10 + i % 20));
            dialog.Entry().OnEnKillfocusBottomBand();
            dialog.BuildProfileImage();
            QCoreApplication::processEvents();
        }
        std::printf("after %d downloads' worth of edits, resident %ld KiB\n", edits, ResidentKiB());
    }
    return 0;
}
