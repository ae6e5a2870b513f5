// The history window: the session's readings and PWM against wall-clock time.
#pragma once

#include "InputKind.h"

#include <QWidget>

class CChartCtrl;
class CChartEventSerie;
class CChartStandardAxis;
class CChartStripSerie;
class CChartTimeAxis;
class QPushButton;
class ReadingHistory;

// A strip chart of a ReadingHistory it does not own: the reading on the left axis, PWM on the
// right, alarm changes marked. It follows the live end with a 10-minute span until the user zooms
// (left-drag; a reverse drag shows the whole session) or pans (mouse wheel); "Follow live" goes back.
class CHistoryWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr qint64 kLiveSpanMs = 10 * 60 * 1000;
    // Readings further apart than this are not joined: monitoring paused or the link was down.
    static constexpr qint64 kGapMs = 5000;

    explicit CHistoryWindow(const ReadingHistory &history, QWidget *parent = nullptr);

    bool IsFollowing() const { return following; }
    CChartCtrl *Chart() const { return chart; }
    QPushButton *FollowButton() const { return followButton; }
    CChartTimeAxis *TimeAxis() const { return timeAxis; }
    CChartStandardAxis *ValueAxis() const { return valueAxis; }
    CChartStandardAxis *PwmAxis() const { return pwmAxis; }
    CChartStripSerie *ValueLine() const { return valueLine; }
    CChartStripSerie *PwmLine() const { return pwmLine; }
    CChartEventSerie *AlarmMarks() const { return alarmMarks; }

public slots:
    // The history has a new reading at its end (or was cleared). Draws only what is on show.
    void OnReadingAdded();
    // Back to the live end with the 10-minute span.
    void FollowLive();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void SetFollowing(bool on);
    // Brings readings the chart has not seen yet into its series.
    void Sync();
    void Rebuild();
    void ClearSeries();
    void ShowSpan(double from, double to);
    void FitValueAxis();
    void PanBy(double fraction);
    void OnZoomedByMouse(bool zoomedOut);
    void SetKind(InputKind kind);

    const ReadingHistory &history;
    CChartCtrl *chart = nullptr;
    CChartTimeAxis *timeAxis = nullptr;
    CChartStandardAxis *valueAxis = nullptr;
    CChartStandardAxis *pwmAxis = nullptr;
    CChartStripSerie *valueLine = nullptr;
    CChartStripSerie *pwmLine = nullptr;
    CChartEventSerie *alarmMarks = nullptr;
    QPushButton *followButton = nullptr;
    bool following = true;
    int synced = 0; // readings already in the series
    int lastAlarm = -1;
    int syncedEpoch = 0; // the history's epoch the series were copied in
    InputKind kind = InputKind::Temperature;
};
