#include "LocaleMain.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <locale>
#include <string>

bool editortest::TakeLocaleFromEnvironment() {
#ifdef _WIN32
    // The C++ library of mingw-w64 knows no locale by name but "C": on Windows
    // the C library's locale is set, the one OMBREL_WINDOWS_LOCALE names
    // ("German_Germany.1252", decimal point ",") or else the user's own.
    const char* wanted = std::getenv("OMBREL_WINDOWS_LOCALE");
    if (std::setlocale(LC_ALL, wanted ? wanted : "") == nullptr) {
        std::fprintf(stderr, "FATAL: the C library knows no locale \"%s\"\n", wanted ? wanted : "(the user's)");
        return false;
    }
    const std::string point = std::localeconv()->decimal_point;
#else
    const char* wanted = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "FATAL: the locale \"%s\" named by the environment is not installed\n",
                     wanted ? wanted : "(LANG)");
        return false;
    }
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "FATAL: std::locale(\"\") failed for \"%s\": %s\n", wanted ? wanted : "(LANG)",
                     e.what());
        return false;
    }
    // The C and the C++ locale must agree, or the run proves nothing about either.
    std::string point = std::localeconv()->decimal_point;
    const std::string cpp(1, std::use_facet<std::numpunct<char>>(std::locale()).decimal_point());
    if (cpp != point) point += " (C) and " + cpp + " (C++)";
#endif
    const char* expected = std::getenv("OMBREL_EXPECT_DECIMAL_POINT");
    if (expected != nullptr && point != expected) {
        std::fprintf(stderr, "FATAL: expected the decimal point \"%s\" under \"%s\", the process has \"%s\"\n",
                     expected, std::setlocale(LC_ALL, nullptr), point.c_str());
        return false;
    }
    std::printf("Running under the locale \"%s\" (decimal point \"%s\")\n", std::setlocale(LC_ALL, nullptr),
                point.c_str());
    return true;
}
