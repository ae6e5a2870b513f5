// Tests of the time axis: steps, clock-aligned ticks and their labels.
#include "ChartCtrl.h"
#include "ChartStandardAxis.h"
#include "ChartTimeAxis.h"
#include "TimeTicks.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {
// Local clock times on a day without a daylight-saving change.
double Local(int h, int m, int s, int ms = 0)
{
    return static_cast<double>(QDateTime(QDate(2026, 6, 10), QTime(h, m, s, ms)).toMSecsSinceEpoch());
}

QStringList Labels(const std::vector<double> &ticks, qint64 step)
{
    QStringList labels;
    for (double t : ticks)
        labels << TimeTickLabelText(t, step);
    return labels;
}

// Sets the process' time zone for one scope.
class ZoneScope
{
public:
    explicit ZoneScope(const char *zone) : old(qgetenv("TZ")), had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope()
    {
        if (had)
            qputenv("TZ", old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray old;
    bool had;
};
} // namespace

TEST(TimeTicks, StepIsTheSmallestWhoseLabelsFit)
{
    // 50 px for "hh:mm:ss", 35 px for "hh:mm", 16 px between labels.
    const auto width = [](qint64 step) { return step < kMinuteMs ? 50 : 35; };
    struct Case
    {
        double span;
        int pixels;
        qint64 step;
    };
    const Case cases[] = {
        {10 * kSecondMs, 800, kSecondMs},      // 80 px a second
        {60 * kSecondMs, 800, 5 * kSecondMs},  // 2 s would be 27 px
        {90 * kSecondMs, 800, 10 * kSecondMs}, // 5 s is 44 px, short of 66
        {10 * kMinuteMs, 800, kMinuteMs},      // 30 s is 40 px; minute labels are narrower
        {kHourMs, 800, 5 * kMinuteMs},
        {3 * kHourMs, 800, 15 * kMinuteMs},
        {kDayMs, 800, 2 * kHourMs},
        {kDayMs, 300, 6 * kHourMs},
        {30 * kDayMs, 600, 3 * kDayMs}, // beyond the table: whole days
    };
    for (const Case &c : cases)
        EXPECT_EQ(ComputeTimeTickStep(c.span, c.pixels, width), c.step) << c.span << " ms on " << c.pixels;
    // Nothing to divide: the smallest step, and no hang.
    EXPECT_EQ(ComputeTimeTickStep(0, 800, width), kSecondMs);
    EXPECT_EQ(ComputeTimeTickStep(kHourMs, 0, width), kSecondMs);
    EXPECT_EQ(ComputeTimeTickStep(std::numeric_limits<double>::infinity(), 800, width), kSecondMs);
}

TEST(TimeTicks, TicksLieOnTheLocalClockAndReadAsClockTimes)
{
    const std::vector<double> minutes = TimeTickValues(Local(9, 58, 47), Local(10, 8, 47), kMinuteMs);
    EXPECT_EQ(Labels(minutes, kMinuteMs),
              QStringList({"09:59", "10:00", "10:01", "10:02", "10:03", "10:04", "10:05", "10:06", "10:07", "10:08"}));
    EXPECT_EQ(minutes.front(), Local(9, 59, 0));

    const std::vector<double> seconds = TimeTickValues(Local(23, 59, 47, 500), Local(23, 59, 59, 999), 5 * kSecondMs);
    EXPECT_EQ(Labels(seconds, 5 * kSecondMs), QStringList({"23:59:50", "23:59:55"}));

    // A range starting on a tick includes it; one ending on a tick too.
    const std::vector<double> hours = TimeTickValues(Local(6, 0, 0), Local(18, 0, 0), 6 * kHourMs);
    EXPECT_EQ(Labels(hours, 6 * kHourMs), QStringList({"06:00", "12:00", "18:00"}));

    // Days all start at midnight: their labels are dates.
    const std::vector<double> days = TimeTickValues(Local(8, 0, 0), Local(8, 0, 0) + 3 * kDayMs, kDayMs);
    EXPECT_EQ(Labels(days, kDayMs), QStringList({"11 Jun", "12 Jun", "13 Jun"}));

    // An empty or broken range has no ticks.
    EXPECT_TRUE(TimeTickValues(Local(10, 0, 0), Local(9, 0, 0), kMinuteMs).empty());
    EXPECT_TRUE(TimeTickValues(Local(10, 0, 0), Local(11, 0, 0), 0).empty());
    EXPECT_TRUE(TimeTickValues(std::nan(""), Local(11, 0, 0), kMinuteMs).empty());
}

TEST(TimeTicks, HoursCountFromLocalMidnightInAHalfHourZone)
{
    const ZoneScope zone("Asia/Kolkata"); // UTC+05:30, no daylight saving
    const double start =
        static_cast<double>(QDateTime(QDate(2026, 6, 10), QTime(10, 10), Qt::UTC).toMSecsSinceEpoch()); // 15:40 local
    const std::vector<double> ticks = TimeTickValues(start, start + 3 * kHourMs, kHourMs);
    EXPECT_EQ(Labels(ticks, kHourMs), QStringList({"16:00", "17:00", "18:00"}));
    // On the half hour in UTC.
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ticks.front()), Qt::UTC).time(), QTime(10, 30));
}

TEST(TimeAxis, OnAChartTheStepFollowsTheSpanAndTheLabelsDoNotOverlap)
{
    CChartCtrl ctrl;
    ctrl.resize(700, 300);
    CChartTimeAxis *axis = ctrl.AddTimeAxis(CChartAxis::Bottom);
    ctrl.AddStandardAxis(CChartAxis::Left)->SetRange(0, 100);
    const QFontMetrics metrics(axis->labelFont);
    for (qint64 span : {20 * kSecondMs, 10 * kMinuteMs, 2 * kHourMs, kDayMs, 60 * kDayMs}) {
        axis->SetRange(Local(8, 0, 0), Local(8, 0, 0) + static_cast<double>(span));
        const std::vector<int> &pixels = axis->GetGrid()->tickPixels;
        ASSERT_GE(pixels.size(), 2u) << span;
        const int widest = metrics.horizontalAdvance(axis->LabelText(axis->TickValues().front()));
        for (std::size_t i = 1; i < pixels.size(); ++i)
            EXPECT_GT(pixels[i] - pixels[i - 1], widest) << span;
        // Seconds only where the step is under a minute; dates from a day up.
        const qsizetype length = axis->TickStep() < kMinuteMs ? 8 : axis->TickStep() < kDayMs ? 5 : 6;
        EXPECT_EQ(axis->LabelText(axis->TickValues().front()).size(), length) << span;
        // What is drawn is the text of the step now shown, not one kept from an earlier span: a
        // midnight reads "00:00" on an hour step and as a date on a day step.
        for (double tick : axis->TickValues())
            EXPECT_EQ(axis->DrawnLabelText(tick), axis->LabelText(tick)) << span;
    }
    // A drag over a pixel or two does not zoom below a second.
    axis->SetZoomRange(Local(8, 0, 0), Local(8, 0, 0) + 3);
    EXPECT_EQ(axis->GetMax() - axis->GetMin(), kSecondMs);
}
