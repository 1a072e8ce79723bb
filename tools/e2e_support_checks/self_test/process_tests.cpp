#include "sample_fixture.hpp"

#include <filesystem>

namespace e2e_test {
namespace {

class ProcessTest : public SampleApp {
protected:
    void SetUp() override {}  // each test starts the app its own way
};

TEST_F(ProcessTest, QuitReturnsTheExitCodeGivenOnTheCommandLine) {
    Start("--exit-code 3");
    e2e::PostButtonClick(Control(sample::cmdQuit));
    EXPECT_EQ(app_->WaitForExit(10s), std::optional<DWORD>(3));
    EXPECT_FALSE(app_->IsRunning());
}

TEST_F(ProcessTest, WaitForExitGivesNothingWhileRunning) {
    Start();
    EXPECT_EQ(app_->WaitForExit(200ms), std::nullopt);
    EXPECT_TRUE(app_->IsRunning());
}

TEST_F(ProcessTest, KillEndsTheProgramWithTheKillCode) {
    Start();
    app_->Kill();
    EXPECT_EQ(app_->WaitForExit(0ms), std::optional<DWORD>(e2e::Process::kKilledExitCode));
    EXPECT_TRUE(e2e::WaitForWindowGone(window_, 5s));
}

TEST_F(ProcessTest, ProgramStillRunningIsKilledWhenTheProcessObjectGoes) {
    Start();
    e2e::UniqueHandle watched(OpenProcess(SYNCHRONIZE, FALSE, app_->Id()));
    ASSERT_TRUE(watched);
    app_.reset();
    EXPECT_EQ(WaitForSingleObject(watched.get(), 5000), WAIT_OBJECT_0);
}

TEST_F(ProcessTest, StartsFromAPathWithBlanksInTheGivenFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / "e2e folder with blanks";
    std::filesystem::create_directories(folder);
    const std::filesystem::path copy = folder / "e2e sample app.exe";
    std::filesystem::copy_file(SampleAppPath(), copy, std::filesystem::copy_options::overwrite_existing);

    Start("", folder.string(), copy.string());
    EXPECT_TRUE(LogHas("exe " + copy.string()));
    EXPECT_TRUE(LogHas("cwd " + folder.string()));
}

TEST_F(ProcessTest, StartOfAMissingProgramThrows) {
    EXPECT_THROW(e2e::Process::Start("C:\\no such folder\\missing.exe"), std::runtime_error);
}

TEST(RunAndCaptureTest, ReadsOutputErrorsAndExitCode) {
    const auto run = e2e::RunAndCapture("\"" + SampleAppPath() + "\" --print hello --exit-code 5", 20s);
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(5));
    EXPECT_EQ(run.output, "hello\n");
    EXPECT_EQ(run.errorOutput, "note\n");
}

TEST(RunAndCaptureTest, KillsAProgramThatOutlivesTheTimeout) {
    const auto run = e2e::RunAndCapture("\"" + SampleAppPath() + "\"", 1s);
    EXPECT_EQ(run.exitCode, std::nullopt);
    EXPECT_TRUE(e2e::WaitFor([] { return !e2e::FindTopLevelWindow(sample::kCaption); }, 5s));
}

TEST(ToWindowsPathTest, TurnsHostAndWindowsPathsIntoWindowsOnes) {
    const struct {
        const char* given;
        const char* expected;
    } cases[] = {
        {"/tmp/e2e win/app.exe", "Z:\\tmp\\e2e win\\app.exe"},
        {"C:/Program Files/app.exe", "C:\\Program Files\\app.exe"},
        {"C:\\already\\fine.exe", "C:\\already\\fine.exe"},
        {"relative/app.exe", "relative\\app.exe"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(e2e::ToWindowsPath(c.given), c.expected) << "given " << c.given;
}

}  // namespace
}  // namespace e2e_test
