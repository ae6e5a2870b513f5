// Drawing the balloon label over a point of a series.
#include "ChartBalloonLabel.h"

#include "ChartLabelProvider.h"

#include <QFontMetrics>

namespace {
constexpr int kPadding = 5;
}

CChartBalloonLabel::CChartBalloonLabel(const CChartSerie *serie, int pointIndex, const CChartLabelProvider *provider)
    : serie(serie), pointIndex(pointIndex), provider(provider)
{
    font.setPointSize(10);
}

QString CChartBalloonLabel::Text() const
{
    return provider ? provider->GetText(serie, pointIndex) : text;
}

QRect CChartBalloonLabel::BoxFor(QPoint anchor) const
{
    const QFontMetrics metrics(font);
    const QString shown = Text();
    const QSize extent(metrics.horizontalAdvance(shown), metrics.height());
    const int width = extent.width() + 2 * kPadding;
    const int height = extent.height() + 2;
    const int bottom = anchor.y() - kLeaderLength;
    return {anchor.x() - width / 2, bottom - height, width, height};
}

QRect CChartBalloonLabel::Extent(QPoint anchor) const
{
    if (!visible)
        return {};
    return (BoxFor(anchor) | QRect(anchor.x(), anchor.y() - kLeaderLength, 1, kLeaderLength + 1))
        .adjusted(-2, -2, 2, 2);
}

void CChartBalloonLabel::draw(QPainter *painter, QPoint anchor) const
{
    if (!visible)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(lineColour, 0));
    painter->drawLine(anchor, QPoint(anchor.x(), anchor.y() - kLeaderLength));

    const QRect box = BoxFor(anchor);
    painter->setPen(QPen(borderColour, 0));
    painter->setBrush(backgroundColour);
    painter->setRenderHint(QPainter::Antialiasing, roundedCorners);
    if (roundedCorners)
        painter->drawRoundedRect(box, 5, 5);
    else
        painter->drawRect(box);
    painter->setFont(font);
    painter->drawText(box.adjusted(kPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, Text());
    painter->restore();
}
