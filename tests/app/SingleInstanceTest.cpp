// Tests of the single-instance rule with two processes.
#include "LockHolderProcess.h"
#include "WindowFixture.h"

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
