// The chart's title lines.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

// Lines of text above the plot; with no lines it takes no room and draws nothing.
class CChartTitle
{
public:
    static constexpr double kFontPoints = 10;
    CChartTitle() { font.setPointSizeF(kFontPoints); }

    void AddString(const QString &line) { lines << line; }
    void RemoveAll() { lines.clear(); }

    QSize Size() const
    {
        if (!visible || lines.isEmpty())
            return {0, 0};
        const QFontMetrics metrics(font);
        int width = 0;
        for (const QString &line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        return {width, static_cast<int>(lines.size()) * metrics.height()};
    }

    void draw(QPainter *painter, const QRect &rect) const
    {
        if (!visible || lines.isEmpty())
            return;
        painter->save();
        painter->setFont(font);
        painter->drawText(rect, Qt::AlignHCenter | Qt::AlignTop, lines.join(QLatin1Char('\n')));
        painter->restore();
    }

    QFont font;
    bool visible = true;

private:
    QStringList lines;
};
