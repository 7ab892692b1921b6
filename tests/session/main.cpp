#include <QCoreApplication>
#include <gtest/gtest.h>

// The session's timer and signals belong to an application, as in the program;
// no display is needed.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
