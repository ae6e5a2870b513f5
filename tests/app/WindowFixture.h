// The fixture of the window tests.
#pragma once

#include "ChartCtrl.h"
#include "ControllerLink.h"
#include "FanCurvePlot.h"
#include "MultipointEditor.h"
#include "PlexaDlg.h"
#include "ProfileEntry.h"
#include "ScriptedModalUi.h"
#include "Transfers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// A started main window with scripted dialogs and a lock name of its own.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Start(*window)); }

    bool Start(CPlexaDlg &dlg, const QString &lockName = {})
    {
        dlg.SetModalUi(std::make_unique<ScriptedModalUi>(ui));
        dlg.SetInstanceLockName(lockName.isEmpty() ? ownLock : lockName);
        dlg.SetSettingsFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        dlg.SetStateFolder(settingsDir.filePath(QStringLiteral("state")));
        return dlg.OnInitDialog();
    }

    QString Text(int id) const
    {
        QWidget *w = window->Control(id);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return combo->currentText();
        if (auto *label = qobject_cast<QLabel *>(w))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            return button->text();
        return {};
    }
    QStringList Items(int id) const
    {
        auto *combo = qobject_cast<QComboBox *>(window->Control(id));
        QStringList items;
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    QComboBox *Combo(int id) const { return qobject_cast<QComboBox *>(window->Control(id)); }
    QCheckBox *Check(int id) const { return qobject_cast<QCheckBox *>(window->Control(id)); }
    bool Enabled(int id) const { return window->Control(id)->isEnabled(); }
    // A context-menu entry of a window by the start of its text; null when it has none.
    static QAction *Action(const QWidget &owner, const QString &startsWith)
    {
        for (QAction *action : owner.actions()) {
            if (action->text().startsWith(startsWith))
                return action;
        }
        return nullptr;
    }
    QAction *Action(const QString &startsWith) const { return Action(*window, startsWith); }
    // Types into a field through the keyboard, as a user would, then leaves it for another field.
    void TypeAndLeave(int id, const QString &text, int leaveTo = 1009)
    {
        QWidget *field = window->Control(id);
        field->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->selectAll();
        else if (auto *combo = qobject_cast<QComboBox *>(field))
            combo->lineEdit()->selectAll();
        QTest::keyClicks(field, text);
        window->Control(leaveTo)->setFocus(Qt::TabFocusReason);
    }
    // Ticks "monitor" as a user would, once the window has something to monitor.
    void Monitor()
    {
        window->Control(1052)->setEnabled(true);
        QTest::mouseClick(window->Control(1052), Qt::LeftButton);
        ASSERT_TRUE(window->MonitoringEnabled());
    }

    ScriptedModalUi::Log ui;
    QTemporaryDir settingsDir; // the user's own settings are never touched
    const QString ownLock = QStringLiteral("orvex-test-") + QUuid::createUuid().toString(QUuid::Id128);
    std::unique_ptr<CPlexaDlg> window = std::make_unique<CPlexaDlg>();
};
