// The yardstick for the window's start-up: a bare Qt Widgets window of the main window's size with
// one label, timed from the process's start to its first paint as startup_probe times the window.
#include "DialogUnits.h"
#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    const double entered = SecondsSinceProcessStart();
    QApplication app(argc, argv);
    const double applicationMade = SecondsSinceProcessStart();
    QWidget window;
    // The main window's size on an ordinary screen: its template in dialog units of its font.
    window.resize(DialogUnits(DialogUnits::DialogFont()).Size(683, 430));
    auto *label = new QLabel(QStringLiteral("Tamlin Orvex Interface"), &window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    FirstPaint probe;
    label->installEventFilter(&probe);
    window.show();
    app.exec();
    std::printf("first paint after %.1f ms, window %dx%d\n", probe.seconds * 1000, window.width(), window.height());
    std::printf("phases: main %.1f, QApplication %.1f, painted %.1f\n", entered * 1000, applicationMade * 1000,
                probe.seconds * 1000);
    return 0;
}
