// What the start-up probes share: the time since the process started, and noticing a first paint.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <ctime>
#include <unistd.h>

// Seconds since the kernel started this process: dynamic linking and static set-up included.
inline double SecondsSinceProcessStart()
{
    // Clock ticks since boot when the process started, from /proc.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - startTicks / sysconf(_SC_CLK_TCK);
}

// Notes the time of the first paint of the widget it watches, then ends the event loop.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            seconds = SecondsSinceProcessStart();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    bool seen = false;
    double seconds = 0;
};
