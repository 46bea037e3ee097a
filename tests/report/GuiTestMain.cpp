#include <QGuiApplication>
#include <gtest/gtest.h>

// Fonts and paint devices need a GUI application. Test discovery runs the program without
// the test environment, so the offscreen platform is the default here too.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
