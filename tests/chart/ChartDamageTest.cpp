// Tests that a data change, which redraws only the area it touches, leaves the very image a full
// redraw makes.
#include "ChartBalloonLabel.h"
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "ChartTrailSerie.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <vector>

namespace {
// The fan curve's chart: curve, dashed shut-off step, mouse marker with its balloon, live point
// and its trail.
struct CurveChart
{
    CChartCtrl ctrl;
    CChartStandardAxis *bottom;
    CChartStandardAxis *left;
    CChartStandardAxis *top;
    CChartPointsSerie *cursor;
    CChartLineSerie *curve;
    CChartLineSerie *step;
    CChartPointsSerie *live;
    CChartTrailSerie *trail;
    std::vector<double> xs = std::vector<double>(256);
    std::vector<double> ys = std::vector<double>(256);

    CurveChart()
    {
        ctrl.resize(560, 350);
        ctrl.EnableRedraw(false);
        bottom = ctrl.AddStandardAxis(CChartAxis::Bottom);
        bottom->SetRange(0, 63.5);
        left = ctrl.AddStandardAxis(CChartAxis::Left);
        left->SetRange(0, 100);
        top = ctrl.AddStandardAxis(CChartAxis::Top);
        top->SetRange(0, 255);
        top->SetShown(false);
        cursor = ctrl.AddPointsSerie(false);
        cursor->SetPointSize(10, 10);
        curve = ctrl.AddLineSerie();
        curve->SetWidth(4);
        curve->SetColor(Qt::black);
        step = ctrl.AddLineSerie();
        step->SetWidth(3);
        step->SetPenStyle(CChartLineSerie::Dashed);
        step->SetColor(QColor(255, 119, 53));
        live = ctrl.AddPointsSerie(true);
        trail = ctrl.AddTrailSerie(true);
        trail->SetColor(Qt::white);
        live->SetZOrder(1);
        ctrl.SetBackColor(QColor(49, 183, 240));
        cursor->AttachLabel(0, std::make_unique<CChartBalloonLabel>(cursor, 0));
        for (int i = 0; i < 256; ++i) {
            xs[i] = i;
            ys[i] = i < 100 ? 0 : i < 200 ? (i - 100) * 0.9 : 90;
        }
        curve->ReplacePoints(xs.data(), ys.data(), 256);
        ctrl.EnableRedraw(true);
    }
};

constexpr quint32 kChanges = 10;

// One change as the window makes them, drawn from a random number.
void Change(CurveChart &chart, quint32 what, QRandomGenerator &random)
{
    CChartCtrl &ctrl = chart.ctrl;
    const auto entry = [&] { return static_cast<double>(random.bounded(256)); };
    const auto percent = [&] { return static_cast<double>(random.bounded(101)); };
    switch (what % kChanges) {
    case 0: // one curve entry moved, as a multipoint point
        chart.ys[static_cast<std::size_t>(random.bounded(256))] = percent();
        chart.curve->ReplacePoints(chart.xs.data(), chart.ys.data(), 256);
        break;
    case 1: { // a band moved: a whole ramp
        const int from = random.bounded(200);
        const int to = from + random.bounded(1, 56);
        const double low = percent(), high = percent();
        for (int i = from; i < to; ++i)
            chart.ys[static_cast<std::size_t>(i)] = low + (high - low) * (i - from) / (to - from);
        chart.curve->ReplacePoints(chart.xs.data(), chart.ys.data(), 256);
        break;
    }
    case 2: { // the shut-off step drawn again
        ctrl.EnableRedraw(false);
        const double at = entry(), speed = percent();
        chart.step->RemoveAllPoints();
        chart.step->AppendPoint({at, 0});
        chart.step->AppendPoint({at, speed});
        chart.step->AppendPoint({std::min(at + 40, 255.0), speed});
        ctrl.EnableRedraw(true);
        break;
    }
    case 3:
    case 4: { // a monitor reading
        ctrl.EnableRedraw(false);
        const double x = entry(), y = percent();
        chart.trail->AddPoint({x, y});
        chart.live->SetPointSize(18, 18);
        chart.live->RemoveAllPoints();
        chart.live->AppendPoint({x, y});
        ctrl.EnableRedraw(true);
        break;
    }
    case 5: { // the mouse marker with its balloon, or none
        double x = entry() / 4, y = percent();
        chart.cursor->ReplacePoints(&x, &y, random.bounded(2));
        break;
    }
    case 6: // the live point cleared
        ctrl.EnableRedraw(false);
        chart.live->SetPointSize(1, 1);
        chart.live->RemoveAllPoints();
        ctrl.EnableRedraw(true);
        break;
    case 7: // a point far off the plot
        chart.ys[static_cast<std::size_t>(random.bounded(256))] = random.bounded(2) ? -400 : 900;
        chart.curve->ReplacePoints(chart.xs.data(), chart.ys.data(), 256);
        break;
    case 8: // how a series looks
        switch (random.bounded(4)) {
        case 0: chart.curve->SetColor(random.bounded(2) ? Qt::black : Qt::red); break;
        case 1: chart.curve->SetWidth(1 + random.bounded(5)); break;
        case 2: chart.step->SetVisible(!chart.step->GetPointsCount() || random.bounded(2)); break;
        default: chart.trail->SetVisible(random.bounded(2)); break;
        }
        break;
    case 9: // the drawing order, the frame, or everything
        switch (random.bounded(3)) {
        case 0: chart.live->SetZOrder(random.bounded(2)); break;
        case 1: chart.left->SetRange(0, random.bounded(2) ? 100 : 90); break;
        default: ctrl.Redraw(); break;
        }
        break;
    }
}
} // namespace

// Two charts take the same changes; one is drawn anew from nothing each time. Their images agree
// after every change, however the changes pile up. CTest runs this at screen scales 2 and 1.5 too.
TEST(ChartDamage, DataChangesLeaveTheImageOfAFullRedraw)
{
    CurveChart changed;
    CurveChart reference;
    QRandomGenerator random(20261207);
    for (int i = 0; i < 400; ++i) {
        const quint32 what = random.generate();
        const quint32 seed = random.generate();
        QRandomGenerator a(seed), b(seed);
        Change(changed, what, a);
        Change(reference, what, b);
        reference.ctrl.Redraw();
        ASSERT_EQ(changed.ctrl.BackBuffer(), reference.ctrl.BackBuffer())
            << "change " << i << ", kind " << what % kChanges;
    }
}

// The trail's markers as smooth discs of their shade, oldest under newest, each blended over what
// lies beneath: the same pixels as drawing each disc in place.
TEST(ChartDamage, TrailMarkersAreSmoothDiscsFadingWithAge)
{
    CurveChart chart;
    const QImage before = chart.ctrl.BackBuffer().copy();
    QRandomGenerator random(7);
    std::vector<QPointF> points;
    chart.ctrl.EnableRedraw(false);
    for (int i = 0; i < CChartTrailSerie::kCapacity; ++i) {
        points.emplace_back(random.bounded(256), random.bounded(101));
        chart.trail->AddPoint(points.back());
    }
    chart.ctrl.EnableRedraw(true);

    QImage expected = before;
    QPainter painter(&expected);
    painter.setClipRect(chart.ctrl.PlottingRect().ToQRect().adjusted(0, 0, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < CChartTrailSerie::kCapacity; ++i) {
        QColor fill(Qt::white);
        fill.setAlpha(chart.trail->Alpha(i));
        painter.setBrush(fill);
        const QPointF at(chart.top->ValueToPixel(points[i].x()), chart.left->ValueToPixel(points[i].y()));
        painter.drawEllipse(at + QPointF(0.5, 0.5), chart.trail->PointSize() / 2.0, chart.trail->PointSize() / 2.0);
    }
    painter.end();
    EXPECT_EQ(chart.ctrl.BackBuffer(), expected);
}
