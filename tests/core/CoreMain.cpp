// The main of the tests that need no display.
#include "../support/PrivateRuntime.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Before the application: it may look for the runtime folder as it starts.
    const PrivateRuntime runtime;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
