// Painting the banded gradient progress bar and its text.
#include "GradientProgressCtrl.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

CGradientProgressCtrl::CGradientProgressCtrl(QWidget *parent) : QWidget(parent)
{
    backgroundColour = palette().color(QPalette::Button);
    // Qt's backing store already double-buffers widget painting, so no off-screen copy of our own.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientProgressCtrl::SetRange(int lowerEnd, int upperEnd)
{
    lower = lowerEnd;
    upper = upperEnd;
    position = lower;
    update();
}

void CGradientProgressCtrl::SetPos(int pos)
{
    position = pos;
    update();
}

bool CGradientProgressCtrl::ShowsPlainFace() const
{
    return position <= lower || position > upper;
}

QString CGradientProgressCtrl::PercentText() const
{
    if (ShowsPlainFace() || !showPercent)
        return {};
    const float percent = static_cast<float>(position - lower) * 100.0f / static_cast<float>(upper - lower);
    return QString::asprintf("%3.0f %%", static_cast<double>(percent));
}

void CGradientProgressCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Render(painter, size());
}

void CGradientProgressCtrl::Render(QPainter &painter, const QSize &size) const
{
    const QRect client(QPoint(0, 0), size);
    if (ShowsPlainFace()) {
        painter.fillRect(client, palette().color(QPalette::Button));
        return;
    }

    const int length = vertical ? size.height() : size.width();
    float fraction;
    if (upper > 0)
        fraction =
            static_cast<float>(position) / static_cast<float>(upper); // against upper alone, as the bar always did
    else
        fraction = static_cast<float>(position - lower) / static_cast<float>(upper - lower); // upper > lower here
    const int extent = static_cast<int>(fraction * static_cast<float>(length));
    DrawGradient(painter, size, extent);

    const QString text = PercentText();
    if (!text.isEmpty()) {
        painter.setPen(textColour);
        painter.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}

void CGradientProgressCtrl::DrawGradient(QPainter &painter, const QSize &size, int extent) const
{
    const int width = size.width();
    const int height = size.height();
    const int dR = endColour.red() - startColour.red();
    const int dG = endColour.green() - startColour.green();
    const int dB = endColour.blue() - startColour.blue();
    const int steps = std::max({std::abs(dR), std::abs(dG), std::abs(dB)});

    if (steps == 0) {
        // One colour: no bands to count, so fill straight up to extent.
        const int end = std::clamp(extent, 0, vertical ? height : width);
        const QRect filled = vertical ? QRect(0, 0, width, end) : QRect(0, 0, end, height);
        const QRect rest = vertical ? QRect(0, end, width, height - end) : QRect(end, 0, width - end, height);
        painter.fillRect(filled, startColour);
        painter.fillRect(rest, backgroundColour);
        return;
    }

    const float bandSize = static_cast<float>(vertical ? height : width) / static_cast<float>(steps);
    const float stepR = static_cast<float>(dR) / static_cast<float>(steps);
    const float stepG = static_cast<float>(dG) / static_cast<float>(steps);
    const float stepB = static_cast<float>(dB) / static_cast<float>(steps);

    for (int i = 0; i < steps; ++i) {
        const int nearEdge = static_cast<int>(static_cast<float>(i) * bandSize);
        const int farEdge = static_cast<int>(static_cast<float>(i + 1) * bandSize);
        const QRect band = vertical ? QRect(QPoint(0, nearEdge), QPoint(width, farEdge - 1))
                                    : QRect(QPoint(nearEdge, 0), QPoint(farEdge - 1, height));
        const int red = static_cast<int>(static_cast<float>(startColour.red()) + static_cast<float>(i) * stepR) & 0xFF;
        const int green =
            static_cast<int>(static_cast<float>(startColour.green()) + static_cast<float>(i) * stepG) & 0xFF;
        const int blue =
            static_cast<int>(static_cast<float>(startColour.blue()) + static_cast<float>(i) * stepB) & 0xFF;
        painter.fillRect(band, QColor(red, green, blue));

        if (farEdge > extent) {
            const QRect rest =
                vertical ? QRect(0, farEdge, width, height - farEdge) : QRect(farEdge, 0, width - farEdge, height);
            if (rest.isValid())
                painter.fillRect(rest, backgroundColour);
            break;
        }
    }
}
