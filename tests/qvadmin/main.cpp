#include <QGuiApplication>
#include <gtest/gtest.h>

// Invoice documents are laid out with Qt's text engine, which needs a GUI
// application, as the tool itself makes one; no display is needed.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
