// The window's dialogs: message boxes, file dialogs, About, Point Linker and COM Setting.
#include "QtModalUi.h"

#include "AboutDlg.h"
#include "ComSetting.h"
#include "DownloadHistoryDialog.h"
#include "PointLinker.h"

#include <QFileDialog>
#include <QMessageBox>

MsgAnswer QtModalUi::MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                                MsgButtons buttons)
{
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == MsgButtons::YesNo ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int result = box.exec();
    switch (result) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Save: return MsgAnswer::Save;
    case QMessageBox::Discard: return MsgAnswer::Discard;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return MsgAnswer::Closed;
    }
}

void QtModalUi::ShowAbout(QWidget *owner)
{
    CAboutDlg dialog(owner);
    dialog.exec();
}

QString QtModalUi::GetSaveFileName(QWidget *owner, const FileDialogSpec &spec)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!spec.folder.isEmpty())
        dialog.setDirectory(spec.folder);
    dialog.setNameFilters(spec.filters);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    dialog.selectFile(spec.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QStringList QtModalUi::GetOpenFileNames(QWidget *owner, const FileDialogSpec &spec)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!spec.folder.isEmpty())
        dialog.setDirectory(spec.folder);
    dialog.setNameFilters(spec.filters);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

PointLinkerChoice QtModalUi::RunPointLinker(QWidget *owner)
{
    MyPointerLinker dialog(owner);
    dialog.exec();
    return dialog.Outcome();
}

std::optional<ComSettings> QtModalUi::RunComSetting(QWidget *owner, const ComSettings &current)
{
    comsetting dialog(current, ListPorts(), owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Settings();
}

std::optional<std::size_t> QtModalUi::ChooseJournalEntry(QWidget *owner, const std::vector<JournalEntry> &entries)
{
    CDownloadHistoryDialog dialog(entries, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Chosen();
}
