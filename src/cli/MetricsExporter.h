// The exporter: ports kept open, their frames as Prometheus metrics, ports reopened when they return.
#pragma once

#include "FrameReader.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace prometheus {
class Counter;
class Gauge;
template <typename T> class Family;
class Registry;
} // namespace prometheus

class MetricsExporter
{
public:
    // A frame older than this leaves the port down.
    static constexpr int kUpWindowMs = 5000;
    static constexpr int kReopenPeriodMs = 1000;
    // The ports are read in rounds on a thread of their own: one wake-up a round for all of them,
    // where a wake-up for each frame looked at every port each time (most of the CPU with 64).
    static constexpr int kRoundMs = 250;

    explicit MetricsExporter(const std::vector<QString> &devices);
    ~MetricsExporter();
    MetricsExporter(const MetricsExporter &) = delete;
    MetricsExporter &operator=(const MetricsExporter &) = delete;
    // Opens the ports and reads them until destroyed; those that cannot be opened are tried again every second.
    void Start();
    // The metrics in the text format, as they stand now; from any thread.
    std::string Scrape();

private:
    struct Watched;
    void ReadInRounds();
    void TryOpen(Watched &watched);
    void OnReading(Watched &watched, const MonitorReading &reading);
    void OnLost(Watched &watched, const QString &why);
    void Refresh();
    void DropReadings(Watched &watched);

    std::shared_ptr<prometheus::Registry> registry;
    prometheus::Family<prometheus::Gauge> *up = nullptr;
    prometheus::Family<prometheus::Gauge> *temperature = nullptr;
    prometheus::Family<prometheus::Gauge> *volts = nullptr;
    prometheus::Family<prometheus::Gauge> *pwm = nullptr;
    prometheus::Family<prometheus::Gauge> *alarm = nullptr;
    prometheus::Family<prometheus::Gauge> *lastFrame = nullptr;
    prometheus::Family<prometheus::Counter> *frames = nullptr;
    prometheus::Family<prometheus::Counter> *badFrames = nullptr;
    std::vector<std::unique_ptr<Watched>> watched;
    std::mutex lock; // the gauges and what is known of each port, between the reading thread and scrapes
    std::unique_ptr<QThread> thread;
    std::atomic<bool> stopping{false};
};
