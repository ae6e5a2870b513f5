#pragma once

#include <QString>

class CPlexaDlg;

// Saving the profile to a file on the PC and opening such a file.
class CProfileFile
{
public:
    explicit CProfileFile(CPlexaDlg &window) : window(window) {}

    void OnBnClickedSaveFile();
    void WriteProfileFile();
    void OnBnClickedOpenFile();

    static QString ProposedName(const QString &softwareNumber, const QString &versionNumber);

private:
    CPlexaDlg &window;
};
