// The main of the Qt test programs: the tests under a QApplication without a
// display. The application takes the C library's locale from the environment,
// as the program does; a run that names the decimal point it expects
// (OMBREL_EXPECT_DECIMAL_POINT) fails at once when the locale did not take.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "QtTestApp.h"

int main(int argc, char** argv) {
    qttest::UseOffscreenPlatform();
    QApplication app(argc, argv);
    const char* expected = std::getenv("OMBREL_EXPECT_DECIMAL_POINT");
    const char* point = std::localeconv()->decimal_point;
    if (expected != nullptr && std::string(point) != expected) {
        std::fprintf(stderr, "FATAL: expected the decimal point \"%s\", the process has \"%s\" under \"%s\"\n",
                     expected, point, std::setlocale(LC_ALL, nullptr));
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
