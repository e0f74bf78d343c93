// Test programs run on a real QApplication (offscreen unless told otherwise).

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    // Qt keeps its own settings (the file dialog's) under the first
    // $XDG_CONFIG_HOME it sees, which a test removes at its end: they go to
    // a folder of this run instead.
    QTemporaryDir reglagesQt;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglagesQt.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
