// Entry point of the store's file tests: the process takes its locale from the
// environment, as the program does, so that a run under a German locale shows
// that the reasons of failures stay English.

#include <gtest/gtest.h>

#include <string>

#include "Reasons.h"
#include "TestLocale.h"

int main(int argc, char** argv) {
    if (!testlocale::TakeFromEnvironment()) return 1;
    if (!testlocale::MessagesAsExpected(std::string(reasons::kFileNotFound).c_str())) return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
