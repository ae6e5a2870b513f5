// The narrow views of the main window that its collaborators see instead of the window itself.
#pragma once

#include "ControlProfile.h"
#include "ProfileCodec.h"

#include <QString>

#include <optional>

// The status box and the live indication, which almost every handler touches.
class IStatusView
{
public:
    virtual void SetStatusText(const QString &text) = 0;
    virtual QString StatusText() const = 0;
    // The status box emptied and the live point gone.
    virtual void ClearLiveIndication() = 0;
    // The monitor checkbox unticked and disabled, nothing shown while it is off.
    virtual void SwitchMonitoringOff(bool emptyReadouts = true) = 0;
    virtual bool MonitoringEnabled() const = 0;

protected:
    ~IStatusView() = default;
};

// What the link to the controller shows: the transfer buttons follow it.
class ILinkView : public IStatusView
{
public:
    virtual void SetTransferButtons(bool enabled) = 0;
    // The form the window shows, which the readings are shown in.
    virtual InputKind ShownInputKind() const = 0;

protected:
    ~ILinkView() = default;
};

// What a download or an upload needs of the window beyond the link.
class ITransferView : public IStatusView
{
public:
    // A field still being edited is checked first, so a typed value is never passed over.
    virtual void CommitPendingEntry() = 0;
    virtual void ClearCursorMarker() = 0;
    virtual ControlProfile ShownProfile() const = 0;
    virtual const FanCurve &ShownCurve() const = 0;
    virtual ProfileImage BuildProfileImage() const = 0;
    // The profile controls and the buttons that could start another transfer, off and on again;
    // the monitor checkbox comes back only for a profile the controller holds.
    virtual void LockProfileControls() = 0;
    virtual void UnlockProfileControls(bool enableMonitorCheck = true) = 0;
    virtual void SetTransferButtons(bool enabled) = 0;
    virtual void SetDownloadButton(bool enabled) = 0;
    virtual void EnableMonitorCheck() = 0;
    virtual void SetProgress(int position) = 0;
    virtual void SetProgressWhiteText(bool white) = 0;
    // An uploaded image into the fields, lists and curve.
    virtual void ShowUploadedProfile(const ProfileImage &image) = 0;
    // The title names where the profile shown came from.
    virtual void SetWindowTitle(const QString &title) = 0;

protected:
    ~ITransferView() = default;
};

// What the profile's editors need of the window beside the controls they own.
class IProfileView : public IStatusView
{
public:
    // nullopt leaves a readout as it is.
    virtual void SetReadouts(const std::optional<QString> &value, const std::optional<QString> &pwm) = 0;
    // The last temperature or voltage monitoring showed.
    virtual float LiveValue() const = 0;
    virtual void SetWindowTitle(const QString &title) = 0;

protected:
    ~IProfileView() = default;
};
