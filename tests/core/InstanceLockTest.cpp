// Tests of the single-instance lock.
#include "InstanceLock.h"
#include "LockHolderProcess.h"

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
