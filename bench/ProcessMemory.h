// The resident memory of a process, for the probes that report it.
#pragma once

#include <QFile>

// In KiB, from /proc; this process unless another's id is given. -1 where it cannot be read.
inline long ResidentKiB(const QString &pid = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}
