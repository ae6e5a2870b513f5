#pragma once

#include "PointLinker.h"
#include "PortList.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

enum class MsgIcon { None, Information, Warning, Stop };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No, Closed };

// Every modal interaction of the main window goes through this, so tests can script the answers.
class IModalUi
{
public:
    virtual ~IModalUi() = default;

    // owner null: a box owned by no window.
    virtual MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    virtual void ShowAbout(QWidget *owner) = 0;
    // Empty when cancelled. Asks before overwriting an existing file.
    virtual QString GetSaveFileName(QWidget *owner, const QString &proposedName, const QString &defaultSuffix) = 0;
    // Several may be chosen; empty when cancelled.
    virtual QStringList GetOpenFileNames(QWidget *owner) = 0;
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
    QString GetSaveFileName(QWidget *owner, const QString &proposedName, const QString &defaultSuffix) override;
    QStringList GetOpenFileNames(QWidget *owner) override;
    MyPointerLinker::Result RunPointLinker(QWidget *owner) override;
    std::optional<ComSettings> RunComSetting(QWidget *owner, const ComSettings &current) override;
};
