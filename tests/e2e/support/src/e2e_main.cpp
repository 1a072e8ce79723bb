// main for end-to-end test executables: GoogleTest plus a screenshot of every failure.
#include "e2e/screenshot.hpp"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::InstallScreenshotOnFailure();
    return RUN_ALL_TESTS();
}
