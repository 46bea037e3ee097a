// Runs GoogleTest inside a GUI application (offscreen), so fonts, images and paint devices
// work, with the default locale fixed to English (Australia): day first, "/" between.
#include <QGuiApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // also when CTest lists the tests
    QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia));
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
