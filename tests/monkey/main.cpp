#include "ui/GuardedApplication.h"

#include <gtest/gtest.h>

// Widget tests need an application object, the program's own; CTest runs them
// on the offscreen platform.
int main(int argc, char **argv)
{
    quorvale::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
