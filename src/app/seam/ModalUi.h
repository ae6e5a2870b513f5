// Every modal interaction of the main window, behind one interface tests can script, and what the
// window's collaborators share through it: the questions they ask and the dialogs' results.
#pragma once

#include "DownloadJournal.h"
#include "EntryRules.h"
#include "FanCurve.h"
#include "PortList.h"
#include "ProfileCompare.h"
#include "SerialException.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

enum class MsgIcon { None, Information, Warning, Stop };
// YesNoDefaultNo: Enter must not be the risky answer.
enum class MsgButtons { Ok, YesNo, YesNoDefaultNo, SaveDiscardCancel };
enum class MsgAnswer { Ok, Yes, No, Closed, Save, Discard, Cancel };

// What the Point Linker dialog was closed with.
enum class PointLinkerChoice { Cancel, Ok, Clear, Undo };

// The files whose folders the window remembers, each on its own.
enum class FileKind { OpenProfile, SaveProfile, Recording };

// What a file dialog proposes: the folder it opens in, a name, the suffix added to a bare name, and
// the file types it offers, the first chosen.
struct FileDialogSpec
{
    QString folder;
    QString proposedName;
    QString defaultSuffix;
    QStringList filters;
};
inline const QStringList kProfileFileFilters{QStringLiteral("Profile files (*.dat)"), QStringLiteral("All files (*)")};
inline const QStringList kCsvFileFilters{QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")};

class IModalUi
{
public:
    virtual ~IModalUi() = default;

    // owner null: a box owned by no window.
    virtual MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    virtual void ShowAbout(QWidget *owner) = 0;
    // Empty when cancelled. Asks before overwriting an existing file.
    virtual QString GetSaveFileName(QWidget *owner, const FileDialogSpec &spec) = 0;
    // Several may be chosen; empty when cancelled.
    virtual QStringList GetOpenFileNames(QWidget *owner, const FileDialogSpec &spec) = 0;
    virtual PointLinkerChoice RunPointLinker(QWidget *owner) = 0;
    // The port to connect to; none when cancelled.
    virtual std::optional<ComSettings> RunComSetting(QWidget *owner, const ComSettings &current) = 0;
    // The download chosen from the journal's list (newest first), to open as the profile; none when closed.
    virtual std::optional<std::size_t> ChooseJournalEntry(QWidget *owner, const std::vector<JournalEntry> &entries)
    {
        (void)owner;
        (void)entries;
        return std::nullopt;
    }
};

// What the window remembers between runs that its collaborators use.
class IWindowMemory
{
public:
    virtual QString Folder(FileKind kind) const = 0;
    virtual void RememberFolder(FileKind kind, const QString &folder) = 0;
    // Profile files opened or saved lately, the latest first.
    virtual QStringList RecentFiles() const = 0;
    virtual void AddRecentFile(const QString &path) = 0;

protected:
    ~IWindowMemory() = default;
};

// The window's dialogs as its collaborators use them, owned by the window: whichever IModalUi is
// installed answers them.
class WindowDialogs
{
public:
    static inline const QString kTitle = QStringLiteral("Tamlin Orvex Interface");

    explicit WindowDialogs(QWidget *owner, std::unique_ptr<IModalUi> ui) : owner(owner), ui(std::move(ui)) {}

    void Install(std::unique_ptr<IModalUi> replacement) { ui = std::move(replacement); }
    IModalUi &Ui() { return *ui; }

    // A warning box with an OK button.
    void Warn(const Refusal &refusal)
    {
        ui->MessageBox(owner, refusal.text, refusal.caption, MsgIcon::Warning, MsgButtons::Ok);
    }
    // A Yes/No question with a warning icon; true for Yes.
    bool Ask(const QString &caption, const QString &text, MsgButtons buttons = MsgButtons::YesNo)
    {
        return ui->MessageBox(owner, text, caption, MsgIcon::Warning, buttons) == MsgAnswer::Yes;
    }
    void Error(const QString &caption, const QString &text)
    {
        ui->MessageBox(owner, text, caption, MsgIcon::Stop, MsgButtons::Ok);
    }
    // Runs a handler; a serial failure ends it there, with the platform's text in an error box.
    template <class Handler> void Guarded(Handler &&handler)
    {
        try {
            handler();
        } catch (const CSerialException &error) {
            Error(kTitle, error.Text().isEmpty() ? QStringLiteral("An unknown error occurred.") : error.Text());
        }
    }
    // True when the curve keeps the fan running at its hot end, or the user wants it as it is.
    // No is the default: Enter must not send a curve that stops the fan when it is hottest.
    bool AcceptHotStop(const FanCurve &curve, InputKind kind, const QString &question)
    {
        const std::optional<int> entry = HotStopEntry(curve.curveFan);
        return !entry || Ask(QStringLiteral("Fan stops when hot"),
                             HotStopWarning(*entry, kind) + QLatin1Char('\n') + question, MsgButtons::YesNoDefaultNo);
    }
    // A plain box owned by no window.
    void Notice(const QString &text) { ui->MessageBox(nullptr, text, QString(), MsgIcon::None, MsgButtons::Ok); }
    void About() { ui->ShowAbout(owner); }
    QString SaveFileName(const FileDialogSpec &spec) { return ui->GetSaveFileName(owner, spec); }
    QStringList OpenFileNames(const FileDialogSpec &spec) { return ui->GetOpenFileNames(owner, spec); }
    PointLinkerChoice PointLinker() { return ui->RunPointLinker(owner); }
    std::optional<ComSettings> ComSetting(const ComSettings &current) { return ui->RunComSetting(owner, current); }
    std::optional<std::size_t> JournalEntry(const std::vector<::JournalEntry> &entries)
    {
        return ui->ChooseJournalEntry(owner, entries);
    }

private:
    QWidget *owner;
    std::unique_ptr<IModalUi> ui;
};
