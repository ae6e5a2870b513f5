// Tests of the single-instance rule with two processes.
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
