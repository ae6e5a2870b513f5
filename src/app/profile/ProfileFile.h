// Saving the profile to a file on the PC and opening such a file.
#pragma once

#include "ProfileCodec.h"

#include <QString>

class AppSettings;
class CFanCurvePlot;
class CProfileEntry;
class IProfileView;
class WindowDialogs;
struct ProfileControls;

class CProfileFile
{
public:
    CProfileFile(IProfileView &view, WindowDialogs &dialogs, AppSettings &settings, const ProfileControls &controls,
                 CProfileEntry &entry, CFanCurvePlot &plot)
        : view(view), dialogs(dialogs), settings(settings), controls(controls), entry(entry), plot(plot)
    {
    }

    void OnBnClickedSaveFile();
    void WriteProfileFile(const ProfileImage &image);
    void OnBnClickedOpenFile();

    static QString ProposedName(const QString &softwareNumber, const QString &versionNumber);
    // Said after a file shorter than a profile opened.
    static QString ShortFileText(qint64 length);

private:
    IProfileView &view;
    WindowDialogs &dialogs;
    AppSettings &settings;
    const ProfileControls &controls;
    CProfileEntry &entry;
    CFanCurvePlot &plot;
};
