#include "ui/GuardedApplication.h"

#include <gtest/gtest.h>

// The lost-server tests drive the real main window and wait for the program's
// own reconnecting timer, which needs the program's application object.
int main(int argc, char **argv)
{
    quorvale::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
