// The exporter: ports kept open, their frames as Prometheus metrics, ports reopened when they return.
#pragma once

#include "FrameReader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace prometheus {
class Counter;
class Gauge;
template <typename T> class Family;
class Registry;
} // namespace prometheus

class MetricsExporter : public QObject
{
    Q_OBJECT
public:
    // A frame older than this leaves the port down.
    static constexpr int kUpWindowMs = 5000;
    static constexpr int kReopenPeriodMs = 1000;

    explicit MetricsExporter(const std::vector<QString> &devices, QObject *parent = nullptr);
    ~MetricsExporter() override;
    // Opens the ports; those that cannot be opened are tried again every second.
    void Start();
    // The metrics in the text format, as they stand now.
    std::string Scrape();

private:
    struct Watched;
    void TryOpen(Watched &watched);
    void OnReading(Watched &watched, const MonitorReading &reading);
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
};
