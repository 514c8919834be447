#pragma once
// The test programs take their locale from the environment (LC_ALL, LANG), as
// the program does for its user, so that the same tests run once under "C" and
// once under a German locale: numbers and the reasons of file failures must not
// change with it. A locale that the environment names but the system lacks is
// an error, never a silent fall-back to "C".
//
// On Windows the C++ library of mingw-w64 knows no locale by name but "C", so
// there the C library's locale is set (the one printf and strtod follow): the
// one that OMBREL_WINDOWS_LOCALE names ("German_Germany.1252", whose decimal
// point is ","), or else the user's own.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <locale>
#include <string>

#ifdef _WIN32
#include "Reasons.h"
#endif

namespace testlocale {

// The name of the locale the environment asks for, for messages.
inline const char* Wanted() {
#ifdef _WIN32
    const char* wanted = std::getenv("OMBREL_WINDOWS_LOCALE");
    return wanted ? wanted : "(the user's)";
#else
    const char* wanted = std::getenv("LC_ALL");
    return wanted ? wanted : "(LANG)";
#endif
}

// Sets the process's locale from the environment. False, with the reason on
// standard error, when that locale is not installed.
inline bool TakeFromEnvironment() {
#ifdef _WIN32
    const char* windows = std::getenv("OMBREL_WINDOWS_LOCALE");
    if (std::setlocale(LC_ALL, windows ? windows : "") == nullptr) {
        std::fprintf(stderr, "FATAL: the C library knows no locale \"%s\"\n", Wanted());
        return false;
    }
#else
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "FATAL: the locale \"%s\" named by the environment is not installed "
                             "(generate it with locale-gen; `make deps` does)\n",
                     Wanted());
        return false;
    }
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "FATAL: std::locale(\"\") failed for \"%s\": %s\n", Wanted(), e.what());
        return false;
    }
#endif
    return true;
}

// The decimal point the process now has. On POSIX systems the C and the C++
// locale must agree on it, or the run would prove nothing about either.
inline std::string DecimalPoint() {
    const std::string c = std::localeconv()->decimal_point;
#ifndef _WIN32
    const std::string cpp(1, std::use_facet<std::numpunct<char>>(std::locale()).decimal_point());
    if (cpp != c) return c + " (C) and " + cpp + " (C++)";
#endif
    return c;
}

// A run under a foreign locale sets OMBREL_EXPECT_FOREIGN_MESSAGES: the system's
// own messages must then really be in another language than English, or the
// run proves nothing about the reasons staying English. False, with the reason
// on standard error, when they are not.
inline bool MessagesAsExpected(const char* englishNotFound) {
    if (std::getenv("OMBREL_EXPECT_FOREIGN_MESSAGES") == nullptr) return true;
#ifdef _WIN32
    // The C library's strerror is English on every Windows; the system's own
    // messages are in the user's language.
    const std::string own = reasons::SystemText(2 /* ERROR_FILE_NOT_FOUND */, 0);
#else
    const std::string own = std::strerror(ENOENT);
#endif
    if (own != englishNotFound) return true;
    std::fprintf(stderr, "FATAL: under \"%s\" the system's messages are still English (\"%s\"); install the "
                         "translations of the system's messages\n",
                 std::setlocale(LC_ALL, nullptr), englishNotFound);
    return false;
}

}  // namespace testlocale
