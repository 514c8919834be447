// The main of the editor's test programs: the locale from the environment, then the tests.
#include <gtest/gtest.h>

#include "LocaleMain.h"

int main(int argc, char** argv) {
    if (!editortest::TakeLocaleFromEnvironment()) return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
