#include "LocaleMain.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <locale>
#include <string>

bool editortest::TakeLocaleFromEnvironment() {
    const char* wanted = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "FATAL: the locale \"%s\" named by the environment is not installed\n",
                     wanted ? wanted : "(LANG)");
        return false;
    }
#ifndef _WIN32
    // The C++ library of mingw-w64 knows only the "C" locale by name; there
    // the C library's locale is the user's.
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "FATAL: std::locale(\"\") failed for \"%s\": %s\n", wanted ? wanted : "(LANG)",
                     e.what());
        return false;
    }
#endif
    const char* expected = std::getenv("OMBREL_EXPECT_DECIMAL_POINT");
#ifndef _WIN32
    const std::string point(1, std::use_facet<std::numpunct<char>>(std::locale()).decimal_point());
#else
    const std::string point = std::localeconv()->decimal_point;
#endif
    if (expected != nullptr && (std::string(std::localeconv()->decimal_point) != expected || point != expected)) {
        std::fprintf(stderr, "FATAL: expected the decimal point \"%s\" under \"%s\", the process has \"%s\"\n",
                     expected, std::setlocale(LC_ALL, nullptr), std::localeconv()->decimal_point);
        return false;
    }
    std::printf("Running under the locale \"%s\" (decimal point \"%s\")\n", std::setlocale(LC_ALL, nullptr),
                std::localeconv()->decimal_point);
    return true;
}
