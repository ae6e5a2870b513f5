// The chart control's accessible interface and its registration.
#include "ChartAccessible.h"

#include <QWidget>

CChartAccessible::CChartAccessible(QWidget *chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

QAccessibleInterface *CChartAccessible::Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("CChartCtrl") && object && object->isWidgetType())
        return new CChartAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

void CChartAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&CChartAccessible::Factory);
        return true;
    }();
    Q_UNUSED(installed);
}
