// The label provider of the balloon over the multipoint mouse marker.
#pragma once

#include "ChartLabelProvider.h"

// The balloon over the mouse marker shows the window's balloon text.
class CCustomLabelProvider : public CChartLabelProvider
{
public:
    explicit CCustomLabelProvider(const QString &text) : text(text) {}
    QString GetText(const CChartSerie *, int) const override { return text; }

private:
    const QString &text;
};
