// Holds the named instance lock until killed: the "other copy" of the single-instance tests.
#include "InstanceLock.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    InstanceLock lock(QString::fromLocal8Bit(argv[1]));
    QTextStream out(stdout);
    out << (lock.TryAcquire() ? "held" : "busy") << Qt::endl;
    if (!lock.IsHeld())
        return 1;
    for (;;)
        ::pause();
}
