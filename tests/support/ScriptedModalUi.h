// Scripted dialogs for the window tests.
#pragma once

#include "ModalUi.h"

#include <deque>
#include <vector>

// Records every box the window shows and answers from a script (Ok / Closed when it runs dry).
class ScriptedModalUi : public IModalUi
{
public:
    struct Shown
    {
        bool owned;
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
    };

    struct Log
    {
        std::vector<Shown> boxes;
        std::deque<MsgAnswer> answers;
        int aboutShown = 0;
        std::deque<QString> saveNames;      // empty string: cancelled
        std::deque<QStringList> openNames;  // empty list: cancelled
        std::vector<QString> proposedNames; // what the save dialog proposed
        std::vector<QString> defaultSuffixes;
        std::vector<FileDialogSpec> fileDialogs;     // every file dialog, save and open
        std::deque<PointLinkerChoice> linkerResults; // Cancel when it runs dry
        int linkerShown = 0;
        std::deque<std::optional<ComSettings>> comSettings; // nullopt: cancelled
        std::vector<ComSettings> comSettingShownWith;
        std::deque<std::optional<std::size_t>> journalChoices; // nullopt: closed
        std::vector<std::vector<JournalEntry>> journalsShown;
    };

    explicit ScriptedModalUi(Log &log) : log(log) {}

    MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                         MsgButtons buttons) override
    {
        log.boxes.push_back({owner != nullptr, text, caption, icon, buttons});
        if (log.answers.empty())
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
        const MsgAnswer answer = log.answers.front();
        log.answers.pop_front();
        return answer;
    }

    void ShowAbout(QWidget *) override { ++log.aboutShown; }

    QString GetSaveFileName(QWidget *, const FileDialogSpec &spec) override
    {
        log.proposedNames.push_back(spec.proposedName);
        log.defaultSuffixes.push_back(spec.defaultSuffix);
        log.fileDialogs.push_back(spec);
        if (log.saveNames.empty())
            return {};
        const QString name = log.saveNames.front();
        log.saveNames.pop_front();
        return name;
    }

    PointLinkerChoice RunPointLinker(QWidget *) override
    {
        ++log.linkerShown;
        if (log.linkerResults.empty())
            return PointLinkerChoice::Cancel;
        const PointLinkerChoice result = log.linkerResults.front();
        log.linkerResults.pop_front();
        return result;
    }

    std::optional<ComSettings> RunComSetting(QWidget *, const ComSettings &current) override
    {
        log.comSettingShownWith.push_back(current);
        if (log.comSettings.empty())
            return std::nullopt;
        const std::optional<ComSettings> answer = log.comSettings.front();
        log.comSettings.pop_front();
        return answer;
    }

    std::optional<std::size_t> ChooseJournalEntry(QWidget *, const std::vector<JournalEntry> &entries) override
    {
        log.journalsShown.push_back(entries);
        if (log.journalChoices.empty())
            return std::nullopt;
        const std::optional<std::size_t> choice = log.journalChoices.front();
        log.journalChoices.pop_front();
        return choice;
    }

    QStringList GetOpenFileNames(QWidget *, const FileDialogSpec &spec) override
    {
        log.fileDialogs.push_back(spec);
        if (log.openNames.empty())
            return {};
        const QStringList names = log.openNames.front();
        log.openNames.pop_front();
        return names;
    }

private:
    Log &log;
};
