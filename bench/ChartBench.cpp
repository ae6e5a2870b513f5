// Our chart against Qt Charts showing the same fan curve, and the cost of one band edit.
#include "ChartCtrl.h"
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

void QtChartsRender(benchmark::State &state)
{
    const CFanCurvePlot &plot = Window().Plot();
    const QSize size = Window().Chart()->size();

    auto *chart = new QChart;
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
    const double scale = 63.5 / 255;

    auto *curve = new QLineSeries;
    for (const QPointF &p : plot.CurveLine())
        curve->append(p.x() * scale, p.y());
    curve->setPen(QPen(Qt::black, 4));
    auto *step = new QLineSeries;
    for (const QPointF &p : plot.ShutOffLine())
        step->append(p.x() * scale, p.y());
    step->setPen(QPen(QColor(255, 119, 53), 3, Qt::DashLine));
    auto *marker = new QScatterSeries;
    marker->append(30, 50);
    marker->setMarkerSize(10);
    for (QAbstractSeries *series : std::initializer_list<QAbstractSeries *>{curve, step, marker}) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    QChartView view(chart);
    view.resize(size);
    view.show();
    QApplication::processEvents();

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(QtChartsRender)->Unit(benchmark::kMicrosecond);

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

// What every accepted band edit costs: the 256 entries handed over, then the full redraw.
void ReplacePointsAndRedraw(benchmark::State &state)
{
    CFanCurvePlot &plot = Window().Plot();
    int flip = 0;
    for (auto _ : state) {
        const int pwm = (++flip & 1) ? 40 : 41;
        plot.ChangeCurve([pwm](FanCurve &c) { c.curveFan[150] = pwm; });
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
