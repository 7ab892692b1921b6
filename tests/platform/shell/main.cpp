#include <QCoreApplication>
#include <gtest/gtest.h>

// The bus connections deliver their calls through an application's event loop.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
