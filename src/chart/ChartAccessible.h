// What assistive technology sees of the chart control.
#pragma once

#include <QAccessibleWidget>

// The chart as a screen reader meets it: the role Chart, with the name and the description its
// owner gives the widget (setAccessibleName, setAccessibleDescription), which say what it shows.
class CChartAccessible : public QAccessibleWidget
{
public:
    explicit CChartAccessible(QWidget *chart);

    // Registers the interface with Qt's accessibility once; every chart calls it.
    static void Install();

private:
    static QAccessibleInterface *Factory(const QString &className, QObject *object);
};
