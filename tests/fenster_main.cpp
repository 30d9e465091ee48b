// Runs the window tests on Qt's offscreen platform: they need no display and open
// no window on one, however ctest is started.
#include "app/schriften.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    bogenkette::schriftenEinrichten();
    return RUN_ALL_TESTS();
}
