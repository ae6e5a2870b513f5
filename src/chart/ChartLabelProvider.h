// The interface that gives a chart label its text.
#pragma once

#include <QString>

class CChartSerie;

// Supplies a label's text at paint time.
class CChartLabelProvider
{
public:
    virtual ~CChartLabelProvider() = default;
    virtual QString GetText(const CChartSerie *serie, int pointIndex) const = 0;
};
