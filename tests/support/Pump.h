// Runs the event loop for a while in tests.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets the simulator's and the port's notifiers run for a while.
inline void Pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
