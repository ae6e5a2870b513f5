#pragma once

#include "DialogUnits.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileControls.h"
#include "ProfileEntry.h"
#include "ControllerLink.h"
#include "Multipoint.h"
#include "Transfers.h"
#include "SerialException.h"
#include "ProfileFile.h"
#include "TemperatureCodeTable.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class CChartCtrl;
class CGradientProgressCtrl;
class InstanceLock;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

// The main window: the profile in its controls, the fan curve, and the link to the controller.
class CPlexaDlg : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kAboutCommand = 16;
    static constexpr int kChartTimer = 1;
    static constexpr int kPollTimer = 2;
    static constexpr int kDownloadStepTimer = 3;
    static constexpr int kProgressTimer = 4;
    static constexpr int kDeviceRemoveComplete = 0x8004;

    explicit CPlexaDlg(QWidget *parent = nullptr);
    ~CPlexaDlg() override;

    // Builds the window's state; false when another copy runs (this one then closes itself).
    bool OnInitDialog();

    // Tests replace the dialogs; the window owns whichever is installed.
    void SetModalUi(std::unique_ptr<IModalUi> ui) { modalUi = std::move(ui); }
    // The single-instance lock's name; tests use their own so a running copy never interferes.
    void SetInstanceLockName(const QString &name) { instanceLockName = name; }

    QWidget *Control(int id) const { return controls.value(id); }
    const DialogUnits &Units() const { return units; }
    const ProfileControls &Profile() const { return profile; }
    const CFanCurvePlot &Plot() const { return *plot; }
    CFanCurvePlot &Plot() { return *plot; }
    CChartCtrl *Chart() const { return chart; }
    const TemperatureCodeTable &TemperatureCodes() const { return temperatureCodes; }

    // Handlers, named after the events they answer.
    void OnBnClickedLoadDefault();
    void OnCbnSelchangeOption();
    void OnBnClickedMonitor();
    void OnSysCommand(int command);
    void OnDeviceChange(int event);
    void OnTimer(int id);

    void OnBnClickedSaveFile();
    void OnBnClickedOpenFile();
    void OnBnClickedEnableMultipoint() { multipoint.OnBnClickedEnableMultipoint(); }
    void OnBnClickedConnect();
    CControllerLink &Link() { return link; }
    CTransfers &Transfers() { return transfers; }
    CGradientProgressCtrl &Progress() { return *progressBar; }
    void OnBnClickedDownload();
    void OnBnClickedUpload();
    // The connect button and the connected flag follow the port.
    void SetConnectedLook(bool connected);
    void SetTransferButtons(bool enabled);
    void SetStatusText(const QString &text);
    void EnableMonitorCheck();
    // Runs a handler; a serial failure ends it with the platform's text in an error box.
    template <class Handler> void Guarded(Handler &&handler)
    {
        try {
            handler();
        } catch (const CSerialException &error) {
            ShowSerialError(error);
        }
    }
    void ShowSerialError(const CSerialException &error);
    CProfileEntry &Entry() { return *profileEntry; }
    CMultipointEditor &Multipoint() { return multipoint; }
    std::vector<QWidget *> BandFields() const { return profileEntry->BandFields(); }
    // Runs the focus-lost check of a field still being edited, so no typed value is passed over.
    void CommitPendingEntry();
    // nullopt leaves a readout as it is.
    void SetReadouts(const std::optional<QString> &value, const std::optional<QString> &pwm);
    void BuildProfileImage();
    void DecodeProfileImage(const std::uint8_t *image, bool fromUpload);
    IModalUi &ModalUi() { return *modalUi; }
    QString StatusText() const;

    void LoadDefaultTemplate() { profileEntry->LoadDefaultTemplate(); }
    void ApplyTemperatureLabels() { profileEntry->ApplyTemperatureLabels(); }
    void ApplyVoltageLabels() { profileEntry->ApplyVoltageLabels(); }
    void ClearLiveIndication();
    void SwitchMonitoringOff(bool emptyReadouts = true);

    // Window timers by id, as the exchange and the editing steps expect them.
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool TimerActive(int id) const;
    int TimerPeriod(int id) const;

    bool portConnected = false;
    bool portEverConnected = false;
    bool monitoringEnabled = false;
    bool deviceRemovalSeen = false;
    bool pollEnabled = true;
    bool chartEditEnabled = true;
    bool transferWarning = false;
    QString exchangeStage;
    float liveValue = 0;
    int portNumber = 1;
    QString portDevice; // the port last chosen
    int baudRate = 9600;
    QString savedTopBandText;
    QString savedBottomBandText;
    ProfileImage profileImage{};
    ProfileImage uploadImage{};
    std::array<std::uint8_t, kFileImageSize> fileImage{};

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    QWidget *CreateControl(const struct ControlSpec &spec);
    void ConnectHandlers();
    bool CheckSingleInstance();
    // The focus-lost handler of a field, or none.
    std::function<void()> FocusLostHandler(QObject *field);

    std::unique_ptr<IModalUi> modalUi;
    DialogUnits units;
    QHash<int, QWidget *> controls;
    ProfileControls profile;
    CChartCtrl *chart = nullptr;
    std::unique_ptr<CFanCurvePlot> plot;
    std::unique_ptr<CProfileEntry> profileEntry;
    CProfileFile profileFile{*this};
    CMultipointEditor multipoint{*this};
    CControllerLink link{*this};
    CTransfers transfers{*this};
    bool entryCheckRunning = false;
    TemperatureCodeTable temperatureCodes;

    QPushButton *connectButton = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *downloadButton = nullptr;
    QPushButton *uploadButton = nullptr;
    QPushButton *loadDefaultButton = nullptr;
    QPushButton *saveButton = nullptr;
    CGradientProgressCtrl *progressBar = nullptr;
    QLabel *statusBox = nullptr;
    QLabel *pwmReadout = nullptr;   // 1002
    QLabel *valueReadout = nullptr; // 1001
    QCheckBox *monitorCheck = nullptr;

    std::array<QTimer *, 5> timers{};
    QString instanceLockName = QStringLiteral("Plexa");
    std::unique_ptr<InstanceLock> instanceLock;
};
