// Entry point of the rules tests. The process takes its locale from the
// environment (LC_ALL, LANG), like the program does for its user, so the
// same tests run once under "C" and once under a locale whose decimal point
// is ",".

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <string>

#include "TestLocale.h"

int main(int argc, char** argv) {
    if (!testlocale::TakeFromEnvironment()) return 1;
    // The locale run names the decimal point it expects: the process must
    // really be under that locale, or the run proves nothing.
    const char* expected = std::getenv("OMBREL_EXPECT_DECIMAL_POINT");
    const char decimalPoint = std::use_facet<std::numpunct<char>>(std::locale()).decimal_point();
    if (expected != nullptr &&
        (std::string(std::localeconv()->decimal_point) != expected || std::string(1, decimalPoint) != expected)) {
        std::fprintf(stderr, "FATAL: expected the decimal point \"%s\" under \"%s\", the process has \"%s\"\n",
                     expected, std::setlocale(LC_ALL, nullptr), std::localeconv()->decimal_point);
        return 1;
    }
    std::printf("Running under the locale \"%s\" (decimal point \"%s\")\n", std::setlocale(LC_ALL, nullptr),
                std::localeconv()->decimal_point);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
