// Entry point of the rules tests. The process takes its locale from the
// environment, like the program does for its user, so the same tests run
// once under "C" and once under a locale whose decimal point is ",".

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "TestLocale.h"

int main(int argc, char** argv) {
    if (!testlocale::TakeFromEnvironment()) return 1;
    // The locale run names the decimal point it expects: the process must
    // really be under that locale, or the run proves nothing.
    const char* expected = std::getenv("OMBREL_EXPECT_DECIMAL_POINT");
    const std::string point = testlocale::DecimalPoint();
    if (expected != nullptr && point != expected) {
        std::fprintf(stderr, "FATAL: expected the decimal point \"%s\" under \"%s\", the process has \"%s\"\n",
                     expected, std::setlocale(LC_ALL, nullptr), point.c_str());
        return 1;
    }
    std::printf("Running under the locale \"%s\" (decimal point \"%s\")\n", std::setlocale(LC_ALL, nullptr),
                point.c_str());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
