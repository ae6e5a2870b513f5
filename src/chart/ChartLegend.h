// The chart's legend settings.
#pragma once

#include <QColor>
#include <QFont>

// The series legend. This program keeps it hidden; it only holds its settings.
class CChartLegend
{
public:
    CChartLegend()
    {
        font.setFamily(QStringLiteral("Times New Roman"));
        font.setPointSize(10);
    }

    QFont font;
    QColor backgroundColour{255, 255, 255};
    bool visible = false;
    bool docked = true;
    int dockSide = 3;
};
