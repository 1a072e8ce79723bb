// A picture of the screen when a test fails, so the failure can be seen, not just read.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

namespace e2e {

// The whole virtual screen as a 24-bit bottom-up BMP. False when nothing could be captured or written.
bool SaveScreenshot(const std::filesystem::path& file);

// PX_E2E_ARTIFACTS (host paths accepted, see ToWindowsPath), else .\e2e-artifacts.
std::filesystem::path ArtifactsFolder();
// "Suite.Name.bmp" with characters a file name cannot hold replaced by '_'.
std::filesystem::path ScreenshotFileFor(const testing::TestInfo& test);

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
public:
    void OnTestEnd(const testing::TestInfo& test) override;
};

// Call once in main after InitGoogleTest; e2e_main does it for you.
void InstallScreenshotOnFailure();

}  // namespace e2e
