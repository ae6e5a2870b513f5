// Every modal interaction of the main window, behind one interface tests can script.
#pragma once

#include "EntryRules.h"
#include "PointLinker.h"
#include "PortList.h"
#include "SerialException.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

enum class MsgIcon { None, Information, Warning, Stop };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No, Closed };

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
    virtual MyPointerLinker::Result RunPointLinker(QWidget *owner) = 0;
    // The port to connect to; none when cancelled.
    virtual std::optional<ComSettings> RunComSetting(QWidget *owner, const ComSettings &current) = 0;
};

// The program's own dialogs.
class QtModalUi : public IModalUi
{
public:
    MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                         MsgButtons buttons) override;
    void ShowAbout(QWidget *owner) override;
    QString GetSaveFileName(QWidget *owner, const FileDialogSpec &spec) override;
    QStringList GetOpenFileNames(QWidget *owner, const FileDialogSpec &spec) override;
    MyPointerLinker::Result RunPointLinker(QWidget *owner) override;
    std::optional<ComSettings> RunComSetting(QWidget *owner, const ComSettings &current) override;
};

// The window's dialogs as its collaborators use them, owned by the window: whichever IModalUi is
// installed answers them.
class WindowDialogs
{
public:
    static inline const QString kTitle = QStringLiteral("Tamlin Orvex Interface");

    explicit WindowDialogs(QWidget *owner) : owner(owner), ui(std::make_unique<QtModalUi>()) {}

    void Install(std::unique_ptr<IModalUi> replacement) { ui = std::move(replacement); }

    // A warning box with an OK button.
    void Warn(const Refusal &refusal)
    {
        ui->MessageBox(owner, refusal.text, refusal.caption, MsgIcon::Warning, MsgButtons::Ok);
    }
    // A Yes/No question with a warning icon; true for Yes.
    bool Ask(const QString &caption, const QString &text)
    {
        return ui->MessageBox(owner, text, caption, MsgIcon::Warning, MsgButtons::YesNo) == MsgAnswer::Yes;
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
    // A plain box owned by no window.
    void Notice(const QString &text) { ui->MessageBox(nullptr, text, QString(), MsgIcon::None, MsgButtons::Ok); }
    void About() { ui->ShowAbout(owner); }
    QString SaveFileName(const FileDialogSpec &spec) { return ui->GetSaveFileName(owner, spec); }
    QStringList OpenFileNames(const FileDialogSpec &spec) { return ui->GetOpenFileNames(owner, spec); }
    MyPointerLinker::Result PointLinker() { return ui->RunPointLinker(owner); }
    std::optional<ComSettings> ComSetting(const ComSettings &current) { return ui->RunComSetting(owner, current); }

private:
    QWidget *owner;
    std::unique_ptr<IModalUi> ui;
};
