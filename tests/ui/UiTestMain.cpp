#include "ApplicationLook.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// One application for every window and start-up test. The tests never draw on a screen and never touch the
// user's configuration: the offscreen platform is the default, and the configuration folder is
// a temporary one.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());

    QApplication app(argc, argv);
    tallyglass::ApplyApplicationLook(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
