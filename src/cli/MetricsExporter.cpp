// prometheus-cpp holds the metrics and writes the text format; a thread of its own reads the ports and
// keeps them current, and scrapes come from the server's.
#include "MetricsExporter.h"

#include "Output.h"
#include "PortList.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>
#include <prometheus/text_serializer.h>

struct MetricsExporter::Watched
{
    QString device;
    prometheus::Labels labels;
    prometheus::Gauge *up = nullptr;
    prometheus::Gauge *temperature = nullptr; // only the input the controller reports is there
    prometheus::Gauge *volts = nullptr;
    prometheus::Gauge *pwm = nullptr;
    prometheus::Gauge *alarm = nullptr;
    prometheus::Gauge *lastFrame = nullptr;
    prometheus::Counter *frames = nullptr;
    prometheus::Counter *badFrames = nullptr;
    QElapsedTimer sinceValid;
    bool open = false;
    // The reading thread's own: made, used and destroyed there.
    std::unique_ptr<FrameReader> reader;
    std::unique_ptr<QTimer> reopen;
    QString lastProblem;
};

MetricsExporter::MetricsExporter(const std::vector<QString> &devices)
    : registry(std::make_shared<prometheus::Registry>())
{
    using namespace prometheus;
    up =
        &BuildGauge().Name("orvex_up").Help("1 while the controller sent a valid frame within 5 s").Register(*registry);
    temperature =
        &BuildGauge().Name("orvex_temperature_celsius").Help("Temperature the controller measures").Register(*registry);
    volts = &BuildGauge().Name("orvex_input_volts").Help("Input voltage the controller measures").Register(*registry);
    pwm = &BuildGauge().Name("orvex_fan_pwm_ratio").Help("Fan output, 0 to 1").Register(*registry);
    alarm = &BuildGauge().Name("orvex_alarm_code").Help("Alarm code of the last frame").Register(*registry);
    lastFrame = &BuildGauge()
                     .Name("orvex_last_frame_timestamp_seconds")
                     .Help("Unix time of the last valid frame")
                     .Register(*registry);
    frames = &BuildCounter().Name("orvex_frames_total").Help("Valid frames received").Register(*registry);
    badFrames =
        &BuildCounter().Name("orvex_bad_frames_total").Help("Frames that could not be read").Register(*registry);

    for (const QString &device : devices) {
        auto one = std::make_unique<Watched>();
        one->device = device;
        one->labels = {{"port", device.toStdString()}};
        one->up = &up->Add(one->labels);
        one->frames = &frames->Add(one->labels);
        one->badFrames = &badFrames->Add(one->labels);
        watched.push_back(std::move(one));
    }
}

MetricsExporter::~MetricsExporter()
{
    if (!thread)
        return;
    stopping = true;
    thread->wait();
}

void MetricsExporter::Start()
{
    thread.reset(QThread::create([this] { ReadInRounds(); }));
    thread->start();
}

std::string MetricsExporter::Scrape()
{
    {
        const std::lock_guard<std::mutex> guard(lock);
        Refresh();
    }
    return prometheus::TextSerializer().Serialize(registry->Collect());
}

void MetricsExporter::ReadInRounds()
{
    for (const auto &w : watched) {
        Watched &one = *w;
        one.reader = std::make_unique<FrameReader>(one.device);
        one.reopen = std::make_unique<QTimer>();
        one.reopen->setInterval(kReopenPeriodMs);
        FrameReader *reader = one.reader.get();
        QObject::connect(one.reopen.get(), &QTimer::timeout, reader, [this, &one] { TryOpen(one); });
        QObject::connect(reader, &FrameReader::reading, reader,
                         [this, &one](const MonitorReading &reading) { OnReading(one, reading); });
        QObject::connect(reader, &FrameReader::badFrame, reader, [&one] { one.badFrames->Increment(); });
        QObject::connect(reader, &FrameReader::lost, reader, [this, &one](const QString &why) { OnLost(one, why); });
    }
    for (const auto &w : watched)
        TryOpen(*w);
    QEventLoop loop;
    while (!stopping) {
        loop.processEvents(QEventLoop::AllEvents); // what every port has sent since the last round
        QThread::msleep(kRoundMs);
    }
    for (const auto &w : watched) {
        w->reopen.reset();
        w->reader.reset();
    }
}

void MetricsExporter::TryOpen(Watched &one)
{
    // A name that came to lead to a port already read (a link made after the start): reading the
    // line twice would steal frames from the first, so it waits until it leads elsewhere.
    for (const auto &other : watched) {
        if (other.get() == &one || !other->reader->IsOpen() || !SamePort(one.device, other->device))
            continue;
        const QString problem =
            QStringLiteral("the same device as %1, which is read already; not opened while it is").arg(other->device);
        if (problem != one.lastProblem)
            Err::Line(QStringLiteral("%1: %2").arg(one.device, problem));
        one.lastProblem = problem;
        one.reopen->start();
        return;
    }
    const QString problem = one.reader->Open();
    if (problem.isEmpty()) {
        one.reopen->stop();
        {
            const std::lock_guard<std::mutex> guard(lock);
            one.open = true;
            one.sinceValid.invalidate();
        }
        Err::Line(QStringLiteral("%1: open").arg(one.device));
        one.lastProblem.clear();
        return;
    }
    if (problem != one.lastProblem) // said once, not every second
        Err::Line(QStringLiteral("%1: %2; trying again every second").arg(one.device, problem));
    one.lastProblem = problem;
    one.reopen->start();
}

void MetricsExporter::OnLost(Watched &one, const QString &why)
{
    {
        const std::lock_guard<std::mutex> guard(lock);
        one.open = false;
        one.up->Set(0);
        DropReadings(one);
    }
    Err::Line(QStringLiteral("%1: %2; reopening it when it comes back").arg(one.device, why));
    one.lastProblem = why;
    one.reopen->start();
}

void MetricsExporter::OnReading(Watched &one, const MonitorReading &reading)
{
    const std::lock_guard<std::mutex> guard(lock);
    const bool isTemperature = reading.kind == MonitorReading::Temperature;
    prometheus::Gauge *&shown = isTemperature ? one.temperature : one.volts;
    prometheus::Gauge *&other = isTemperature ? one.volts : one.temperature;
    if (other) {
        (isTemperature ? volts : temperature)->Remove(other);
        other = nullptr;
    }
    if (!shown)
        shown = &(isTemperature ? temperature : volts)->Add(one.labels);
    shown->Set(isTemperature ? reading.liveValue : reading.liveValue / 25.5);
    if (!one.pwm)
        one.pwm = &pwm->Add(one.labels);
    one.pwm->Set(std::clamp(reading.pwmPercent / 100.0, 0.0, 1.0));
    if (reading.alarm) {
        if (!one.alarm)
            one.alarm = &alarm->Add(one.labels);
        one.alarm->Set(*reading.alarm);
    } else if (one.alarm) { // an alarm from an earlier frame is not this one's
        alarm->Remove(one.alarm);
        one.alarm = nullptr;
    }
    if (!one.lastFrame)
        one.lastFrame = &lastFrame->Add(one.labels);
    one.lastFrame->Set(QDateTime::currentMSecsSinceEpoch() / 1000.0);
    one.frames->Increment();
    one.sinceValid.start();
    one.up->Set(1);
}

// Whether each port is up is decided when a scrape asks, so a reading is never served older than
// the up window; a port that is down serves no reading at all, only orvex_up 0 and its counters.
// With the lock held.
void MetricsExporter::Refresh()
{
    for (const auto &one : watched) {
        const bool fresh = one->open && one->sinceValid.isValid() && one->sinceValid.elapsed() < kUpWindowMs;
        one->up->Set(fresh ? 1 : 0);
        if (!fresh)
            DropReadings(*one);
    }
}

void MetricsExporter::DropReadings(Watched &one)
{
    const auto drop = [](prometheus::Family<prometheus::Gauge> *family, prometheus::Gauge *&gauge) {
        if (gauge)
            family->Remove(gauge);
        gauge = nullptr;
    };
    drop(temperature, one.temperature);
    drop(volts, one.volts);
    drop(pwm, one.pwm);
    drop(alarm, one.alarm);
    drop(lastFrame, one.lastFrame);
}
