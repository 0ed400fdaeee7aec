// The entry point of the GoogleTest executables: a graphical Qt application object (shown
// nowhere) before any test, as the window and tavorin-batch have one, so that the engine finds
// Qt's picture readers and font database as it does in the program.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
