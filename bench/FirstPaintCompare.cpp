// The window's first paint beside a bare Qt Widgets window's, in one run on one machine and
// platform: each probe started afresh in turn, so both meet the same load and the same caches.
// Prints each run, then the medians and what the window takes beyond the bare one.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// The probe's "first paint after X ms"; negative when it did not say.
double FirstPaintMs(const QString &program, const QStringList &arguments, QString *phases)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(program, arguments);
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return -1;
    const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
    if (phases) {
        const QRegularExpressionMatch line = QRegularExpression(QStringLiteral("phases: ([^\n]*)")).match(out);
        *phases = line.captured(1);
    }
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("first paint after ([0-9.]+) ms")).match(out);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 10;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--runs")
            runs = std::max(1, QByteArray(argv[i + 1]).toInt());
    }
    const QString dir = QCoreApplication::applicationDirPath();
    const QString bare = dir + QStringLiteral("/baseline_probe");
    const QString window = dir + QStringLiteral("/startup_probe");
    // Once each, unmeasured: the first start after a build reads everything from disk.
    FirstPaintMs(bare, {}, nullptr);
    FirstPaintMs(window, {}, nullptr);

    std::vector<double> bareMs, windowMs;
    for (int run = 1; run <= runs; ++run) {
        QString phases, barePhases;
        const double b = FirstPaintMs(bare, {}, &barePhases);
        const double w = FirstPaintMs(window, {QStringLiteral("--phases")}, &phases);
        if (b < 0 || w < 0) {
            std::fprintf(stderr, "run %d: a probe failed\n", run);
            return 1;
        }
        bareMs.push_back(b);
        windowMs.push_back(w);
        std::printf("run %2d: bare %6.1f ms (%s)\n        window %6.1f ms (%s)\n", run, b, qPrintable(barePhases), w,
                    qPrintable(phases));
    }
    const auto [bareLow, bareHigh] = std::minmax_element(bareMs.begin(), bareMs.end());
    const auto [windowLow, windowHigh] = std::minmax_element(windowMs.begin(), windowMs.end());
    std::printf("bare window: median %.1f ms (%.1f to %.1f)\n", Median(bareMs), *bareLow, *bareHigh);
    std::printf("main window: median %.1f ms (%.1f to %.1f)\n", Median(windowMs), *windowLow, *windowHigh);
    std::printf("the main window's first paint comes %.1f ms after the bare window's (medians)\n",
                Median(windowMs) - Median(bareMs));
    return 0;
}
