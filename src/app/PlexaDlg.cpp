// The main window: its controls from the layout table, and the wiring between them and the
// collaborators.
#include "PlexaDlg.h"

#include "AppSettings.h"
#include "ChartCtrl.h"
#include "ControllerLink.h"
#include "DownloadJournal.h"
#include "FanCurvePlot.h"
#include "GradientProgressCtrl.h"
#include "HistoryWindow.h"
#include "InstanceBeacon.h"
#include "InstanceLock.h"
#include "MainLayout.h"
#include "MonitorFrame.h"
#include "MultipointEditor.h"
#include "PortList.h"
#include "ProfileEntry.h"
#include "ProfileFile.h"
#include "ProfileForm.h"
#include "ProfileUndo.h"
#include "QtModalUi.h"
#include "ReadingHistory.h"
#include "ReadingRecorder.h"
#include "RecoveryCopy.h"
#include "StateFolder.h"
#include "Transfers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Pictures of the image buttons, by control id.
QString ButtonPicture(int id)
{
    switch (id) {
    case 1003: return QStringLiteral(":/pictures/131.png");
    case 1004: return QStringLiteral(":/pictures/133.png");
    case 1005: return QStringLiteral(":/pictures/134.png");
    case 1007: return QStringLiteral(":/pictures/135.png");
    case 1057: return QStringLiteral(":/pictures/1059.png");
    case 1006: return QStringLiteral(":/pictures/1060.png");
    default: return {};
    }
}

constexpr int kComboClosedHeightDlu = 12;
// What the window manager's frame and title bar take around the window, roughly.
constexpr QSize kFrameAllowance(8, 40);

QSize AvailableScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1 << 16, 1 << 16);
}

QFont ScaledDialogFont(double scale)
{
    QFont font = DialogUnits::DialogFont();
    if (scale != 1)
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}
} // namespace

double CPlexaDlg::FitScale(QSize available)
{
    const QSize size = DialogUnits(DialogUnits::DialogFont()).Size(kMainWidthDlu, kMainHeightDlu);
    const QSize room = available - kFrameAllowance;
    const double scale =
        std::min(static_cast<double>(room.width()) / size.width(), static_cast<double>(room.height()) / size.height());
    // Whole hundredths, rounded down, so what is drawn always fits.
    return scale >= 1 ? 1 : std::max(kReadableScale, std::floor(scale * 100) / 100);
}

CPlexaDlg::CPlexaDlg(QWidget *parent)
    : QWidget(parent), dialogs(this, std::make_unique<QtModalUi>()),
      units(DialogUnits(DialogUnits::DialogFont()).Scaled(FitScale(AvailableScreenSize()))),
      recorder(std::make_unique<ReadingRecorder>()), history(std::make_unique<ReadingHistory>()),
      settings(std::make_unique<AppSettings>()), stateFolder(StateFolder())
{
    setWindowIcon(QIcon(QStringLiteral(":/pictures/151.png")));
    setFont(ScaledDialogFont(units.Scale()));
    setAcceptDrops(true);
    content = new QWidget(this);
    content->setFixedSize(units.Size(kMainWidthDlu, kMainHeightDlu));
    CreateControls();
    FitToScreen();
    plot = std::make_unique<CFanCurvePlot>(*chart, document);
    profileEntry = std::make_unique<CProfileEntry>(document, *form, *this, dialogs, *plot);
    profileFile = std::make_unique<CProfileFile>(document, *this, dialogs, *settings, *profileEntry, *plot);
    multipoint = std::make_unique<CMultipointEditor>(*this, dialogs, document, *form, *profileEntry, *plot, *chart);
    undo = std::make_unique<CProfileUndo>(document, [this] { ShowRestored(); });
    connect(&document, &ProfileDocument::modifiedChanged, this, &CPlexaDlg::ShowTitle);
    link = std::make_unique<CControllerLink>(*this, dialogs);
    transfers = std::make_unique<CTransfers>(*this, *link, dialogs);
    connect(transfers.get(), &CTransfers::downloadFinished, this, &CPlexaDlg::RecordDownload);
    multipoint->SetEditGate([this] { return link->PollEnabled() && transfers->ChartEditEnabled(); });
    connect(link.get(), &CControllerLink::connectedChanged, this, &CPlexaDlg::SetConnectedLook);
    connect(link.get(), &CControllerLink::readingArrived, this, &CPlexaDlg::ShowReading);
    connect(link.get(), &CControllerLink::connectedChanged, this, &CPlexaDlg::DescribeChart);
    connect(&document, &ProfileDocument::curveChanged, this, &CPlexaDlg::DescribeChart);
    connect(&document, &ProfileDocument::fieldChanged, this, &CPlexaDlg::DescribeChart);
    connect(&document, &ProfileDocument::multipointChanged, this, &CPlexaDlg::DescribeChart);
    connect(&document, &ProfileDocument::replaced, this, &CPlexaDlg::DescribeChart);
    connect(link.get(), &CControllerLink::portOpened, this,
            [this](const QString &device) { settings->SetLastPort(StablePortName(device)); });

    // Qt offers no system menu, so the window's context menu carries About.
    auto *about = new QAction(QStringLiteral("&About Orvex Interface"), this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, &CPlexaDlg::ShowAbout);
    addAction(about);
    verifyAction = new QAction(QStringLiteral("Verify after download"), this);
    verifyAction->setCheckable(true);
    verifyAction->setChecked(transfers->VerifyAfterDownload());
    connect(verifyAction, &QAction::toggled, this, &CPlexaDlg::OnVerifyAfterDownloadToggled);
    addAction(verifyAction);
    recordAction = new QAction(this);
    recordAction->setCheckable(true); // the tick shows that recording is on
    connect(recordAction, &QAction::triggered, this, &CPlexaDlg::OnRecordTriggered);
    addAction(recordAction);
    ShowRecordingState();
    connect(link.get(), &CControllerLink::readingArrived, this, &CPlexaDlg::RecordReading);
    connect(link.get(), &CControllerLink::readingArrived, this, &CPlexaDlg::KeepReading);
    auto *historyAction = new QAction(QStringLiteral("History"), this);
    historyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(historyAction, &QAction::triggered, this, &CPlexaDlg::ShowHistory);
    insertAction(verifyAction, historyAction); // beside About

    auto *separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    addAction(undo->UndoAction());
    addAction(undo->RedoAction());
    recentMenu = new QMenu(QStringLiteral("Open Recent"), this);
    connect(recentMenu, &QMenu::aboutToShow, this, &CPlexaDlg::FillRecentMenu);
    addAction(recentMenu->menuAction());
    auto *journalAction = new QAction(QStringLiteral("Download history..."), this);
    connect(journalAction, &QAction::triggered, this, &CPlexaDlg::ShowDownloadHistory);
    addAction(journalAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    qApp->installEventFilter(this);
    ConnectHandlers();
}

CPlexaDlg::~CPlexaDlg()
{
    qApp->removeEventFilter(this);
}

QWidget *CPlexaDlg::CreateControl(const ControlSpec &spec)
{
    const QString text = QString::fromUtf8(spec.text);
    QRect rect = units.Rect(spec.x, spec.y, spec.width, spec.height);
    QWidget *widget = nullptr;
    switch (spec.kind) {
    case ControlKind::GroupBox: widget = new QGroupBox(text, content); break;
    case ControlKind::ImageButton: {
        auto *button = new QPushButton(QIcon(ButtonPicture(spec.id)), text, content);
        button->setAccessibleName(text.simplified()); // the line breaks are for the eye only
        button->setIconSize(QSize(units.Y(18), units.Y(18)));
        button->setAutoDefault(false);
        widget = button;
        break;
    }
    case ControlKind::ProgressBar: widget = new CGradientProgressCtrl(content); break;
    case ControlKind::Text:
    case ControlKind::StatusBox: {
        auto *label = new QLabel(text, content);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (spec.kind == ControlKind::StatusBox) {
            label->setWordWrap(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, QColor(48, 48, 255));
            label->setPalette(palette);
        }
        widget = label;
        break;
    }
    case ControlKind::DropList:
    case ControlKind::EditableCombo: {
        auto *combo = new QComboBox(content);
        if (spec.kind == ControlKind::EditableCombo) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr); // typing must not be completed to a list item behind the checks
        }
        // The template's height includes the dropped list; the closed box follows the font.
        rect.setHeight(std::min(rect.height(), std::max(units.Y(kComboClosedHeightDlu), combo->sizeHint().height())));
        widget = combo;
        break;
    }
    case ControlKind::Edit:
    case ControlKind::DigitsEdit: {
        auto *edit = new QLineEdit(content);
        if (spec.kind == ControlKind::DigitsEdit)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        widget = edit;
        break;
    }
    case ControlKind::CheckBox: widget = new QCheckBox(text, content); break;
    case ControlKind::Chart: widget = new CChartCtrl(content); break;
    }
    widget->setGeometry(rect);
    if (spec.id != 0) {
        widget->setObjectName(QStringLiteral("ctl%1").arg(spec.id));
        controls.insert(spec.id, widget);
    }
    return widget;
}

void CPlexaDlg::CreateControls()
{
    for (const ControlSpec &spec : kMainLayout)
        CreateControl(spec);

    auto combo = [this](int id) { return static_cast<QComboBox *>(controls.value(id)); };
    auto edit = [this](int id) { return static_cast<QLineEdit *>(controls.value(id)); };
    auto label = [this](int id) { return static_cast<QLabel *>(controls.value(id)); };
    auto button = [this](int id) { return static_cast<QPushButton *>(controls.value(id)); };

    CProfileForm::Controls c;
    c.inputControlType = combo(1022);
    c.outputControlType = combo(1025);
    c.softwareNumber = edit(1008);
    c.versionNumber = edit(1009);
    c.fanSpeedTopBand = edit(1053);
    c.topBand = edit(1056);
    c.fanSpeedBottomBand = edit(1054);
    c.bottomBand = edit(1055);
    c.lowShutOff = combo(1013);
    c.speedCap = combo(1014);
    c.invertPwmOutput = combo(1039);
    c.tachoDependentAlarm = combo(1024);
    c.highAlarm = combo(1015);
    c.lowAlarm = combo(1017);
    c.alarmActiveState = combo(1018);
    c.topBandLabel = label(1026);
    c.bottomBandLabel = label(1027);
    c.lowShutOffLabel = label(1028);
    c.highAlarmLabel = label(1029);
    c.lowAlarmLabel = label(1030);
    c.enableMultipoint = static_cast<QCheckBox *>(controls.value(1031));
    c.points = label(1033);
    form = std::make_unique<CProfileForm>(document, c);

    connectButton = button(1007);
    openButton = button(1005);
    downloadButton = button(1004);
    uploadButton = button(1057);
    loadDefaultButton = button(1006);
    saveButton = button(1003);
    progressBar = static_cast<CGradientProgressCtrl *>(controls.value(1044));
    statusBox = label(1043);
    pwmReadout = label(1002);
    valueReadout = label(1001);
    monitorCheck = static_cast<QCheckBox *>(controls.value(1052));
    chart = static_cast<CChartCtrl *>(controls.value(1000));
    chart->setFocusPolicy(Qt::StrongFocus); // arrow keys and Enter edit the curve in multipoint mode
    chart->setAccessibleName(QStringLiteral("Fan curve"));
    progressBar->setAccessibleName(QStringLiteral("Transfer progress"));
    statusBox->setAccessibleName(QStringLiteral("Controller messages"));
    KeepStatusTextClearOfFrames();
}

void CPlexaDlg::FitToScreen()
{
    auto *scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);

    const QSize whole = content->size();
    const QSize room = AvailableScreenSize() - kFrameAllowance;
    if (whole.width() <= room.width() && whole.height() <= room.height()) {
        setFixedSize(whole);
        return;
    }
    // A scroll bar across takes height and one down takes width, which may call for the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroller);
    bool across = whole.width() > room.width();
    const bool down = whole.height() + (across ? bar : 0) > room.height();
    across = across || whole.width() + (down ? bar : 0) > room.width();
    setFixedSize(std::min(room.width(), whole.width() + (down ? bar : 0)),
                 std::min(room.height(), whole.height() + (across ? bar : 0)));
}

void CPlexaDlg::KeepStatusTextClearOfFrames()
{
    // The style draws a group box's title above its frame, so the Plot box's top border can run
    // through the status box's first line: the text starts below the border, in the same rectangle.
    for (const QGroupBox *box : findChildren<QGroupBox *>()) {
        if (!box->geometry().intersects(statusBox->geometry()))
            continue;
        const int clear = box->y() + box->contentsRect().top() + 1 - statusBox->y();
        if (clear > 0)
            statusBox->setContentsMargins(0, clear, 0, 0);
    }
}

void CPlexaDlg::ConnectHandlers()
{
    connect(loadDefaultButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedLoadDefault);
    connect(monitorCheck, &QCheckBox::clicked, this, &CPlexaDlg::OnBnClickedMonitor);
    connect(saveButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedSaveFile);
    connect(connectButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedConnect);
    connect(downloadButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedDownload);
    connect(uploadButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedUpload);
    connect(openButton, &QPushButton::clicked, this, &CPlexaDlg::OnBnClickedOpenFile);

    CProfileEntry *entry = profileEntry.get();
    connect(form.get(), &CProfileForm::typed, this, [entry](ProfileField field) { entry->Typed(field); });
    connect(form.get(), &CProfileForm::chosen, this, [entry](ProfileField field) { entry->Chosen(field); });
    connect(form.get(), &CProfileForm::left, this, [entry](ProfileField field) { entry->Left(field); });
    connect(form.get(), &CProfileForm::multipointClicked, this, &CPlexaDlg::OnBnClickedEnableMultipoint);
}

bool CPlexaDlg::OnInitDialog()
{
    SetWindowTitle(WindowDialogs::kTitle);
    settings->Open(settingsFile);
    verifyAction->setChecked(settings->VerifyAfterDownload());
    link->ProposePort(settings->LastPort());

    monitorCheck->setChecked(false);
    monitorCheck->setEnabled(false);
    valueReadout->clear();
    pwmReadout->clear();
    monitoringEnabled = false;

    chart->EnableRedraw(false); // one repaint for all of the set-up
    plot->SetUpChart();
    chart->SetBorderColor(QColor(0, 180, 0));
    plot->SetBackground(CFanCurvePlot::multipointBackground);

    downloadButton->setEnabled(false);
    uploadButton->setEnabled(false);

    form->FillOptionLists();

    progressBar->SetRange(0, DownloadExchange::kProgressEnd);
    progressBar->SetStartColor(QColor(255, 10, 22));
    progressBar->SetEndColor(QColor(65, 255, 17));
    progressBar->SetBkColor(QColor(238, 238, 238));
    progressBar->SetTextColor(QColor(0, 0, 0));
    progressBar->ShowPercent(true);
    progressBar->SetPos(0);

    document.ChangeCurve([](FanCurve &curve) { curve.topBandIndex = curve.bottomBandIndex = 0; });

    LoadDefaultTemplate();
    chart->EnableRedraw(true);
    undo->Forget(); // the start is the template, with nothing to undo

    multipoint->Start();
    link->Start();

    return CheckSingleInstance();
}

bool CPlexaDlg::CheckSingleInstance()
{
    instanceLock = std::make_unique<InstanceLock>(instanceLockName);
    if (instanceLock->TryAcquire()) {
        beacon = new CInstanceBeacon(this);
        connect(beacon, &CInstanceBeacon::comeForward, this, &CPlexaDlg::ComeForward);
        beacon->Listen(instanceLock->SocketPath());
        return true;
    }
    if (!instanceLock->Trouble().isEmpty()) {
        // Nobody is known to be running: refusing to start would lock the user out for nothing.
        qWarning("Cannot make the single-instance lock %s (%s); starting without it.",
                 qUtf8Printable(instanceLock->Path()), qUtf8Printable(instanceLock->Trouble()));
        return true;
    }
    dialogs.Notice(QStringLiteral("An Instance of this application is already running..."));
    // The user need not look for the running copy: it comes to the front.
    CInstanceBeacon::CallRunningCopy(instanceLock->SocketPath());
    close();
    return false;
}

void CPlexaDlg::OnRecordTriggered()
{
    if (recorder->Recording()) {
        recorder->Stop();
        ShowRecordingState();
        return;
    }
    const QString proposed =
        QStringLiteral("orvex-%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path =
        dialogs.SaveFileName({settings->Folder(FileKind::Recording), proposed, QStringLiteral("csv"), kCsvFileFilters});
    if (!path.isEmpty()) {
        settings->RememberFolder(FileKind::Recording, QFileInfo(path).absolutePath());
        const QString reason = recorder->Start(path);
        if (!reason.isEmpty())
            dialogs.Warn({QStringLiteral("Warning"), QStringLiteral("Couldn't record to\n%1\n\n%2").arg(path, reason)});
    }
    ShowRecordingState();
}

void CPlexaDlg::KeepReading(const MonitorReading &reading)
{
    // What the readouts show, in the window's form: the history is what the user saw.
    const bool temperature = ShownInputKind() == InputKind::Temperature;
    const float value = temperature && reading.thermistorFault ? std::numeric_limits<float>::quiet_NaN() // "Unknown"
                                                               : ShownValue(reading.liveValue, temperature);
    history->Append({QDateTime::currentMSecsSinceEpoch(), value, ShownInputKind(), reading.pwmPercent,
                     reading.alarm.value_or(ReadingHistory::kNoAlarm)});
    if (historyWindow)
        historyWindow->OnReadingAdded();
}

void CPlexaDlg::ShowHistory()
{
    if (!historyWindow) {
        historyWindow = new CHistoryWindow(*history, this);
        historyWindow->installEventFilter(this); // its geometry is kept when it closes
        const QByteArray geometry = settings->HistoryGeometry();
        if (!geometry.isEmpty())
            historyWindow->restoreGeometry(geometry);
    }
    historyWindow->show();
    historyWindow->raise();
    historyWindow->activateWindow();
}

void CPlexaDlg::RecordReading(const MonitorReading &reading)
{
    if (!recorder->Recording() || recorder->Record(QDateTime::currentDateTimeUtc(), reading))
        return;
    ShowRecordingState();
    dialogs.Warn({QStringLiteral("Warning"), QStringLiteral("Recording stopped: %1 could not be written.\n\n%2")
                                                 .arg(recorder->Path(), recorder->LastError())});
}

void CPlexaDlg::ShowRecordingState()
{
    const bool on = recorder->Recording();
    recordAction->setChecked(on);
    recordAction->setText(on ? QStringLiteral("Stop recording (%1)").arg(QFileInfo(recorder->Path()).fileName())
                             : QStringLiteral("Record to CSV..."));
}

void CPlexaDlg::ComeForward()
{
    ++timesCalledForward;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

const FanCurve &CPlexaDlg::ShownCurve() const
{
    return document.Curve();
}

ProfileImage CPlexaDlg::BuildProfileImage() const
{
    return document.BuildImage();
}

void CPlexaDlg::ShowUploadedProfile(const ProfileImage &image)
{
    {
        const ProfileDocument::Edit edit(document, QStringLiteral("Upload"));
        profileEntry->ShowImage(image.data(), true);
    }
    document.MarkClean();
}

QString CPlexaDlg::StatusText() const
{
    return statusBox->text();
}

void CPlexaDlg::SetStatusText(const QString &text)
{
    statusBox->setText(text);
}

void CPlexaDlg::ClearLiveIndication()
{
    statusBox->clear();
    plot->ClearLiveMarker();
}

void CPlexaDlg::ClearCursorMarker()
{
    plot->ClearCursorMarker();
}

void CPlexaDlg::SwitchMonitoringOff(bool emptyReadouts)
{
    plot->ClearTrail();
    monitorCheck->setChecked(false);
    monitorCheck->setEnabled(false);
    if (emptyReadouts)
        SetReadouts(QString(), QString());
    monitoringEnabled = false;
    DescribeChart();
}

void CPlexaDlg::SetReadouts(const std::optional<QString> &value, const std::optional<QString> &pwm)
{
    if (value)
        valueReadout->setText(*value);
    if (pwm)
        pwmReadout->setText(*pwm);
    DescribeChart();
}

QString CPlexaDlg::ChartDescription() const
{
    QString text;
    if (document.Multipoint()) {
        const int points = document.Curve().DefinedPointCount();
        text = QStringLiteral("Multipoint curve, %1 %2.").arg(points).arg(points == 1 ? "point" : "points");
    } else {
        const QString unit = document.Kind() == InputKind::Temperature ? QStringLiteral(" °C") : QStringLiteral(" V");
        auto value = [&](ProfileField field, const QString &suffix) {
            bool number = false;
            const QString shown = document.Text(field);
            shown.toDouble(&number);
            return number ? shown + suffix : shown;
        };
        text =
            QStringLiteral("Band curve: fan speed %1 at the bottom band, %2, rising to %3 at the top band, %4. "
                           "Low shut off %5.")
                .arg(value(ProfileField::FanSpeedBottomBand, QStringLiteral(" %")),
                     value(ProfileField::BottomBand, unit), value(ProfileField::FanSpeedTopBand, QStringLiteral(" %")),
                     value(ProfileField::TopBand, unit), value(ProfileField::LowShutOff, unit));
    }
    // The live reading while connected; what the pointer shows when not is no reading.
    if (link && link->Connected() && monitoringEnabled && !valueReadout->text().isEmpty())
        text += QStringLiteral(" Live reading: %1, %2.").arg(valueReadout->text(), pwmReadout->text());
    return text;
}

void CPlexaDlg::DescribeChart()
{
    const QString text = ChartDescription();
    if (text != chart->accessibleDescription())
        chart->setAccessibleDescription(text);
}

float CPlexaDlg::LiveValue() const
{
    return link->LiveValue();
}

void CPlexaDlg::ShowReading(const MonitorReading &reading)
{
    plot->ShowLivePoint(reading.livePointX, reading.pwmPercent);
    // The reading follows the window's form, whatever the frame's kind.
    const bool temperature = ShownInputKind() == InputKind::Temperature;
    SetReadouts(ReadingText(reading.liveValue, temperature, reading.thermistorFault), PwmText(reading.pwmValue));
}

std::vector<QWidget *> CPlexaDlg::LockedButtons() const
{
    return {connectButton, downloadButton, saveButton, openButton, loadDefaultButton};
}

void CPlexaDlg::LockProfileControls()
{
    SwitchMonitoringOff();
    form->SetAllEnabled(false);
    for (QWidget *control : LockedButtons())
        control->setEnabled(false);
    recentMenu->menuAction()->setEnabled(false); // opening a file would change the profile sent
    undo->SetBlocked(true);
}

void CPlexaDlg::UnlockProfileControls(bool enableMonitorCheck)
{
    if (enableMonitorCheck)
        EnableMonitorCheck();
    form->SetAllEnabled(true);
    for (QWidget *control : LockedButtons())
        control->setEnabled(true);
    recentMenu->menuAction()->setEnabled(true);
    if (document.Multipoint())
        form->SetBandFieldsEnabled(false);
    undo->SetBlocked(false);
}

void CPlexaDlg::SetProgress(int position)
{
    progressBar->SetPos(position);
}

void CPlexaDlg::SetProgressWhiteText(bool white)
{
    progressBar->SetTextColor(white ? Qt::white : Qt::black);
}

void CPlexaDlg::SetChartHeld(bool held)
{
    chart->setEnabled(!held);
}

void CPlexaDlg::CommitPendingEntry()
{
    form->TakeShownTexts();
    form->CommitPendingEntry();
}

void CPlexaDlg::LoadDefaultTemplate()
{
    profileEntry->LoadDefaultTemplate();
    document.MarkClean(); // the template is a profile loaded like any other
}

void CPlexaDlg::ApplyTemperatureLabels()
{
    profileEntry->ApplyTemperatureLabels();
}

void CPlexaDlg::ApplyVoltageLabels()
{
    profileEntry->ApplyVoltageLabels();
}

void CPlexaDlg::OnBnClickedSaveFile()
{
    CommitPendingEntry();
    profileFile->OnBnClickedSaveFile();
}

void CPlexaDlg::OnBnClickedOpenFile()
{
    CommitPendingEntry();
    if (!MayDropProfile())
        return;
    profileFile->OnBnClickedOpenFile();
}

void CPlexaDlg::OpenFile(const QString &path)
{
    CommitPendingEntry();
    if (MayDropProfile())
        profileFile->OpenFile(path);
}

bool CPlexaDlg::MayDropProfile()
{
    if (!document.Modified())
        return true;
    const MsgAnswer answer = dialogs.Ui().MessageBox(
        this, QStringLiteral("The profile shown has changes that are not saved.\nSave them to a file first?"),
        QStringLiteral("Unsaved changes"), MsgIcon::Warning, MsgButtons::SaveDiscardCancel);
    if (answer == MsgAnswer::Discard)
        return true;
    // Saving that is refused or cancelled loses nothing either: the profile stays.
    return answer == MsgAnswer::Save && profileFile->OnBnClickedSaveFile();
}

void CPlexaDlg::FillRecentMenu()
{
    recentMenu->clear();
    const QStringList files = settings->RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *open = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(open, &QAction::triggered, this, [this, path] { OpenFile(path); });
    }
    if (files.isEmpty())
        recentMenu->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

void CPlexaDlg::RecordDownload(const JournalEntry &entry)
{
    const QString trouble = DownloadJournal(DownloadJournal::FolderIn(stateFolder)).Record(entry);
    if (!trouble.isEmpty())
        qWarning("orvex: the download was not written to the journal: %s", qUtf8Printable(trouble));
    // What the controller holds is now the reference: only a confirmed download counts.
    if (entry.result == QLatin1String("verified") || entry.result == QLatin1String("downloaded"))
        document.MarkClean();
}

void CPlexaDlg::ShowDownloadHistory()
{
    CommitPendingEntry();
    const std::vector<JournalEntry> entries = DownloadJournal(DownloadJournal::FolderIn(stateFolder)).Entries();
    const std::optional<std::size_t> chosen = dialogs.JournalEntry(entries);
    if (!chosen || *chosen >= entries.size())
        return;
    const JournalEntry &entry = entries[*chosen];
    // Undoable, so no question: the profile shown comes back with Ctrl+Z.
    ClearLiveIndication();
    SwitchMonitoringOff();
    {
        const ProfileDocument::Edit edit(document, QStringLiteral("Open Download"));
        profileEntry->ShowImage(entry.image.data(), false);
    }
    SetStatusText(QStringLiteral("Opened the profile sent to %1 on %2.")
                      .arg(entry.port, entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

void CPlexaDlg::OnBnClickedEnableMultipoint()
{
    const ProfileDocument::Edit edit(document, QStringLiteral("Enable Multipoint"));
    form->TakeShownTexts();
    multipoint->OnBnClickedEnableMultipoint();
}

void CPlexaDlg::OnBnClickedLoadDefault()
{
    CommitPendingEntry();
    plot->ClearCursorMarker();
    if (!dialogs.Ask(QStringLiteral(" WARNING "), QStringLiteral("All current data will be lost - Proceed ?")))
        return;
    ClearLiveIndication();
    SwitchMonitoringOff();
    {
        const ProfileDocument::Edit edit(document, QStringLiteral("Load Default Template"));
        LoadDefaultTemplate();
    }
    SetWindowTitle(QStringLiteral("Default Template Loaded - %1").arg(WindowDialogs::kTitle));
}

void CPlexaDlg::OnBnClickedDownload()
{
    dialogs.Guarded([this] { transfers->OnBnClickedDownload(); });
}

void CPlexaDlg::OnBnClickedUpload()
{
    CommitPendingEntry();
    if (!MayDropProfile())
        return;
    dialogs.Guarded([this] { transfers->OnBnClickedUpload(); });
}

void CPlexaDlg::SetWindowTitle(const QString &title)
{
    baseTitle = title;
    ShowTitle();
}

void CPlexaDlg::ShowTitle()
{
    const bool modified = document.Modified();
    setWindowTitle(modified ? baseTitle + QStringLiteral("[*]") : baseTitle);
    setWindowModified(modified);
}

void CPlexaDlg::ShowRestored()
{
    ClearLiveIndication();
    SwitchMonitoringOff();
    profileEntry->ShowReplaced();
}

void CPlexaDlg::StartRecovery()
{
    recovery = std::make_unique<RecoveryCopy>(document, stateFolder);
    if (const std::optional<RecoveryCopy::Found> left = recovery->Left()) {
        const QString when = QLocale().toString(left->changed, QLocale::ShortFormat);
        if (dialogs.Ask(QStringLiteral("Restore unsaved profile"),
                        QStringLiteral("Tamlin Orvex Interface did not end cleanly while a profile had unsaved "
                                       "changes, last changed %1.\nRestore that profile?")
                            .arg(when))) {
            const ProfileDocument::Edit edit(document, QStringLiteral("Restore"));
            document.Replace(left->state);
            ShowRestored();
        }
    }
    recovery->Keep();
    keepingRecovery = true;
    if (!document.Modified())
        recovery->Discard(); // a copy declined, or one that holds nothing new
}

void CPlexaDlg::OnBnClickedConnect()
{
    dialogs.Guarded([this] { link->OnBnClickedConnect(); });
}

void CPlexaDlg::SetConnectedLook(bool connected)
{
    connectButton->setIcon(
        QIcon(connected ? QStringLiteral(":/pictures/136.png") : QStringLiteral(":/pictures/135.png")));
    connectButton->setText(connected ? QStringLiteral("\nDisconnect\nfrom PORT")
                                     : QStringLiteral("\nConnect\nto PORT"));
    connectButton->setAccessibleName(connectButton->text().simplified());
}

void CPlexaDlg::SetTransferButtons(bool enabled)
{
    downloadButton->setEnabled(enabled);
    uploadButton->setEnabled(enabled);
}

void CPlexaDlg::SetDownloadButton(bool enabled)
{
    downloadButton->setEnabled(enabled);
}

void CPlexaDlg::EnableMonitorCheck()
{
    monitorCheck->setEnabled(true);
}

void CPlexaDlg::OnCbnSelchangeOption()
{
    ClearLiveIndication();
}

void CPlexaDlg::OnBnClickedMonitor()
{
    if (monitorCheck->isChecked()) {
        monitoringEnabled = true;
        return;
    }
    monitoringEnabled = false;
    plot->ClearLiveMarker();
    plot->ClearTrail();
    valueReadout->clear();
    pwmReadout->clear();
    DescribeChart();
}

void CPlexaDlg::ShowAbout()
{
    dialogs.About();
}

void CPlexaDlg::OnVerifyAfterDownloadToggled(bool on)
{
    transfers->SetVerifyAfterDownload(on);
    settings->SetVerifyAfterDownload(on);
}

void CPlexaDlg::closeEvent(QCloseEvent *event)
{
    if (link->Connected()) {
        event->ignore();
        dialogs.Warn({QStringLiteral("Warning - CONNECTED TO PORT "),
                      QStringLiteral("Please press [Disconnect from PORT] button before exiting or removing the "
                                     "communication cable")});
        return;
    }
    CommitPendingEntry();
    if (!MayDropProfile()) {
        event->ignore();
        return;
    }
    event->accept();
    // A clean end: the next start is the ordinary one.
    if (keepingRecovery)
        recovery->Discard();
}

void CPlexaDlg::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() &&
        urls.first().toLocalFile().endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive) && openButton->isEnabled())
        event->acceptProposedAction();
}

void CPlexaDlg::dropEvent(QDropEvent *event)
{
    const QString path = event->mimeData()->urls().value(0).toLocalFile();
    event->acceptProposedAction();
    // Not inside the drop: the question and the message boxes must not hold the drag source.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void CPlexaDlg::OpenContextMenuByKeyboard(QWidget *focused)
{
    // As the right button does: a field's own menu where it has one, otherwise the window's.
    const QPoint at = focused->rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focused->mapToGlobal(at));
    QApplication::sendEvent(focused, &menu);
}

bool CPlexaDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (historyWindow && watched == historyWindow && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        settings->SetHistoryGeometry(historyWindow->saveGeometry());
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool menuKey =
            key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (watched == chart && chart->isEnabled() && multipoint->HandleChartKey(menuKey ? Qt::Key_Menu : key->key()))
            return true;
        // Once, where the key was pressed, not again as it passes to the parents.
        QWidget *focused = focusWidget() ? focusWidget() : this;
        if (menuKey && watched == focused) {
            OpenContextMenuByKeyboard(focused);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const auto *key = static_cast<QKeyEvent *>(event);
            // Enter and Escape neither confirm nor cancel anything in this window.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
                return true;
            // Undo is the profile's, fields and curve together, not a text field's own.
            const QKeySequence pressed(key->keyCombination());
            if (event->type() == QEvent::ShortcutOverride && (undo->UndoAction()->shortcuts().contains(pressed) ||
                                                              undo->RedoAction()->shortcuts().contains(pressed)))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
