// The history chart with a day of readings against Qt Charts showing the same day.
#include "ChartCtrl.h"
#include "HistoryWindow.h"
#include "ProcessMemory.h"
#include "ReadingHistory.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
constexpr int kDay = 86400;
const qint64 kStart = QDateTime(QDate(2026, 12, 5), QTime(9, 0)).toMSecsSinceEpoch();

// A plausible reading i seconds into the day: a slow drift with some noise, PWM following.
HistoryReading Reading(int i)
{
    const double h = i / 3600.0;
    const auto temperature = static_cast<float>(32.5 + 12.5 * std::sin(h * 0.7) + 0.4 * std::sin(i * 0.37));
    const float pwm = std::clamp(std::round((temperature - 22) * 4), 0.0f, 100.0f);
    return {kStart + qint64(i) * 1000, temperature, InputKind::Temperature, pwm, temperature > 44 ? 4 : 0};
}

double ResidentMiB()
{
    return ResidentKiB() / 1024.0;
}

struct Day
{
    ReadingHistory history;
    std::unique_ptr<CHistoryWindow> window;
    int next = 0;
    double residentBefore = 0; // the window without the day, then the day added
    double residentAfter = 0;

    Day()
    {
        window = std::make_unique<CHistoryWindow>(history);
        window->resize(900, 520);
        window->show();
        QApplication::processEvents();
        residentBefore = ResidentMiB();
        for (; next < kDay; ++next)
            history.Append(Reading(next));
        window->OnReadingAdded();
        QApplication::processEvents();
        residentAfter = ResidentMiB();
    }
    void AddOne()
    {
        history.Append(Reading(next++));
        window->OnReadingAdded();
    }
};

// Left alive at exit: it must not outlive the application in a static destructor.
Day &TheDay()
{
    static Day *day = new Day;
    return *day;
}

// What the window does at each reading while it follows: the reading in, the span moved, the
// chart redrawn (axes too, as the times move) into its back buffer.
void HistoryAppendAndRedraw(benchmark::State &state)
{
    Day &day = TheDay();
    day.window->FollowLive();
    for (auto _ : state) {
        day.AddOne();
        benchmark::DoNotOptimize(day.window->Chart()->BackBuffer().constBits());
    }
    const CChartCtrl *chart = day.window->Chart();
    state.counters["day_MiB"] = day.residentAfter - day.residentBefore;
    state.counters["resident_MiB"] = day.residentAfter;
    state.SetLabel(
        QStringLiteral("%1x%2, %3 readings").arg(chart->width()).arg(chart->height()).arg(day.next).toStdString());
}
BENCHMARK(HistoryAppendAndRedraw)->Unit(benchmark::kMicrosecond);

// The same and the widget painted from the back buffer, as the screen gets it.
void HistoryAppendRedrawAndPaint(benchmark::State &state)
{
    Day &day = TheDay();
    day.window->FollowLive();
    for (auto _ : state) {
        day.AddOne();
        day.window->Chart()->repaint();
    }
}
BENCHMARK(HistoryAppendRedrawAndPaint)->Unit(benchmark::kMicrosecond);

// The whole day in view (a reverse drag): every reading of both lines reduced to pixel columns.
void HistoryWholeDayRedraw(benchmark::State &state)
{
    Day &day = TheDay();
    CChartCtrl *chart = day.window->Chart();
    emit chart->zoomedByMouse(true);
    for (auto _ : state) {
        chart->Redraw();
        benchmark::DoNotOptimize(chart->BackBuffer().constBits());
    }
    day.window->FollowLive();
}
BENCHMARK(HistoryWholeDayRedraw)->Unit(benchmark::kMicrosecond);

// Qt Charts with the same day: two QLineSeries of 86,400 points on a date-time axis and two value
// axes, in a QChartView the size of our chart, rendered into an image.
struct QtDay
{
    QChart *chart = new QChart;
    QLineSeries *value = new QLineSeries;
    QLineSeries *pwm = new QLineSeries;
    QDateTimeAxis *timeAxis = new QDateTimeAxis;
    std::unique_ptr<QChartView> view;
    QImage image;
    int next = 0;

    QtDay()
    {
        chart->legend()->hide();
        timeAxis->setFormat(QStringLiteral("hh:mm"));
        auto *valueAxis = new QValueAxis;
        valueAxis->setRange(15, 50);
        valueAxis->setTitleText(QStringLiteral("Temperature(°C)"));
        auto *pwmAxis = new QValueAxis;
        pwmAxis->setRange(-3, 103);
        pwmAxis->setTitleText(QStringLiteral("PWM(%)"));
        chart->addAxis(timeAxis, Qt::AlignBottom);
        chart->addAxis(valueAxis, Qt::AlignLeft);
        chart->addAxis(pwmAxis, Qt::AlignRight);
        QList<QPointF> values, pwms;
        for (; next < kDay; ++next) {
            const HistoryReading r = Reading(next);
            values.append(QPointF(static_cast<double>(r.timeMs), r.value));
            pwms.append(QPointF(static_cast<double>(r.timeMs), r.pwmPercent));
        }
        value->replace(values);
        pwm->replace(pwms);
        value->setPen(QPen(QColor(200, 40, 0), 2));
        pwm->setPen(QPen(QColor(0, 90, 200), 2));
        chart->addSeries(value);
        chart->addSeries(pwm);
        value->attachAxis(timeAxis);
        value->attachAxis(valueAxis);
        pwm->attachAxis(timeAxis);
        pwm->attachAxis(pwmAxis);
        view = std::make_unique<QChartView>(chart);
        view->resize(TheDay().window->Chart()->size());
        view->show();
        ShowLastMinutes();
        QApplication::processEvents();
        image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
    }
    void ShowLastMinutes()
    {
        const qint64 end = kStart + qint64(next - 1) * 1000;
        timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(end - CHistoryWindow::kLiveSpanMs),
                           QDateTime::fromMSecsSinceEpoch(end));
    }
    void Render()
    {
        QPainter painter(&image);
        view->render(&painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
};

QtDay &TheQtDay()
{
    static QtDay *day = new QtDay;
    return *day;
}

void QtChartsHistoryAppendAndRender(benchmark::State &state)
{
    QtDay &day = TheQtDay();
    for (auto _ : state) {
        const HistoryReading r = Reading(day.next++);
        day.value->append(static_cast<double>(r.timeMs), r.value);
        day.pwm->append(static_cast<double>(r.timeMs), r.pwmPercent);
        day.ShowLastMinutes();
        QApplication::processEvents();
        day.Render();
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(day.view->width()).arg(day.view->height()).toStdString());
}
BENCHMARK(QtChartsHistoryAppendAndRender)->Unit(benchmark::kMicrosecond);

void QtChartsHistoryWholeDayRender(benchmark::State &state)
{
    QtDay &day = TheQtDay();
    day.timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(kStart),
                           QDateTime::fromMSecsSinceEpoch(kStart + qint64(day.next - 1) * 1000));
    QApplication::processEvents();
    for (auto _ : state)
        day.Render();
    day.ShowLastMinutes();
}
BENCHMARK(QtChartsHistoryWholeDayRender)->Unit(benchmark::kMicrosecond);
} // namespace
