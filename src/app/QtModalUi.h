// The program's own dialogs behind the window's modal interface.
#pragma once

#include "ModalUi.h"

class QtModalUi : public IModalUi
{
public:
    MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                         MsgButtons buttons) override;
    void ShowAbout(QWidget *owner) override;
    QString GetSaveFileName(QWidget *owner, const FileDialogSpec &spec) override;
    QStringList GetOpenFileNames(QWidget *owner, const FileDialogSpec &spec) override;
    PointLinkerChoice RunPointLinker(QWidget *owner) override;
    std::optional<ComSettings> RunComSetting(QWidget *owner, const ComSettings &current) override;
    std::optional<std::size_t> ChooseJournalEntry(QWidget *owner, const std::vector<JournalEntry> &entries) override;
};
