// The window as a technician leaves it for the afternoon: connected to a simulated controller,
// monitoring on, the history open with a day of readings. Prints the CPU the process spends idling
// for a while and its resident memory.
#include "ControllerLink.h"
#include "HistoryWindow.h"
#include "MonitorFrame.h"
#include "PlexaDlg.h"
#include "ProcessMemory.h"
#include "QtModalUi.h"
#include "ReadingHistory.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace {
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Answers the COM Setting dialog with the simulator's port; shows nothing else.
class Answers : public QtModalUi
{
public:
    explicit Answers(QString device) : device(std::move(device)) {}
    std::optional<ComSettings> RunComSetting(QWidget *, const ComSettings &) override
    {
        return ComSettings{device, 1, 9600};
    }

private:
    QString device;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    QProcess sim;
    sim.start(QStringLiteral(ORVEX_SIM), {QStringLiteral("--input"), QStringLiteral("128")});
    if (!sim.waitForReadyRead(10000))
        return 1;
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    QTemporaryDir dir;
    CPlexaDlg window;
    window.SetModalUi(std::make_unique<Answers>(device));
    window.SetInstanceLockName(QStringLiteral("orvex-idle-probe"));
    window.SetSettingsFile(dir.filePath(QStringLiteral("settings.ini")));
    if (!window.OnInitDialog())
        return 1;
    window.show();

    // A day of readings at one a second before this afternoon's, as if the window had run since.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    auto &history = const_cast<ReadingHistory &>(window.History()); // the probe's own shortcut
    for (int i = 86400; i > 0; --i) {
        const double t = i / 3600.0;
        history.Append({now - i * 1000LL, static_cast<float>(32 + 8 * std::sin(t)), InputKind::Temperature,
                        static_cast<float>(50 + 30 * std::sin(t)), i % 7200 == 0 ? 3 : 0});
    }
    window.ShowHistory();

    window.OnBnClickedConnect();
    Wait(2500); // the first frame enables the monitor checkbox only after a download; tick it ourselves
    auto *monitor = qobject_cast<QCheckBox *>(window.Control(1052));
    monitor->setEnabled(true);
    monitor->click();
    Wait(3000);

    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    Wait(seconds * 1000);
    const double cpu = CpuSeconds() - cpuBefore;
    const double wall = clock.elapsed() / 1000.0;
    std::printf("idle %.0f s connected, monitoring, history open with %d readings: CPU %.3f s (%.2f %% of a core), "
                "resident %ld KiB\n",
                wall, window.History().Size(), cpu, 100.0 * cpu / wall, ResidentKiB());
    window.OnBnClickedConnect();
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
