// orvex: starts the main window.
#include "PlexaDlg.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamlin Orvex Interface"));
    CPlexaDlg dialog;
    if (!dialog.OnInitDialog())
        return 0;
    dialog.show();
    return app.exec();
}
