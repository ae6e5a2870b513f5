// A balloon label: a text box over a point of a series.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

class CChartLabelProvider;
class CChartSerie;

// A text box hanging 20 pixels above a point of a series, joined to it by a leader line.
class CChartBalloonLabel
{
public:
    static constexpr int kLeaderLength = 20;
    static constexpr double kFontPoints = 10;

    CChartBalloonLabel(const CChartSerie *serie, int pointIndex, const CChartLabelProvider *provider = nullptr);

    void SetText(const QString &value) { text = value; }
    QString Text() const;
    // The box drawn for an anchor; empty text still gives a small box.
    QRect BoxFor(QPoint anchor) const;
    // All the label draws for an anchor: box, border and leader.
    QRect Extent(QPoint anchor) const;
    void draw(QPainter *painter, QPoint anchor) const;

    QColor lineColour{255, 255, 255};
    QColor backgroundColour{255, 255, 225};
    QColor borderColour{0, 0, 0};
    QFont font;
    bool roundedCorners = true;
    bool visible = true;

private:
    const CChartSerie *serie;
    int pointIndex;
    const CChartLabelProvider *provider;
    QString text;
};
