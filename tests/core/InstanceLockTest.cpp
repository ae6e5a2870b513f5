// Tests of the single-instance lock.
#include "InstanceLock.h"
#include "ForeignTemporaryFolder.h"
#include "LockHolderProcess.h"

#include <QFileInfo>

#include <gtest/gtest.h>

TEST(InstanceLock, AnotherProcessHoldingTheNameRefusesUsUntilItIsKilled)
{
    LockHolderProcess other;
    ASSERT_EQ(other.reply, QStringLiteral("held"));

    {
        InstanceLock second(other.name);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_FALSE(second.IsHeld());
        EXPECT_TRUE(second.Trouble().isEmpty()); // busy, not broken
    }

    // kill -9 leaves the lock file behind; the kernel has dropped the lock all the same.
    other.KillHard();
    InstanceLock after(other.name);
    EXPECT_TRUE(after.TryAcquire());
}

TEST(InstanceLock, ReleasedWhenTheHolderGoesAndHeldAgainstASecondHandleInTheSameProcess)
{
    const QString name = QStringLiteral("orvex-test-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        InstanceLock first(name);
        ASSERT_TRUE(first.TryAcquire());
        InstanceLock second(name);
        EXPECT_FALSE(second.TryAcquire());
    }
    InstanceLock again(name);
    EXPECT_TRUE(again.TryAcquire());
}

TEST(InstanceLock, ALockThatCannotBeMadeSaysWhyRatherThanLookingBusy)
{
    InstanceLock lock(QStringLiteral("no-such-folder-") + QUuid::createUuid().toString(QUuid::Id128) +
                      QStringLiteral("/orvex"));
    EXPECT_FALSE(lock.TryAcquire());
    EXPECT_FALSE(lock.Trouble().isEmpty());
}

// Without a runtime folder the lock lives in the temporary folder, where any user may make files:
// none of theirs is ever taken for a running copy of ours.
TEST(InstanceLock, InTheSharedTemporaryFolderOnlyTheUsersOwnFileCounts)
{
    ForeignTemporaryFolder shared;
    if (!shared.Ready())
        GTEST_SKIP() << "needs root to make files of another user";
    const QString name = QStringLiteral("orvex-test-") + QUuid::createUuid().toString(QUuid::Id128);
    const QString ownName = name + QStringLiteral("-%1.lock").arg(::geteuid());

    // Another user holds the plain name: ours is not theirs.
    ASSERT_TRUE(shared.HoldForeignLock(name + QStringLiteral(".lock")));
    {
        InstanceLock lock(name);
        EXPECT_EQ(lock.Path(), shared.Path() + QLatin1Char('/') + ownName);
        EXPECT_TRUE(lock.TryAcquire()) << lock.Trouble().toStdString();
        InstanceLock second(name);
        EXPECT_FALSE(second.TryAcquire()); // our own copies still find each other
        EXPECT_TRUE(second.Trouble().isEmpty());
    }

    // They made our name first: trouble, which lets the window start, never "already running".
    ASSERT_TRUE(shared.HoldForeignLock(ownName));
    InstanceLock taken(name);
    EXPECT_FALSE(taken.TryAcquire());
    EXPECT_TRUE(taken.Trouble().contains(QStringLiteral("another user (uid 4242)"))) << taken.Trouble().toStdString();

    // A link in our name leads nowhere: nothing is made or locked at its end.
    const QString other = name + QStringLiteral("-link");
    const QString aimed = shared.Path() + QStringLiteral("/aimed");
    ASSERT_TRUE(
        QFile::link(aimed, shared.Path() + QLatin1Char('/') + other + QStringLiteral("-%1.lock").arg(::geteuid())));
    InstanceLock linked(other);
    EXPECT_FALSE(linked.TryAcquire());
    EXPECT_FALSE(linked.Trouble().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(aimed));
}
