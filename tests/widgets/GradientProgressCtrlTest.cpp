// Tests of the gradient progress bar.
#include "GradientProgressCtrl.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {
const QColor kFace(200, 200, 200);
const QColor kBackground(238, 238, 238);

// The main window's bar: 0 to 60, red to green.
struct Bar
{
    CGradientProgressCtrl ctrl;
    Bar()
    {
        QPalette palette = ctrl.palette();
        palette.setColor(QPalette::Button, kFace);
        ctrl.setPalette(palette);
        ctrl.SetRange(0, 60);
        ctrl.SetStartColor(QColor(255, 10, 22));
        ctrl.SetEndColor(QColor(65, 255, 17));
        ctrl.SetBkColor(kBackground);
        ctrl.SetTextColor(Qt::black);
        ctrl.ShowPercent(true);
    }
    QImage Render(QSize size = {490, 40})
    {
        QImage image(size.expandedTo({1, 1}), QImage::Format_RGB32); // a zero-sized bar still gets a live painter
        image.fill(Qt::magenta);
        QPainter painter(&image);
        ctrl.Render(painter, size);
        return image;
    }
};

// A row away from the centred text.
QColor At(const QImage &image, int x)
{
    return image.pixelColor(x, 0);
}
} // namespace

TEST(GradientProgressCtrl, AtOrOutsideTheRangeShowsThePlainFaceWithoutText)
{
    Bar bar;
    for (int position : {0, -5, 61}) {
        bar.ctrl.SetPos(position);
        const QImage image = bar.Render();
        EXPECT_EQ(bar.ctrl.PercentText(), QString()) << position;
        for (int x : {0, 245, 489})
            for (int y : {0, 20, 39})
                EXPECT_EQ(image.pixelColor(x, y), kFace) << position;
    }
}

TEST(GradientProgressCtrl, HalfwayEndsOnABandEdgeAtTheMidColour)
{
    Bar bar;
    bar.ctrl.SetPos(30);
    EXPECT_EQ(bar.ctrl.PercentText(), QStringLiteral(" 50 %"));
    const QImage image = bar.Render();

    // 245 steps (green difference); band size 2 pixels; extent 245 lies in band 122, which ends at 246.
    EXPECT_EQ(At(image, 0), QColor(255, 10, 22));
    EXPECT_EQ(At(image, 245), At(image, 244));
    EXPECT_NE(At(image, 245), kBackground);
    EXPECT_EQ(At(image, 246), kBackground);
    EXPECT_EQ(At(image, 489), kBackground);
    // Band 122: red 255 - trunc(122 x 190/245), green 10 + 122.
    EXPECT_EQ(At(image, 244).green(), 132);
    EXPECT_EQ(At(image, 244).red(), 255 - 94 - 1);
}

TEST(GradientProgressCtrl, FullBarIsTheWholeGradient)
{
    Bar bar;
    bar.ctrl.SetPos(60);
    EXPECT_EQ(bar.ctrl.PercentText(), QStringLiteral("100 %"));
    const QImage image = bar.Render();
    for (int x = 0; x < image.width(); ++x)
        ASSERT_NE(At(image, x), kBackground) << x;
    // The last band: i = 244.
    EXPECT_EQ(At(image, 489).green(), 254);
    EXPECT_EQ(At(image, 0).green(), 10);
}

TEST(GradientProgressCtrl, DegenerateRangesColoursAndSizesDoNotFail)
{
    Bar bar;
    bar.ctrl.SetRange(5, 5);
    bar.ctrl.SetPos(5);
    EXPECT_EQ(bar.Render().pixelColor(3, 3), kFace);

    bar.ctrl.SetRange(-10, 0); // upper 0: the fraction is taken against the span instead
    bar.ctrl.SetPos(-5);
    EXPECT_EQ(bar.ctrl.PercentText(), QStringLiteral(" 50 %"));
    const QImage half = bar.Render({100, 4});
    EXPECT_EQ(half.pixelColor(99, 0), kBackground);

    bar.ctrl.SetRange(0, 60);
    bar.ctrl.SetPos(1000000);
    EXPECT_EQ(bar.Render({10, 4}).pixelColor(5, 1), kFace);

    bar.ctrl.SetPos(30);
    bar.Render({0, 0});
    bar.Render({1, 1});

    bar.ctrl.SetStartColor(QColor(10, 20, 30));
    bar.ctrl.SetEndColor(QColor(10, 20, 30)); // one colour: filled up to the position, then background
    const QImage flat = bar.Render({100, 40});
    EXPECT_EQ(flat.pixelColor(10, 0), QColor(10, 20, 30));
    EXPECT_EQ(flat.pixelColor(60, 0), kBackground);
}
