// The gradient progress bar.
#pragma once

#include <QColor>
#include <QWidget>

// A progress bar painted as a banded colour gradient with an optional percentage text.
class CGradientProgressCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit CGradientProgressCtrl(QWidget *parent = nullptr);

    void SetRange(int lowerEnd, int upperEnd);
    void SetPos(int pos);
    void SetStartColor(QColor colour) { startColour = colour; }
    void SetEndColor(QColor colour) { endColour = colour; }
    void SetBkColor(QColor colour) { backgroundColour = colour; }
    void SetTextColor(QColor colour) { textColour = colour; }
    void ShowPercent(bool show) { showPercent = show; }
    void SetVertical(bool on) { vertical = on; }

    int Lower() const { return lower; }
    int Upper() const { return upper; }
    int GetPos() const { return position; }
    QColor TextColor() const { return textColour; }

    // Everything the bar shows, drawn into any painter; the widget paints through it.
    void Render(QPainter &painter, const QSize &size) const;
    // The percentage text, empty when the bar shows its plain face.
    QString PercentText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool ShowsPlainFace() const;
    void DrawGradient(QPainter &painter, const QSize &size, int extent) const;

    int lower = 0;
    int upper = 100;
    int position = 0;
    QColor startColour{255, 0, 0};
    QColor endColour{0, 0, 255};
    QColor backgroundColour;
    QColor textColour{255, 255, 255};
    bool showPercent = false;
    bool vertical = false;
};
