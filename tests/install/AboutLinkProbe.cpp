// Prints the file the About dialog links to, as a program in this folder makes it; the installed-tree
// test runs a copy from the installed bin folder.
#include "AboutDlg.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << MakerAddress().toLocalFile() << Qt::endl;
    return 0;
}
