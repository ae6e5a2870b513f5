// The main window: the controls of the profile and the chart, wired to the collaborators that own
// the profile's editing, the link to the controller and the transfers.
#pragma once

#include "DialogUnits.h"
#include "ModalUi.h"
#include "ProfileDocument.h"
#include "WindowViews.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AppSettings;
struct JournalEntry;
class CChartCtrl;
class CControllerLink;
class CFanCurvePlot;
class CGradientProgressCtrl;
class CInstanceBeacon;
class CMultipointEditor;
class CProfileEntry;
class CProfileFile;
class CProfileForm;
class CProfileUndo;
class RecoveryCopy;
class CTransfers;
class InstanceLock;
class QAction;
class ReadingRecorder;
class ReadingHistory;
class CHistoryWindow;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
struct ControlSpec;
struct MonitorReading;

class CPlexaDlg : public QWidget, public ILinkView, public ITransferView, public IProfileView
{
    Q_OBJECT
public:
    explicit CPlexaDlg(QWidget *parent = nullptr);
    ~CPlexaDlg() override;

    // Builds the window's state; false when another copy runs (this one then closes itself).
    bool OnInitDialog();

    // How much smaller than usual the fixed window must be drawn to fit the screen's available area
    // (high scaling on a small screen): 1 where it fits; the controls and the font scale alike.
    // Never below kReadableScale, where the style's boxes, arrows and frames, which keep their size,
    // still leave the smaller texts whole: a screen too small for that scrolls the window's content.
    static double FitScale(QSize available);
    static constexpr double kReadableScale = 0.85;

    // Tests replace the dialogs; the window owns whichever is installed.
    void SetModalUi(std::unique_ptr<IModalUi> ui) { dialogs.Install(std::move(ui)); }
    // The single-instance lock's name; tests use their own so a running copy never interferes.
    void SetInstanceLockName(const QString &name) { instanceLockName = name; }
    // Where the settings live; tests use a file of their own, never the user's settings.
    void SetSettingsFile(const QString &file) { settingsFile = file; }
    // Where the recovery copy and the download journal live; tests use a folder of their own.
    void SetStateFolder(const QString &folder) { stateFolder = folder; }
    const QString &StateFolderPath() const { return stateFolder; }

    // After the window is up: offers a profile that a run which did not end cleanly left unsaved,
    // then keeps the recovery copy in step with the profile.
    void StartRecovery();
    // A file to open at start or dropped on the window: asked about first when the profile shown
    // has unsaved changes, then checked as Open File checks it.
    void OpenFile(const QString &path);

    // A control of the layout by its id.
    QWidget *Control(int id) const { return controls.value(id); }
    const DialogUnits &Units() const { return units; }
    ProfileDocument &Document() { return document; }
    CProfileForm &Form() { return *form; }
    CProfileUndo &Undo() { return *undo; }
    CChartCtrl *Chart() const { return chart; }
    CFanCurvePlot &Plot() { return *plot; }
    CProfileEntry &Entry() { return *profileEntry; }
    CMultipointEditor &Multipoint() { return *multipoint; }
    CControllerLink &Link() { return *link; }
    CTransfers &Transfers() { return *transfers; }
    CGradientProgressCtrl &Progress() { return *progressBar; }

    // Handlers, named after the events they answer.
    void OnBnClickedLoadDefault();
    void OnCbnSelchangeOption();
    void OnBnClickedMonitor();
    void OnBnClickedSaveFile();
    void OnBnClickedOpenFile();
    void OnBnClickedEnableMultipoint();
    void OnBnClickedConnect();
    void OnBnClickedDownload();
    void OnBnClickedUpload();
    void ShowAbout();
    // Another copy was started: this one comes to the front instead.
    void ComeForward();
    int TimesCalledForward() const { return timesCalledForward; }
    void OnVerifyAfterDownloadToggled(bool on);
    // "Download history...": the journal's downloads; the one chosen opens as the profile.
    void ShowDownloadHistory();
    // Whether the profile shown may be replaced or dropped: asks Save / Discard / Cancel while it
    // has unsaved changes; true when it was saved or the user lets it go.
    bool MayDropProfile();
    // "Record to CSV...": asks for the file and starts; while recording, the same entry stops it.
    void OnRecordTriggered();
    const ReadingRecorder &Recorder() const { return *recorder; }
    // The history of the readings shown this session, and its window (made when first opened).
    void ShowHistory();
    const ReadingHistory &History() const { return *history; }
    CHistoryWindow *HistoryWindow() const { return historyWindow; }
    // The window's context menu: About and the entries around the window's own layout.
    QList<QAction *> ContextMenuActions() const { return actions(); }

    // The views the collaborators see.
    void SetStatusText(const QString &text) override;
    QString StatusText() const override;
    void ClearLiveIndication() override;
    void SwitchMonitoringOff(bool emptyReadouts = true) override;
    bool MonitoringEnabled() const override { return monitoringEnabled; }
    void SetTransferButtons(bool enabled) override;
    InputKind ShownInputKind() const override { return document.Kind(); }
    void CommitPendingEntry() override;
    void ClearCursorMarker() override;
    ControlProfile ShownProfile() const override { return document.Fields(); }
    const FanCurve &ShownCurve() const override;
    ProfileImage BuildProfileImage() const override;
    void LockProfileControls() override;
    void UnlockProfileControls(bool enableMonitorCheck = true) override;
    void SetDownloadButton(bool enabled) override;
    void EnableMonitorCheck() override;
    void SetProgress(int position) override;
    void SetProgressWhiteText(bool white) override;
    void SetChartHeld(bool held) override;
    void ShowUploadedProfile(const ProfileImage &image) override;
    void SetReadouts(const std::optional<QString> &value, const std::optional<QString> &pwm) override;
    float LiveValue() const override;
    // The title names where the profile came from; Qt's marker shows unsaved changes.
    void SetWindowTitle(const QString &title) override;

    void LoadDefaultTemplate();
    void ApplyTemperatureLabels();
    void ApplyVoltageLabels();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Each download into the journal; a confirmed one is what the profile is now compared with.
    void RecordDownload(const JournalEntry &entry);
    void CreateControls();
    // The window as large as its content, or the screen's room with the content scrolling in it.
    void FitToScreen();
    QWidget *CreateControl(const ControlSpec &spec);
    void ConnectHandlers();
    bool CheckSingleInstance();
    void SetConnectedLook(bool connected);
    void KeepStatusTextClearOfFrames();
    // What a screen reader hears of the chart: the curve, and the live reading while connected.
    void DescribeChart();
    // Shift+F10 and the Menu key: the menu the right button opens where the keyboard is.
    void OpenContextMenuByKeyboard(QWidget *focused);
    void ShowReading(const MonitorReading &reading);
    void RecordReading(const MonitorReading &reading);
    void KeepReading(const MonitorReading &reading);
    void ShowRecordingState();
    // The buttons a transfer locks beside the profile's controls.
    std::vector<QWidget *> LockedButtons() const;
    void ShowTitle();

public:
    // The chart's accessible description as it stands.
    QString ChartDescription() const;

private:
    // After an undo or redo: what follows the profile is shown again.
    void ShowRestored();
    void FillRecentMenu();

    WindowDialogs dialogs;
    DialogUnits units;
    QHash<int, QWidget *> controls;
    QWidget *content = nullptr; // the controls, at the layout's size
    ProfileDocument document;
    std::unique_ptr<CProfileForm> form;
    std::unique_ptr<CProfileUndo> undo;
    CChartCtrl *chart = nullptr;
    std::unique_ptr<CFanCurvePlot> plot;
    std::unique_ptr<CProfileEntry> profileEntry;
    std::unique_ptr<CProfileFile> profileFile;
    std::unique_ptr<CMultipointEditor> multipoint;
    std::unique_ptr<CControllerLink> link;
    std::unique_ptr<CTransfers> transfers;
    bool monitoringEnabled = false;
    int timesCalledForward = 0;
    QString baseTitle;

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

    QAction *verifyAction = nullptr;
    QAction *recordAction = nullptr;
    QMenu *recentMenu = nullptr;
    std::unique_ptr<ReadingRecorder> recorder;
    std::unique_ptr<ReadingHistory> history;
    CHistoryWindow *historyWindow = nullptr;
    QString settingsFile;
    std::unique_ptr<AppSettings> settings;
    QString stateFolder;
    std::unique_ptr<RecoveryCopy> recovery;
    bool keepingRecovery = false;
    CInstanceBeacon *beacon = nullptr;
    QString instanceLockName = QStringLiteral("Plexa");
    std::unique_ptr<InstanceLock> instanceLock;
};
