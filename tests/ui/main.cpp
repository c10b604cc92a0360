// Widget tests need the application object before the first widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include "support/TestEnv.h"

int main(int argc, char** argv) {
    // Test discovery runs without the test environment; never ask for a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own settings (the file dialogs' state) go to a folder of the run, fixed for the
    // whole process, which outlives the application that writes them when it ends: neither
    // the user's configuration folder nor one of a test that is gone by then.
    const testenv::TempDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.Path().string()));
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
