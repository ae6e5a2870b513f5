// The main of the tests that need no display.
#include "../support/PrivateFolders.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Before the application: it may look for the runtime folder as it starts.
    const PrivateFolders folders;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
