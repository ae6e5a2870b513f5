// Starts the window as main() does and exits at its first paint, printing how long that took from
// the process's start and its resident memory; with --edits N it first makes N downloads' worth of
// curve edits (band edits and image builds) and prints the memory again.
#include "ChartCtrl.h"
#include "PlexaDlg.h"
#include "ProcessMemory.h"
#include "ProfileEntry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
double SecondsSinceProcessStart()
{
    // Clock ticks since boot when the process started, from /proc.
    QFile stat(QStringLiteral("/proc/self/stat"));
    stat.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - startTicks / sysconf(_SC_CLK_TCK);
}

// Notices the window's first paint.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    bool seen = false;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int edits = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--edits")
            edits = QByteArray(argv[i + 1]).toInt();
    }
    CPlexaDlg dialog;
    dialog.SetInstanceLockName(QStringLiteral("orvex-startup-probe"));
    if (!dialog.OnInitDialog())
        return 1;
    FirstPaint probe;
    dialog.Chart()->installEventFilter(&probe);
    dialog.show();
    app.exec();
    std::printf("first paint after %.1f ms, resident %ld KiB\n", SecondsSinceProcessStart() * 1000, ResidentKiB());

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
