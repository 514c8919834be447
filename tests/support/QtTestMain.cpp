// The main of the Qt test programs: the tests under a QApplication without a display.
#include <gtest/gtest.h>

#include <QApplication>

#include "QtTestApp.h"

int main(int argc, char** argv) {
    qttest::UseOffscreenPlatform();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
