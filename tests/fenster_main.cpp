// Runs the window tests on Qt's offscreen platform: they need no display and open
// no window on one, however ctest is started. Their settings file lies in a
// folder of their own.
#include "app/schriften.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window's settings file goes to a folder of the tests, never the user's.
    char konfiguration[] = "/tmp/bogenkette-fenster-konfig-XXXXXX";
    if (::mkdtemp(konfiguration))
        ::setenv("XDG_CONFIG_HOME", konfiguration, 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    bogenkette::schriftenEinrichten();
    return RUN_ALL_TESTS();
}
