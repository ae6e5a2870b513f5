// Our chart against Qt Charts showing the same fan curve: a full redraw, the data changes the window
// makes (a monitor reading, a curve edit), and the cost of one band edit.
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "FanCurvePlot.h"
#include "PlexaDlg.h"
#include "ProfileEntry.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <benchmark/benchmark.h>

namespace {
CPlexaDlg &Window()
{
    static CPlexaDlg *window = [] {
        auto *w = new CPlexaDlg;
        w->SetInstanceLockName(QStringLiteral("orvex-bench"));
        w->OnInitDialog();
        w->show();
        return w;
    }();
    return *window;
}

// The monitor's operating points along the curve, as an afternoon of readings leaves them: the
// trail full and the live point on top.
std::vector<QPointF> OperatingPoints()
{
    const FanCurve &curve = Window().Plot().Curve();
    std::vector<QPointF> points;
    for (int i = 0; i < 64; ++i) {
        const int entry = 90 + (i * 37) % 120;
        points.emplace_back(entry, curve.curveFan[static_cast<std::size_t>(entry)]);
    }
    return points;
}

// Monitoring for a while: the trail full and the live point on top; the chart as after start again.
void StartMonitoring()
{
    for (QPointF p : OperatingPoints())
        Window().Plot().ShowLivePoint(p.x(), p.y());
}

void StopMonitoring()
{
    Window().Plot().ClearTrail();
    Window().Plot().ClearLiveMarker();
}

// Everything drawn anew: what a resize or an explicit Redraw costs, the frame layer kept.
void OurChartRedraw(benchmark::State &state)
{
    CChartCtrl *chart = Window().Chart();
    for (auto _ : state) {
        chart->Redraw();
        benchmark::DoNotOptimize(chart->BackBuffer().constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(chart->width()).arg(chart->height()).toStdString());
}
BENCHMARK(OurChartRedraw)->Unit(benchmark::kMicrosecond);

// A monitor reading: the live point moves on the curve and the trail takes the last one.
void OurChartLiveReading(benchmark::State &state)
{
    StartMonitoring();
    const std::vector<QPointF> points = OperatingPoints();
    std::size_t next = 0;
    for (auto _ : state) {
        const QPointF p = points[next++ % points.size()];
        Window().Plot().ShowLivePoint(p.x(), p.y());
        benchmark::DoNotOptimize(Window().Chart()->BackBuffer().constBits());
    }
    StopMonitoring();
}
BENCHMARK(OurChartLiveReading)->Unit(benchmark::kMicrosecond);

// The same with the frame drawn anew each time (a colour flips), as after a resize or zoom.
void OurChartRedrawWithFrame(benchmark::State &state)
{
    CChartCtrl *chart = Window().Chart();
    const QColor original = chart->GetBackColor();
    int flip = 0;
    for (auto _ : state) {
        chart->SetBackColor((++flip & 1) ? QColor(49, 183, 241) : original); // SetBackColor redraws
        benchmark::DoNotOptimize(chart->BackBuffer().constBits());
    }
    chart->SetBackColor(original);
}
BENCHMARK(OurChartRedrawWithFrame)->Unit(benchmark::kMicrosecond);

// The same chart in Qt Charts, rendered to an image of the same size.
struct QtChartsPeer
{
    // `monitoring`: with the live point and the trail of the last 60 readings.
    QChart *chart = new QChart;
    QLineSeries *curve = new QLineSeries;
    QScatterSeries *marker = new QScatterSeries;
    QScatterSeries *trail = new QScatterSeries;
    QChartView view{chart};
    QImage image;

    explicit QtChartsPeer(bool monitoring)
    {
        const CFanCurvePlot &plot = Window().Plot();
        const QSize size = Window().Chart()->size();
        chart->legend()->hide();
        chart->setBackgroundBrush(QColor(49, 183, 240));
        auto *axisX = new QValueAxis;
        axisX->setRange(0, 63.5);
        axisX->setTitleText(QStringLiteral("Temperature(°C)"));
        auto *axisY = new QValueAxis;
        axisY->setRange(0, 100);
        axisY->setTitleText(QStringLiteral("PWM(%)"));
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);

        for (const QPointF &p : plot.CurveLine())
            curve->append(p.x() * kScale, p.y());
        curve->setPen(QPen(Qt::black, 4));
        auto *step = new QLineSeries;
        for (const QPointF &p : plot.ShutOffLine())
            step->append(p.x() * kScale, p.y());
        step->setPen(QPen(QColor(255, 119, 53), 3, Qt::DashLine));
        if (monitoring) {
            const std::vector<QPointF> points = OperatingPoints();
            for (std::size_t i = points.size() - 60; i < points.size(); ++i)
                trail->append(points[i].x() * kScale, points[i].y());
            trail->setMarkerSize(7);
            trail->setColor(QColor(255, 255, 255, 120));
            marker->append(points.back().x() * kScale, points.back().y());
            marker->setMarkerSize(18);
        } else {
            marker->append(30, 50);
            marker->setMarkerSize(10);
        }
        for (QAbstractSeries *series : std::initializer_list<QAbstractSeries *>{curve, step, trail, marker}) {
            chart->addSeries(series);
            series->attachAxis(axisX);
            series->attachAxis(axisY);
        }
        view.resize(size);
        view.show();
        QApplication::processEvents();
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }
    // The scene takes a data change when events are processed, then the view renders it.
    void Render()
    {
        QApplication::processEvents();
        QPainter painter(&image);
        view.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    static constexpr double kScale = 63.5 / 255;
};

QtChartsPeer &Peer(bool monitoring = false)
{
    static QtChartsPeer *peers[2] = {};
    QtChartsPeer *&peer = peers[monitoring ? 1 : 0];
    if (!peer)
        peer = new QtChartsPeer(monitoring);
    return *peer;
}

void QtChartsRender(benchmark::State &state)
{
    QtChartsPeer &peer = Peer();
    for (auto _ : state)
        peer.Render();
}
BENCHMARK(QtChartsRender)->Unit(benchmark::kMicrosecond);

// The chart while monitoring, as it stands.
void QtChartsRenderMonitoring(benchmark::State &state)
{
    QtChartsPeer &peer = Peer(true);
    for (auto _ : state)
        peer.Render();
}
BENCHMARK(QtChartsRenderMonitoring)->Unit(benchmark::kMicrosecond);

void QtChartsLiveReading(benchmark::State &state)
{
    QtChartsPeer &peer = Peer(true);
    const std::vector<QPointF> points = OperatingPoints();
    std::size_t next = 0;
    for (auto _ : state) {
        const QPointF p = points[next++ % points.size()];
        peer.marker->replace(0, QPointF(p.x() * QtChartsPeer::kScale, p.y()));
        peer.trail->remove(0);
        peer.trail->append(p.x() * QtChartsPeer::kScale, p.y());
        peer.Render();
    }
}
BENCHMARK(QtChartsLiveReading)->Unit(benchmark::kMicrosecond);

void QtChartsCurveEdit(benchmark::State &state)
{
    QtChartsPeer &peer = Peer();
    const QPointF at = peer.curve->at(150);
    int flip = 0;
    for (auto _ : state) {
        peer.curve->replace(150, QPointF(at.x(), (++flip & 1) ? 40 : 41));
        peer.Render();
    }
}
BENCHMARK(QtChartsCurveEdit)->Unit(benchmark::kMicrosecond);

// A band typed and left: the checks, the curve moved, the shut-off step and the chart redrawn.
void BandEditToRedraw(benchmark::State &state)
{
    CPlexaDlg &window = Window();
    auto *top = qobject_cast<QLineEdit *>(window.Control(1056));
    int flip = 0;
    for (auto _ : state) {
        top->setText((++flip & 1) ? QStringLiteral("45") : QStringLiteral("50"));
        window.Entry().OnEnKillfocusTopBand();
        benchmark::DoNotOptimize(window.Chart()->BackBuffer().constBits());
    }
}
BENCHMARK(BandEditToRedraw)->Unit(benchmark::kMicrosecond);

// A curve edit: one entry moved (as a multipoint point does), the 256 entries handed to the curve's
// series and the chart redrawn where the curve moved.
void ReplacePointsAndRedraw(benchmark::State &state)
{
    CChartLineSerie *line = Window().Plot().Objects().curveLine;
    FanCurve curve = Window().Plot().Curve();
    int flip = 0;
    for (auto _ : state) {
        curve.curveFan[150] = (++flip & 1) ? 40 : 41;
        line->ReplacePoints(curve.curveX.data(), curve.curveFan.data(), FanCurve::kPoints);
        benchmark::DoNotOptimize(Window().Chart()->BackBuffer().constBits());
    }
}
BENCHMARK(ReplacePointsAndRedraw)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
