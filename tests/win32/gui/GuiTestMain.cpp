// The windows' tests run as the program runs: common controls and OLE set up
// for the thread, the exe's own resources (icon, manifest, pictures) in it.
#include <gtest/gtest.h>

#include "win32/Program.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const win32::ProgramSetup setup;
    return RUN_ALL_TESTS();
}
