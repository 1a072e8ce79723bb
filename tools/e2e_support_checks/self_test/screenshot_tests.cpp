#include "sample_fixture.hpp"

#include <filesystem>
#include <fstream>
#include <set>

namespace e2e_test {
namespace {

struct Bmp {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::vector<unsigned char> image;
    std::uintmax_t size = 0;
};

Bmp ReadBmp(const std::filesystem::path& path) {
    Bmp bmp;
    bmp.size = std::filesystem::file_size(path);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(&bmp.file), sizeof bmp.file);
    in.read(reinterpret_cast<char*>(&bmp.info), sizeof bmp.info);
    bmp.image.assign(std::istreambuf_iterator<char>(in), {});
    return bmp;
}

std::filesystem::path TempFolder(const char* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    auto folder = std::filesystem::path(temp) / name;
    std::filesystem::remove_all(folder);
    return folder;
}

std::string OwnExePath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return e2e::Narrow(path);
}

// Runs this test exe again on one of the child tests below, with the artifacts folder set.
e2e::CapturedRun RunChild(const char* test, const std::filesystem::path& artifacts) {
    SetEnvironmentVariableW(L"PX_E2E_ARTIFACTS", artifacts.wstring().c_str());
    auto run = e2e::RunAndCapture("\"" + OwnExePath() + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test, 60s);
    SetEnvironmentVariableW(L"PX_E2E_ARTIFACTS", nullptr);
    return run;
}

using ScreenshotTest = SampleApp;  // the sample window gives the screen something to show

std::uintmax_t Stride(int width) { return (static_cast<std::uintmax_t>(width) * 3 + 3) & ~std::uintmax_t{3}; }

std::size_t ColoursWithin(const Bmp& bmp, const RECT& area) {
    const std::uintmax_t stride = Stride(bmp.info.biWidth);
    std::set<std::uint32_t> colours;
    for (int y = area.top; y < area.bottom; y += 3) {
        for (int x = area.left; x < area.right; x += 3) {
            const std::size_t at = static_cast<std::size_t>(bmp.info.biHeight - 1 - y) * stride + static_cast<std::size_t>(x) * 3;
            if (at + 2 < bmp.image.size()) colours.insert(bmp.image[at] | bmp.image[at + 1] << 8 | bmp.image[at + 2] << 16);
        }
    }
    return colours.size();
}

TEST_F(ScreenshotTest, SavesTheWholeScreenAsA24BitBmp) {
    const auto file = TempFolder("e2e-shot") / "screen.bmp";
    RECT client{};
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // The window manager maps the window after the program goes idle, and Wine paints it on
    // the expose that follows: until then the screen shows nothing of it.
    Bmp bmp;
    const bool showsWindow = e2e::WaitFor([&] {
        if (!e2e::SaveScreenshot(file)) return false;
        bmp = ReadBmp(file);
        return ColoursWithin(bmp, client) >= 3;
    }, 5s);
    EXPECT_TRUE(showsWindow) << "the sample window's area is nearly one flat colour";

    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    EXPECT_EQ(bmp.file.bfType, 0x4D42);
    EXPECT_EQ(bmp.file.bfOffBits, 54u);
    EXPECT_EQ(bmp.file.bfSize, bmp.size);
    EXPECT_EQ(bmp.info.biWidth, width);
    EXPECT_EQ(bmp.info.biHeight, height);
    EXPECT_EQ(bmp.info.biBitCount, 24);
    EXPECT_EQ(bmp.size, 54 + Stride(width) * height);
}

TEST(ScreenshotOnFailureTest, FailedTestLeavesAScreenshotNamedAfterIt) {
    const auto artifacts = TempFolder("e2e-artifacts-failing");
    const auto run = RunChild("ScreenshotOnFailureChild.DISABLED_FailsOnPurpose", artifacts);
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(1)) << run.output;
    const auto file = artifacts / "ScreenshotOnFailureChild.DISABLED_FailsOnPurpose.bmp";
    ASSERT_TRUE(std::filesystem::exists(file)) << run.output;
    EXPECT_EQ(ReadBmp(file).info.biWidth, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_NE(run.output.find("screenshot: "), std::string::npos) << run.output;
}

TEST(ScreenshotOnFailureTest, PassedTestLeavesNone) {
    const auto artifacts = TempFolder("e2e-artifacts-passing");
    const auto run = RunChild("ScreenshotOnFailureChild.DISABLED_PassesOnPurpose", artifacts);
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(0)) << run.output;
    EXPECT_FALSE(std::filesystem::exists(artifacts)) << run.output;
}

// Parameterised names hold '/', which no file name can.
class ScreenshotNameTest : public ::testing::TestWithParam<int> {};

TEST_P(ScreenshotNameTest, SlashesBecomeUnderscores) {
    const auto name = e2e::ScreenshotFileFor(*::testing::UnitTest::GetInstance()->current_test_info());
    EXPECT_EQ(name.filename().string(), "Named_ScreenshotNameTest.SlashesBecomeUnderscores_0.bmp");
}
INSTANTIATE_TEST_SUITE_P(Named, ScreenshotNameTest, ::testing::Values(1));

// Run only by the tests above, in a child process (CTest filters them out).
TEST(ScreenshotOnFailureChild, DISABLED_FailsOnPurpose) { FAIL() << "failing on purpose for the screenshot test"; }
TEST(ScreenshotOnFailureChild, DISABLED_PassesOnPurpose) { SUCCEED(); }

}  // namespace
}  // namespace e2e_test
