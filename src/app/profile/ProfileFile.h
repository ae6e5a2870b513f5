// Saving the profile to a file on the PC and opening such a file.
#pragma once

#include "ProfileCodec.h"

#include <QString>

class CFanCurvePlot;
class CProfileEntry;
class IProfileView;
class IWindowMemory;
class ProfileDocument;
class WindowDialogs;

class CProfileFile
{
public:
    CProfileFile(ProfileDocument &document, IProfileView &view, WindowDialogs &dialogs, IWindowMemory &memory,
                 CProfileEntry &entry, CFanCurvePlot &plot)
        : document(document), view(view), dialogs(dialogs), memory(memory), entry(entry), plot(plot)
    {
    }

    // True when the profile went into a file.
    bool OnBnClickedSaveFile();
    bool WriteProfileFile(const ProfileImage &image);
    void OnBnClickedOpenFile();
    // A file named without the dialog (Open Recent, a file dropped on the window, the command line),
    // with the same checks as Open File.
    void OpenFile(const QString &path);

    static QString ProposedName(const QString &softwareNumber, const QString &versionNumber);
    // Said after a file shorter than a profile opened.
    static QString ShortFileText(qint64 length);

private:
    ProfileDocument &document;
    IProfileView &view;
    WindowDialogs &dialogs;
    IWindowMemory &memory;
    CProfileEntry &entry;
    CFanCurvePlot &plot;
};
