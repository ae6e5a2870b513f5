// The user's work is never lost: the modified marker, the question before it would be dropped,
// undo and redo, recent files, dropped files, the download journal's list and the recovery copy.
#include "DownloadJournal.h"
#include "ProfileForm.h"
#include "ProfileUndo.h"
#include "QtModalUi.h"
#include "RecoveryCopy.h"
#include "WindowFixture.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <random>

namespace {
class SafetyTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    QLineEdit *Edit(int id) const { return qobject_cast<QLineEdit *>(window->Control(id)); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    // A saved profile with this version number, the window back at the template afterwards.
    QString SavedProfile(const QString &name, const QString &version)
    {
        TypeAndLeave(1009, version);
        ui.saveNames.push_back(Path(name));
        window->OnBnClickedSaveFile();
        window->LoadDefaultTemplate();
        return Path(name);
    }
    bool Close()
    {
        QCloseEvent event;
        QApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
    void Drop(const QString &path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QCoreApplication::processEvents(); // the file opens once the drop is over
    }
    void Keys(QKeySequence sequence)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keySequence(target, sequence);
    }
    const FanCurve &Curve() { return window->Document().Curve(); }

    QTemporaryDir dir;
};
} // namespace

TEST_F(SafetyTest, TheTitleMarksUnsavedChangesUntilTheyAreSaved)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface"));
    EXPECT_FALSE(window->isWindowModified());
    TypeAndLeave(1053, QStringLiteral("70"));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface[*]"));
    TypeAndLeave(1053, QStringLiteral("90")); // typed back to what was loaded
    EXPECT_FALSE(window->isWindowModified());

    TypeAndLeave(1009, QStringLiteral("7"));
    ui.saveNames.push_back(Path(QStringLiteral("p.dat")));
    window->OnBnClickedSaveFile();
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), QFileInfo(Path(QStringLiteral("p.dat"))).absoluteFilePath());
}

TEST_F(SafetyTest, NothingIsAskedWhileNothingIsUnsaved)
{
    const QString file = SavedProfile(QStringLiteral("a.dat"), QStringLiteral("4"));
    ui.boxes.clear();
    ui.openNames.push_back({file});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(Text(1009), QStringLiteral("4"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(Close());
    EXPECT_TRUE(ui.boxes.empty());
}

// Every way the profile shown could be replaced or dropped asks first, and each answer does what
// it says.
TEST_F(SafetyTest, SaveDiscardOrCancelBeforeUnsavedWorkGoes)
{
    const QString file = SavedProfile(QStringLiteral("other.dat"), QStringLiteral("8"));
    enum class Way { OpenFile, Drop, Close, Recent };
    for (Way way : {Way::OpenFile, Way::Drop, Way::Close, Way::Recent}) {
        for (MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::Discard, MsgAnswer::Save}) {
            window->LoadDefaultTemplate();
            TypeAndLeave(1009, QStringLiteral("33"));
            ui.boxes.clear();
            ui.answers.push_back(answer);
            const QString saved = Path(QStringLiteral("saved-%1.dat").arg(int(way)));
            QFile::remove(saved);
            if (answer == MsgAnswer::Save)
                ui.saveNames.push_back(saved);
            bool closed = false;
            switch (way) {
            case Way::OpenFile:
                ui.openNames.push_back({file});
                window->OnBnClickedOpenFile();
                break;
            case Way::Drop: Drop(file); break;
            case Way::Close: closed = Close(); break;
            case Way::Recent: window->OpenFile(file); break;
            }
            ASSERT_FALSE(ui.boxes.empty());
            EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::SaveDiscardCancel);
            EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Unsaved changes"));
            const bool goesOn = answer != MsgAnswer::Cancel;
            if (way == Way::Close)
                EXPECT_EQ(closed, goesOn) << int(answer);
            else
                EXPECT_EQ(Text(1009), goesOn ? QStringLiteral("8") : QStringLiteral("33")) << int(way) << int(answer);
            EXPECT_EQ(QFileInfo::exists(saved), answer == MsgAnswer::Save) << int(way);
            ui.openNames.clear();
            ui.saveNames.clear();
            window->show();
        }
    }
    // Save that is then cancelled in the file dialog keeps everything too.
    window->LoadDefaultTemplate();
    TypeAndLeave(1009, QStringLiteral("34"));
    ui.answers.push_back(MsgAnswer::Save); // and no file name: the dialog cancelled
    ui.openNames.push_back({file});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(Text(1009), QStringLiteral("34"));
}

TEST_F(SafetyTest, UndoBringsBackTheFieldsAndTheCurveTogether)
{
    const FanCurve before = Curve();
    TypeAndLeave(1053, QStringLiteral("70")); // each keystroke and the leaving: one step
    ASSERT_NE(Curve(), before);
    EXPECT_EQ(window->Undo().UndoAction()->text(), QStringLiteral("Undo Fan Speed Top Band"));
    EXPECT_EQ(window->Undo().Stack().count(), 1);

    // Ctrl+Z in a text field is the profile's undo, not the field's own.
    Edit(1008)->setFocus();
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(Text(1053), QStringLiteral("90"));
    EXPECT_EQ(Curve(), before);
    EXPECT_EQ(window->Plot().CurveLine()[171].y(), 72); // the chart shows it too
    EXPECT_FALSE(window->isWindowModified());

    Keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(Text(1053), QStringLiteral("70"));
    EXPECT_EQ(Curve().curveFan[201], 70);
    EXPECT_EQ(window->Undo().RedoAction()->isEnabled(), false);

    // The undo entries are in the window's context menu, named after the change.
    QList<QAction *> menu = window->ContextMenuActions();
    EXPECT_TRUE(std::find(menu.begin(), menu.end(), window->Undo().UndoAction()) != menu.end());
}

TEST_F(SafetyTest, UndoTakesBackWholeReplacements)
{
    const QString file = SavedProfile(QStringLiteral("v.dat"), QStringLiteral("12"));
    TypeAndLeave(1056, QStringLiteral("40"));
    const ProfileState edited = window->Document().State();

    ui.answers.push_back(MsgAnswer::Discard);
    ui.openNames.push_back({file});
    window->OnBnClickedOpenFile();
    ASSERT_EQ(Text(1009), QStringLiteral("12"));
    EXPECT_EQ(window->Undo().UndoAction()->text(), QStringLiteral("Undo Open File"));
    window->Undo().Undo();
    EXPECT_EQ(window->Document().State(), edited);
    EXPECT_EQ(Text(1056), QStringLiteral("40"));
    EXPECT_TRUE(window->isWindowModified()); // the file is what was last loaded
    window->Undo().Redo();
    EXPECT_EQ(Text(1009), QStringLiteral("12"));
    EXPECT_FALSE(window->isWindowModified());

    ui.answers.push_back(MsgAnswer::Yes);
    window->OnBnClickedLoadDefault();
    EXPECT_EQ(Text(1009), QStringLiteral("1"));
    window->Undo().Undo();
    EXPECT_EQ(Text(1009), QStringLiteral("12"));
    // A refused band entry falls back to the band of the profile undo brought back.
    TypeAndLeave(1056, QStringLiteral("0"));
    EXPECT_EQ(Text(1056), window->Document().Text(ProfileField::TopBand));
}

TEST_F(SafetyTest, UndoOfCurvePointsAndClearPlot)
{
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    window->Multipoint().AddCurvePoint({0, 100, 50});
    {
        // Added as the chart's timer adds a double-click: one step.
        const ProfileDocument::Edit edit(window->Document(), QStringLiteral("Add Point"));
        window->Multipoint().AddCurvePoint({0, 180, 80});
    }
    const FanCurve twoPoints = Curve();
    ui.linkerResults.push_back(PointLinkerChoice::Clear);
    window->Multipoint().RunPointLinker();
    EXPECT_EQ(Curve().DefinedPointCount(), 0);
    window->Undo().Undo();
    EXPECT_EQ(Curve(), twoPoints);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 2"));
    // Undo all the way: band mode again, as the template left it.
    while (window->Undo().Stack().canUndo())
        window->Undo().Undo();
    EXPECT_FALSE(Check(1031)->isChecked());
    EXPECT_TRUE(Enabled(1056));
    EXPECT_EQ(window->Plot().Background(), CFanCurvePlot::bandModeBackground);
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{41, 0}, {41, 30}, {101, 30}}));
}

TEST_F(SafetyTest, RecentFilesAndFilesDroppedOpenLikeOpenFile)
{
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << SavedProfile(QStringLiteral("r%1.dat").arg(i), QString::number(i + 1));
    QMenu *recent = nullptr;
    for (QAction *action : window->ContextMenuActions()) {
        if (action->menu() && action->text() == QStringLiteral("Open Recent"))
            recent = action->menu();
    }
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 8); // the latest eight, the latest first
    EXPECT_TRUE(recent->actions()[0]->text().endsWith(QFileInfo(files[9]).absoluteFilePath()));
    recent->actions()[7]->trigger();
    EXPECT_EQ(Text(1009), QStringLiteral("3"));
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(QFileInfo(files[2]).absoluteFilePath()));

    Drop(files[5]);
    EXPECT_EQ(Text(1009), QStringLiteral("6"));
    // The checks of Open File hold for a dropped file: one too large is refused.
    QFile big(Path(QStringLiteral("big.dat")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(513, '\1'));
    big.close();
    ui.boxes.clear();
    Drop(big.fileName());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Wrong type of file opened!, file larger than expected."));
    EXPECT_EQ(Text(1009), QStringLiteral("6"));
}

TEST_F(SafetyTest, ADownloadFromTheJournalOpensAsTheProfile)
{
    DownloadJournal journal(window->StateFolderPath() + QStringLiteral("/journal"));
    ProfileDocument sent;
    sent.LoadDefaultTemplate();
    sent.SetText(ProfileField::VersionNumber, QStringLiteral("77"));
    JournalEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    entry.port = QStringLiteral("/dev/serial/by-id/usb-X");
    entry.image = sent.BuildImage();
    entry.result = QStringLiteral("verified");
    entry.verified = true;
    ASSERT_EQ(journal.Record(entry), QString());

    ui.journalChoices.push_back(0);
    window->ShowDownloadHistory();
    ASSERT_EQ(ui.journalsShown.size(), 1u);
    ASSERT_EQ(ui.journalsShown[0].size(), 1u);
    EXPECT_EQ(ui.journalsShown[0][0].port, entry.port);
    EXPECT_EQ(Text(1009), QStringLiteral("77"));
    window->Undo().Undo(); // opened from the journal: one step back
    EXPECT_EQ(Text(1009), QStringLiteral("1"));
}

// Enter on the question about a curve that stops the fan when hot must not send it.
TEST_F(SafetyTest, TheHotStopQuestionDefaultsToNo)
{
    QtModalUi real;
    bool defaultIsNo = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
    });
    const MsgAnswer answer =
        real.MessageBox(window.get(), QStringLiteral("The fan stops above 40 °C."),
                        QStringLiteral("Fan stops when hot"), MsgIcon::Warning, MsgButtons::YesNoDefaultNo);
    EXPECT_TRUE(defaultIsNo);
    EXPECT_EQ(answer, MsgAnswer::No);
}

TEST_F(SafetyTest, ARecoveryCopyIsOfferedAndCanBeDeclined)
{
    window->StartRecovery();
    RecoveryCopy probe(window->Document(), window->StateFolderPath());
    TypeAndLeave(1008, QStringLiteral("4711"));
    for (int i = 0; i < 200 && !QFileInfo::exists(probe.Path()); ++i)
        QTest::qWait(20);
    ASSERT_TRUE(QFileInfo::exists(probe.Path()));

    // Another run (this one never ended cleanly): asked, answered No, the copy goes.
    CPlexaDlg next;
    ASSERT_TRUE(Start(next, ownLock + QStringLiteral("-next")));
    ui.boxes.clear();
    ui.answers.push_back(MsgAnswer::No);
    next.StartRecovery();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Restore unsaved profile"));
    EXPECT_EQ(qobject_cast<QLineEdit *>(next.Control(1008))->text(), QStringLiteral("00001"));
    EXPECT_FALSE(QFileInfo::exists(probe.Path()));

    // A clean close leaves nothing behind.
    TypeAndLeave(1008, QStringLiteral("4712"));
    for (int i = 0; i < 200 && !QFileInfo::exists(probe.Path()); ++i)
        QTest::qWait(20);
    ui.answers.push_back(MsgAnswer::Discard);
    EXPECT_TRUE(Close());
    EXPECT_FALSE(QFileInfo::exists(probe.Path()));
}

// Killed outright with unsaved changes: the next start offers them back.
TEST_F(SafetyTest, AfterAKillTheNextStartRestoresTheUnsavedProfile)
{
    const QString state = dir.filePath(QStringLiteral("state"));
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    holder.setProcessEnvironment(env);
    holder.start(
        QStringLiteral(ORVEX_WINDOW_HOLDER),
        {ownLock + QStringLiteral("-held"), dir.filePath(QStringLiteral("held.ini")), state, QStringLiteral("4242")});
    QString said;
    while (!said.contains(QStringLiteral("edited")) && holder.waitForReadyRead(20000))
        said += QString::fromLatin1(holder.readAll());
    ASSERT_TRUE(said.contains(QStringLiteral("edited"))) << said.toStdString();
    const QString copy = state + QStringLiteral("/recovery.json");
    for (int i = 0; i < 300 && !QFileInfo::exists(copy); ++i)
        QTest::qWait(20);
    ASSERT_TRUE(QFileInfo::exists(copy));
    holder.kill(); // SIGKILL: nothing of the window's own ending runs
    ASSERT_TRUE(holder.waitForFinished(10000));

    CPlexaDlg next;
    next.SetStateFolder(state);
    ASSERT_TRUE(Start(next, ownLock + QStringLiteral("-after")));
    next.SetStateFolder(state);
    ui.boxes.clear();
    ui.answers.push_back(MsgAnswer::Yes);
    next.StartRecovery();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("last changed"))) << ui.boxes[0].text.toStdString();
    EXPECT_EQ(qobject_cast<QLineEdit *>(next.Control(1008))->text(), QStringLiteral("4242"));
    EXPECT_TRUE(next.isWindowModified());
    EXPECT_TRUE(QFileInfo::exists(copy)); // still unsaved, so still kept
}

// Random sequences of edits (accepted or refused), undos and redos over many profiles: whatever the
// window shows when saved is what the saved file shows again, fields, multipoint and curve.
TEST_F(SafetyTest, WhatIsSavedIsWhatTheWindowShowedAfterAnyEditsUndosAndRedos)
{
    const std::vector<int> edits{1008, 1009, 1053, 1054, 1055, 1056};
    const std::vector<int> lists{1022, 1025, 1014, 1039, 1024, 1018, 1013, 1015, 1017};
    // In multipoint mode the band and shut-off fields rest: a multipoint profile opens with them
    // "N/A", so they and their bytes are left out of the comparison.
    auto shown = [this, &edits, &lists] {
        QStringList texts;
        for (int id : edits)
            texts << Text(id);
        for (int id : lists)
            texts << Text(id);
        const bool resting = Check(1031)->isChecked();
        if (resting) {
            for (int i : {2, 3, 4, 5, 12})
                texts[i] = QStringLiteral("(resting)");
        }
        texts << (resting ? QStringLiteral("multipoint") : QStringLiteral("bands"));
        return texts;
    };
    auto image = [this] {
        ProfileImage built = window->BuildProfileImage();
        if (Check(1031)->isChecked()) {
            for (int offset : {266, 267, 274, 275, 277})
                built[offset] = 0;
        }
        return built;
    };
    int saves = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto pick = [&random](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
        window->LoadDefaultTemplate();
        for (int step = 0; step < 14; ++step) {
            switch (pick(7)) {
            case 0:
            case 1: TypeAndLeave(edits[pick(int(edits.size()))], QString::number(pick(140) - 10)); break;
            case 2: {
                QComboBox *combo = Combo(lists[pick(int(lists.size()))]);
                if (!combo->isEnabled() || combo->count() == 0)
                    break;
                const int index = pick(combo->count());
                combo->setCurrentIndex(index);
                emit combo->activated(index);
                break;
            }
            case 3: {
                if (!Check(1031)->isChecked())
                    QTest::mouseClick(Check(1031), Qt::LeftButton);
                const ProfileDocument::Edit edit(window->Document(), QStringLiteral("Add Point"));
                window->Multipoint().AddCurvePoint({0, double(pick(255)), double(pick(101))});
                break;
            }
            case 4: window->Undo().Undo(); break;
            case 5: window->Undo().Redo(); break;
            case 6:
                if (Check(1031)->isChecked() && pick(2) == 0)
                    QTest::mouseClick(Check(1031), Qt::LeftButton);
                else
                    window->Undo().Undo();
                break;
            }
        }
        window->CommitPendingEntry();
        // Enabling the tacho alarm leaves the speed cap for the user to choose: chosen here, as an
        // unchosen cap is written with its flag set and opens as "N/A".
        if (Text(1014).isEmpty()) {
            Combo(1014)->setCurrentIndex(1);
            emit Combo(1014)->activated(1);
        }
        const QStringList before = shown();
        const ProfileImage imageBefore = image();
        const QString path = Path(QStringLiteral("p%1.dat").arg(seed));
        ui.saveNames.assign({path});
        ui.answers.assign({MsgAnswer::Yes}); // a curve that stops the fan when hot is saved all the same
        window->OnBnClickedSaveFile();
        ui.answers.clear();
        if (!QFile::exists(path))
            continue; // refused as it stands, with its box: nothing was saved to compare // refused as it stands, with
                      // its box: nothing was saved to compare
        ++saves;
        window->LoadDefaultTemplate();
        window->OpenFile(path);
        EXPECT_EQ(shown(), before);
        EXPECT_EQ(image(), imageBefore);

        EXPECT_FALSE(window->isWindowModified());
    }
    // Most sequences end in a profile that can be saved; a run that saved none proved nothing.
    EXPECT_GE(saves, 30);
}
