// Tests of the single-instance rule with two processes.
#include "ForeignTemporaryFolder.h"
#include "LockHolderProcess.h"
#include "WindowFixture.h"

#include <QProcess>

TEST_F(WindowTest, ASecondCopySaysSoAndClosesWhileTheFirstRunsOn)
{
    LockHolderProcess first;
    ASSERT_EQ(first.reply, QStringLiteral("held"));

    CPlexaDlg second;
    second.show();
    EXPECT_FALSE(Start(second, first.name));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("An Instance of this application is already running..."));
    EXPECT_EQ(ui.boxes[0].caption, QString());
    EXPECT_FALSE(ui.boxes[0].owned);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(second.isVisible());

    // A copy killed outright leaves nothing that blocks the next start.
    first.KillHard();
    CPlexaDlg third;
    EXPECT_TRUE(Start(third, first.name));
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(WindowTest, ALockThatCannotBeMadeDoesNotKeepTheWindowFromStarting)
{
    CPlexaDlg only;
    EXPECT_TRUE(Start(only, QStringLiteral("no-such-folder/") + ownLock));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, ASecondCopyCallsTheFirstToTheFront)
{
    const QString lock = ownLock + QStringLiteral("-first");
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(ORVEX_WINDOW_HOLDER), {lock, settingsDir.filePath(QStringLiteral("first.ini"))});
    ASSERT_TRUE(first.waitForReadyRead(20000));
    ASSERT_EQ(QString::fromLatin1(first.readLine()).trimmed(), QStringLiteral("ready"));

    CPlexaDlg second;
    EXPECT_FALSE(Start(second, lock));
    ASSERT_EQ(ui.boxes.size(), 1u); // the message still comes first
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("An Instance of this application is already running..."));
    ASSERT_TRUE(first.waitForReadyRead(10000));
    EXPECT_EQ(QString::fromLatin1(first.readLine()).trimmed(), QStringLiteral("forward"));
    first.kill();
    first.waitForFinished(10000);

    // The first copy gone (even killed outright), the next one runs and listens in its turn.
    CPlexaDlg third;
    EXPECT_TRUE(Start(third, lock));
    CPlexaDlg fourth;
    EXPECT_FALSE(Start(fourth, lock));
    for (int i = 0; i < 100 && third.TimesCalledForward() == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(third.TimesCalledForward(), 1);
}

namespace {
QStringList warnings;
void KeepWarning(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << text;
}
} // namespace

// Another user who made our lock file in the shared temporary folder cannot keep the window shut.
TEST_F(WindowTest, ALockFileOfAnotherUserNeverKeepsTheWindowFromStarting)
{
    ForeignTemporaryFolder shared;
    if (!shared.Ready())
        GTEST_SKIP() << "needs root to make files of another user";
    const QString name = ownLock + QStringLiteral("-shared");
    ASSERT_TRUE(shared.HoldForeignLock(name + QStringLiteral(".lock")));
    ASSERT_TRUE(shared.HoldForeignLock(name + QStringLiteral("-%1.lock").arg(::geteuid())));

    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(KeepWarning);
    CPlexaDlg started;
    const bool runs = Start(started, name);
    qInstallMessageHandler(before);
    EXPECT_TRUE(runs);
    EXPECT_TRUE(ui.boxes.empty());
    // Why it runs unguarded goes to stderr.
    const QStringList said = warnings.filter(QStringLiteral("single-instance lock"));
    ASSERT_EQ(said.size(), 1) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(said[0].contains(shared.Path())) << said[0].toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("another user"))) << said[0].toStdString();
}
