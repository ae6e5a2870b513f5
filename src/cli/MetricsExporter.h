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
class Exposer;
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

    MetricsExporter(const std::vector<QString> &devices, QObject *parent = nullptr);
    ~MetricsExporter() override;
    // Starts serving; throws std::exception when the address cannot be bound.
    void Listen(const std::string &address);
    std::vector<int> ListeningPorts() const;

private:
    struct Watched;
    void TryOpen(Watched &watched);
    void OnReading(Watched &watched, const MonitorReading &reading);
    void UpdateUp();

    std::shared_ptr<prometheus::Registry> registry;
    std::unique_ptr<prometheus::Exposer> exposer;
    prometheus::Family<prometheus::Gauge> *up = nullptr;
    prometheus::Family<prometheus::Gauge> *temperature = nullptr;
    prometheus::Family<prometheus::Gauge> *volts = nullptr;
    prometheus::Family<prometheus::Gauge> *pwm = nullptr;
    prometheus::Family<prometheus::Gauge> *alarm = nullptr;
    prometheus::Family<prometheus::Gauge> *lastFrame = nullptr;
    prometheus::Family<prometheus::Counter> *frames = nullptr;
    prometheus::Family<prometheus::Counter> *badFrames = nullptr;
    std::vector<std::unique_ptr<Watched>> watched;
    QTimer upTimer;
};
