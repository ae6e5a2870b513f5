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
// right, alarm changes marked with what they mean. It follows the live end with a 10-minute span
// until the user zooms (left-drag; a reverse drag shows the whole session) or pans (mouse wheel);
// "Follow live" goes back. The chart takes the keyboard focus and does the same from the keys:
// + and - zoom in time, Left and Right (Page Up, Page Down: a whole span) go back and forth, Home
// goes to the session's start, 0 shows the whole session, End and F follow live.
class CHistoryWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr qint64 kLiveSpanMs = 10 * 60 * 1000;
    // Readings further apart than this are not joined: monitoring paused or the link was down.
    static constexpr qint64 kGapMs = 5000;
    // The shortest span the keys zoom to: a few readings still show.
    static constexpr qint64 kShortestSpanMs = 10 * 1000;
    // The size it opens at, where the screen has room.
    static constexpr int kPreferredWidth = 900;
    static constexpr int kPreferredHeight = 520;
    // PWM a little beyond 0..100, so 0 % and 100 % stay clear of the plot's border; no zoom goes
    // beyond it.
    static constexpr double kPwmLow = -3;
    static constexpr double kPwmHigh = 103;

    explicit CHistoryWindow(const ReadingHistory &history, QWidget *parent = nullptr);

    // What an alarm mark says: the monitor's own text for the code and the input kind, on one line.
    static QString AlarmMarkText(int code, InputKind kind);
    // What the chart's accessible description says: its span and what lies in it.
    QString SpanDescription() const;

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
    // Within the screen's free area, whatever size it was given or restored to.
    void FitToScreen();
    bool HandleKey(int key);
    // The time span scaled by `factor` about its middle (its end while following).
    void ZoomTime(double factor);
    void ShowWholeSession();
    void GoToSessionStart();
    // Where a span of `span` may start: at least half of it on the session's readings, or the session
    // ending at its right end.
    double KeptToSession(double start, double span) const;
    void UpdateDescription();
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
