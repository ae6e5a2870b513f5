// The title of a chart axis.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QSize>
#include <QString>

// An axis title; a vertical axis draws it turned by 90 degrees.
class CChartAxisLabel
{
public:
    CChartAxisLabel() { font.setPointSize(10); }

    void SetText(const QString &value) { text = value; }
    const QString &GetText() const { return text; }

    // Room taken across the axis: the text height, whichever way the text runs.
    QSize Size(bool horizontal) const
    {
        if (!visible || text.isEmpty())
            return {0, 0};
        const QFontMetrics metrics(font);
        const QSize along(metrics.horizontalAdvance(text), metrics.height());
        return horizontal ? along : along.transposed();
    }

    bool visible = true;
    QFont font;
    QColor textColour{0, 0, 0};

private:
    QString text;
};
