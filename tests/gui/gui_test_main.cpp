// Entry point of the widget tests: one QApplication for all of them.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    // Tests need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
