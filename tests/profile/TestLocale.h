#pragma once
// The test programs take their locale from the environment (LC_ALL, LANG), as
// the program does for its user, so that the same tests run once under "C" and
// once under a German locale: numbers and the reasons of file failures must not
// change with it. A locale that the environment names but the system lacks is
// an error, never a silent fall-back to "C".

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <locale>

namespace testlocale {

// Sets the process's locale from the environment. False, with the reason on
// standard error, when that locale is not installed.
inline bool TakeFromEnvironment() {
    const char* wanted = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "FATAL: the locale \"%s\" named by the environment is not installed "
                             "(generate it with locale-gen; `make deps` does)\n",
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
    return true;
}

// A run under a foreign locale sets OMBREL_EXPECT_FOREIGN_MESSAGES: the system's
// own messages must then really be in another language than English, or the
// run proves nothing about the reasons staying English. False, with the reason
// on standard error, when they are not.
inline bool MessagesAsExpected(const char* englishNotFound) {
    if (std::getenv("OMBREL_EXPECT_FOREIGN_MESSAGES") == nullptr) return true;
    if (std::strcmp(std::strerror(ENOENT), englishNotFound) != 0) return true;
    std::fprintf(stderr, "FATAL: under \"%s\" the system's messages are still English (\"%s\"); install the "
                         "translations of the C library's messages\n",
                 std::setlocale(LC_ALL, nullptr), englishNotFound);
    return false;
}

}  // namespace testlocale
