// Tests of the strip, event and trail series, the right axis and the series' z-order.
#include "ChartCtrl.h"
#include "ChartEventSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "ChartStripSerie.h"
#include "ChartTrailSerie.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {
const QColor kBack(255, 255, 255);
const QColor kLine(200, 40, 0);

// A white chart with 0..range on the bottom, 0..100 left and 0..10 right.
struct Chart
{
    CChartCtrl ctrl;
    CChartStandardAxis *bottom;
    CChartStandardAxis *left;
    CChartStandardAxis *right;

    explicit Chart(double range = 1000)
    {
        ctrl.resize(500, 300);
        ctrl.EnableRedraw(false);
        bottom = ctrl.AddStandardAxis(CChartAxis::Bottom);
        bottom->SetRange(0, range);
        left = ctrl.AddStandardAxis(CChartAxis::Left);
        left->SetRange(0, 100);
        right = ctrl.AddStandardAxis(CChartAxis::Right);
        right->SetRange(0, 10);
        for (CChartAxis *axis : std::initializer_list<CChartAxis *>{bottom, left, right})
            axis->GetGrid()->visible = false;
        ctrl.SetBackColor(kBack);
        ctrl.EnableRedraw(true);
    }
    CChartStripSerie *Strip(bool rightAxis = false)
    {
        CChartStripSerie *strip = ctrl.AddStripSerie(rightAxis);
        strip->SetColor(kLine);
        return strip;
    }
    QColor At(int x, int y) const { return ctrl.BackBuffer().pixelColor(x, y); }
    int X(double v) const { return bottom->ValueToPixel(v); }
    int Y(double v) const { return left->ValueToPixel(v); }
};

void Fill(CChartStripSerie *strip, const std::vector<QPointF> &points)
{
    for (QPointF p : points)
        strip->AppendPoint(p);
}
} // namespace

TEST(StripSerie, EachPixelColumnGetsItsOwnMinimumAndMaximum)
{
    Chart chart(1000); // a thousand points on some 400 columns
    CChartStripSerie *strip = chart.Strip();
    std::vector<QPointF> points;
    for (int i = 0; i <= 1000; ++i) {
        // A spike to 90 and a dip to 10 inside the columns around 300 and 700, 50 elsewhere.
        double y = 50;
        if (i == 301)
            y = 90;
        if (i == 302)
            y = 10;
        if (i == 701)
            y = 80;
        points.emplace_back(i, y);
    }
    chart.ctrl.EnableRedraw(false);
    Fill(strip, points);
    chart.ctrl.EnableRedraw(true);

    // At most one minimum/maximum pair per column, whatever the number of points.
    const std::vector<QPolygon> runs = strip->Runs();
    ASSERT_EQ(runs.size(), 1u);
    std::map<int, int> perColumn;
    for (QPoint p : runs.front())
        ++perColumn[p.x()];
    for (const auto &[column, count] : perColumn)
        EXPECT_LE(count, 2) << column;
    EXPECT_LE(runs.front().size(), 2 * chart.ctrl.PlottingRect().Width());

    // The spike and the dip both reach their pixels in their column; the line elsewhere stays at 50.
    const int x301 = chart.X(301);
    EXPECT_EQ(chart.At(x301, chart.Y(89)), kLine);
    EXPECT_EQ(chart.At(chart.X(302), chart.Y(11)), kLine);
    EXPECT_EQ(chart.At(chart.X(701), chart.Y(79)), kLine);
    EXPECT_EQ(chart.At(chart.X(500), chart.Y(50)), kLine);
    EXPECT_EQ(chart.At(chart.X(500), chart.Y(60)), kBack);
    EXPECT_EQ(chart.At(chart.X(100), chart.Y(89)), kBack);
}

TEST(StripSerie, ColumnsSpanWhatEveryPointWouldCover)
{
    // Dense, sparse and empty stretches, NaNs and pauses, against a point-by-point reduction.
    Chart chart(100);
    CChartStripSerie *strip = chart.Strip();
    strip->SetGap(3);
    std::vector<QPointF> points;
    quint32 seed = 12345;
    const auto random = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (double x = -20; x < 130;) {
        const double y = (random() % 1000) / 10.0;
        points.emplace_back(x, random() % 50 == 0 ? std::nan("") : y);
        const quint32 kind = random() % 100;
        x += kind < 60 ? 0.01 : (kind < 95 ? 0.7 : 4);
    }
    chart.ctrl.EnableRedraw(false);
    Fill(strip, points);
    chart.ctrl.EnableRedraw(true);
    for (auto [from, to] : {std::pair{0.0, 100.0}, {37.5, 41.0}, {-50.0, 200.0}}) {
        chart.bottom->SetRange(from, to);
        std::map<int, std::pair<int, int>> expected; // column: top and bottom pixel
        const CScaleMap xMap = chart.bottom->Map();
        const CScaleMap yMap = chart.left->Map();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool before = i + 1 < points.size() && points[i + 1].x() >= from;
            const bool after = i > 0 && points[i - 1].x() <= to;
            if (std::isnan(points[i].y()) || !((points[i].x() >= from || before) && (points[i].x() <= to || after)))
                continue;
            const int y = yMap.transform(points[i].y());
            auto [it, added] = expected.try_emplace(xMap.transform(points[i].x()), y, y);
            it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
        }
        std::map<int, std::pair<int, int>> drawn;
        for (const QPolygon &run : strip->Runs()) {
            for (QPoint p : run) {
                auto [it, added] = drawn.try_emplace(p.x(), p.y(), p.y());
                it->second = {std::min(it->second.first, p.y()), std::max(it->second.second, p.y())};
            }
        }
        EXPECT_EQ(drawn, expected) << from << ".." << to;
    }
}

TEST(StripSerie, TheLineRunsOnToThePlotEdgesFromPointsOutOfView)
{
    Chart chart(100);
    CChartStripSerie *strip = chart.Strip();
    // Far outside on both sides: the line still crosses the whole plot.
    Fill(strip, {{-5000, 50}, {5000, 50}});
    const ChartRect plot = chart.ctrl.PlottingRect();
    EXPECT_EQ(chart.At(plot.left + 2, chart.Y(50)), kLine);
    EXPECT_EQ(chart.At(plot.right - 2, chart.Y(50)), kLine);
}

TEST(StripSerie, NaNAndPausesBreakTheLine)
{
    struct Case
    {
        const char *name;
        std::vector<QPointF> points;
        double gap;
        bool joined; // drawn across x = 50
        int runs;
    };
    std::vector<QPointF> pause, withNaN, lonely;
    for (int i = 0; i <= 40; ++i)
        pause.emplace_back(i, 50);
    for (int i = 60; i <= 100; ++i)
        pause.emplace_back(i, 50);
    withNaN = pause;
    withNaN.insert(withNaN.begin() + 41, QPointF(41, std::nan("")));
    lonely = {{0, 50}, {10, 50}, {50, 50}, {90, 50}, {100, 50}};
    const double noGap = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"joined across the pause when pauses are allowed", pause, noGap, true, 1},
        {"a pause longer than the gap", pause, 5, false, 2},
        {"a NaN", withNaN, noGap, false, 2},
        {"a point alone between two pauses is still drawn", lonely, 15, true, 3},
    };
    for (const Case &c : cases) {
        Chart chart(100);
        CChartStripSerie *strip = chart.Strip();
        strip->SetGap(c.gap);
        Fill(strip, c.points);
        EXPECT_EQ(strip->Runs().size(), static_cast<std::size_t>(c.runs)) << c.name;
        EXPECT_EQ(chart.At(chart.X(50), chart.Y(50)) == kLine, c.joined) << c.name;
        EXPECT_EQ(chart.At(chart.X(20), chart.Y(50)), c.points == lonely ? kBack : kLine) << c.name;
    }
}

TEST(StripSerie, HangsOnTheRightAxisWhenAsked)
{
    Chart chart(100);
    CChartStripSerie *strip = chart.Strip(true);
    EXPECT_EQ(strip->VerticalAxis(), chart.right);
    Fill(strip, {{0, 5}, {100, 5}}); // 5 of 0..10 on the right is 50 of 0..100 on the left
    EXPECT_EQ(chart.At(chart.X(50), chart.right->ValueToPixel(5)), kLine);
    EXPECT_EQ(chart.At(chart.X(50), chart.Y(5)), kBack);
}

TEST(SeriesOrder, HigherZIsDrawnLaterAndEqualZKeepsTheOrderOfAdding)
{
    Chart chart(100);
    // The fan curve's four, then a fifth that must go over the curve and under the live point.
    const QColor colours[] = {Qt::yellow, Qt::black, Qt::magenta, Qt::blue, Qt::green};
    std::vector<CChartPointsSerie *> series;
    for (const QColor &colour : colours) {
        CChartPointsSerie *s = chart.ctrl.AddPointsSerie(false);
        s->SetColor(colour);
        s->SetBorderColor(colour);
        s->SetPointSize(12, 12);
        s->AppendPoint({50, 50});
        series.push_back(s);
    }
    const QPoint centre(chart.X(50), chart.Y(50));
    EXPECT_EQ(chart.At(centre.x(), centre.y()), QColor(Qt::green)); // the last added
    series[3]->SetZOrder(1);
    EXPECT_EQ(chart.At(centre.x(), centre.y()), QColor(Qt::blue)); // the live point over the fifth
    series[3]->SetPointSize(4, 4);
    // Below the live point the fifth shows, over the curve and the rest.
    EXPECT_EQ(chart.At(centre.x() + 4, centre.y()), QColor(Qt::green));
    series[4]->SetZOrder(-1);
    EXPECT_EQ(chart.At(centre.x() + 4, centre.y()), QColor(Qt::magenta));
}

TEST(TrailSerie, KeepsTheLastSixtyAndFadesWithAge)
{
    Chart chart(100);
    CChartTrailSerie *trail = chart.ctrl.AddTrailSerie(false);
    trail->SetColor(Qt::black);
    trail->SetPointSize(6);
    for (int i = 0; i < 70; ++i)
        trail->AddPoint(QPointF(i, i));
    ASSERT_EQ(trail->GetPointsCount(), CChartTrailSerie::kCapacity);
    EXPECT_EQ(trail->GetPoint(0), QPointF(10, 10)); // the ten oldest went
    EXPECT_EQ(trail->GetPoint(59), QPointF(69, 69));
    for (int i = 1; i < trail->GetPointsCount(); ++i)
        EXPECT_LT(trail->Alpha(i - 1), trail->Alpha(i)) << i;
    EXPECT_EQ(trail->Alpha(59), CChartTrailSerie::kNewestAlpha);

    // On screen the newest marker is darker than the oldest, and both show.
    const auto darkness = [&](QPointF p) { return 255 - chart.At(chart.X(p.x()), chart.Y(p.y())).lightness(); };
    const int oldest = darkness({10, 10});
    const int middle = darkness({40, 40});
    const int newest = darkness({69, 69});
    EXPECT_GT(oldest, 0);
    EXPECT_LT(oldest, middle);
    EXPECT_LT(middle, newest);

    // A short trail's newest is as strong as a full one's; its points are not sorted by x.
    trail->Clear();
    EXPECT_EQ(trail->GetPointsCount(), 0);
    trail->AddPoint({30, 30});
    trail->AddPoint({20, 20});
    EXPECT_EQ(trail->GetPoint(1), QPointF(20, 20));
    EXPECT_EQ(trail->Alpha(1), CChartTrailSerie::kNewestAlpha);
    EXPECT_EQ(darkness({20, 20}), newest);
    EXPECT_LT(darkness({30, 30}), newest);
    EXPECT_EQ(chart.At(chart.X(69), chart.Y(69)), kBack);
}

TEST(EventSerie, EventsAreLinesAcrossThePlotInTheirColours)
{
    Chart chart(100);
    CChartEventSerie *events = chart.ctrl.AddEventSerie();
    events->SetColourFunction([](double code) { return code == 0 ? QColor(Qt::green) : QColor(Qt::red); });
    events->AddEvent(30, 4);
    events->AddEvent(70, 0);
    const ChartRect plot = chart.ctrl.PlottingRect();
    const int middle = (plot.top + plot.bottom) / 2;
    EXPECT_EQ(chart.At(chart.X(30), middle), QColor(Qt::red));
    EXPECT_EQ(chart.At(chart.X(70), middle), QColor(Qt::green));
    EXPECT_EQ(chart.At(chart.X(30), plot.bottom - 2), QColor(Qt::red));
    // Nothing where no event is.
    EXPECT_EQ(chart.At(chart.X(50), middle), kBack);
}

// Texts too close for one row go one below the other, over every line; one that fits in no row is
// left out while its line still shows.
TEST(EventSerie, CrowdedTextsTakeFurtherRowsOverTheLines)
{
    Chart chart(100);
    CChartEventSerie *events = chart.ctrl.AddEventSerie();
    events->SetColourFunction([](double) { return QColor(Qt::red); });
    events->SetTextFunction([](QPointF) { return QStringLiteral("WARNING: Tacho Signal Lost Alarm ON"); });
    chart.ctrl.EnableRedraw(false);
    for (int i = 0; i <= CChartEventSerie::kTextRows; ++i)
        events->AddEvent(20 + 2 * i, 3);
    chart.ctrl.EnableRedraw(true);
    const ChartRect plot = chart.ctrl.PlottingRect();
    const QFontMetrics metrics(events->font);
    const auto rowHasText = [&](int row, int fromX) {
        const int top = plot.top + 1 + row * (metrics.height() + 3);
        for (int y = top + 2; y < top + metrics.height(); ++y) {
            for (int x = fromX + 3; x < fromX + 60; ++x) {
                const QColor c = chart.At(x, y);
                if (c.red() > 150 && c.green() < 100 && x != chart.X(22) && x != chart.X(24) && x != chart.X(26))
                    return true;
            }
        }
        return false;
    };
    for (int row = 0; row < CChartEventSerie::kTextRows; ++row)
        EXPECT_TRUE(rowHasText(row, chart.X(20 + 2 * row))) << row;
    EXPECT_FALSE(rowHasText(CChartEventSerie::kTextRows, chart.X(20 + 2 * CChartEventSerie::kTextRows)));
    // The later events' lines run under the first text, not through it.
    const int firstRowMiddle = plot.top + 1 + metrics.height() / 2;
    EXPECT_NE(chart.At(chart.X(22), firstRowMiddle), QColor(Qt::red));
    EXPECT_EQ(chart.At(chart.X(22), (plot.top + plot.bottom) / 2), QColor(Qt::red));
}
