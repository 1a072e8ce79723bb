#include "sample_fixture.hpp"

#include <cstring>
#include <filesystem>

namespace e2e_test {
namespace {

using SampleWindow = SampleApp;

TEST_F(SampleWindow, IsFoundByExactCaptionAndOnlyForItsOwnProcess) {
    EXPECT_EQ(e2e::FindTopLevelWindow(sample::kCaption, {.processId = app_->Id()}), window_);
    EXPECT_EQ(e2e::FindTopLevelWindow(sample::kCaption, {.processId = GetCurrentProcessId()}), nullptr);
    EXPECT_EQ(e2e::FindTopLevelWindow("E2E Sample Windo", {.processId = app_->Id()}), nullptr);
    EXPECT_EQ(e2e::WindowProcessId(window_), app_->Id());
}

TEST(HiddenSampleWindow, IsFoundWithIncludeHidden) {
    auto app = e2e::Process::Start(SampleAppPath(), "--hidden");
    HWND hidden = e2e::WaitForTopLevelWindow(sample::kCaption, 10s, {.processId = app.Id(), .includeHidden = true});
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(e2e::FindTopLevelWindow(sample::kCaption, {.processId = app.Id()}), nullptr);
}

TEST_F(SampleWindow, ControlsAreListedAsTheLayoutPlacesThem) {
    POINT clientOrigin{0, 0};
    ClientToScreen(window_, &clientOrigin);
    const auto controls = e2e::ListControls(window_);
    EXPECT_EQ(controls.size(), std::size(sample::kControls));
    for (const auto& declared : sample::kControls) {
        SCOPED_TRACE(std::string("control ") + std::to_string(declared.id) + " \"" + declared.text + "\"");
        const auto control = e2e::FindControlById(window_, declared.id);
        ASSERT_TRUE(control.has_value());
        EXPECT_EQ(_stricmp(control->className.c_str(), declared.className), 0) << control->className;
        if (declared.id != sample::txtLog) {
            EXPECT_EQ(control->text, declared.text);
        }
        EXPECT_EQ(control->visible, (declared.style & WS_VISIBLE) != 0);
        EXPECT_EQ(control->enabled, (declared.style & WS_DISABLED) == 0);
        EXPECT_EQ(control->style & declared.style, declared.style);
        EXPECT_EQ(control->exStyle & declared.exStyle, declared.exStyle);
        const RECT expected{declared.x, declared.y, declared.x + declared.width, declared.y + declared.height};
        EXPECT_TRUE(EqualRect(&control->parentClientRect, &expected))
            << control->parentClientRect.left << "," << control->parentClientRect.top << " "
            << control->parentClientRect.right << "," << control->parentClientRect.bottom;
        EXPECT_EQ(control->screenRect.left, clientOrigin.x + declared.x);
        EXPECT_EQ(control->screenRect.top, clientOrigin.y + declared.y);
        EXPECT_EQ(control->screenRect.right - control->screenRect.left, declared.width);
    }
}

TEST_F(SampleWindow, ControlsAreFoundByTextAndByClassIndex) {
    EXPECT_EQ(e2e::FindControlByText(window_, "Count")->id, sample::cmdCount);
    EXPECT_EQ(e2e::FindControlByText(window_, "&Stop box")->id, sample::cmdStopBox);
    EXPECT_FALSE(e2e::FindControlByText(window_, "Stop box").has_value()) << "the '&' is part of the text";
    EXPECT_EQ(e2e::FindControlByClass(window_, "BUTTON", 4)->id, sample::cmdCount);
    EXPECT_EQ(e2e::FindControlByClass(window_, "edit", 1)->id, sample::txtLog);
    EXPECT_FALSE(e2e::FindControlByClass(window_, "edit", 2).has_value());
    EXPECT_FALSE(e2e::FindControlById(window_, 9999).has_value());
}

TEST_F(SampleWindow, WindowTextReadsEditContents) {
    EXPECT_TRUE(LogHas("cwd " + std::filesystem::current_path().string()));
    EXPECT_EQ(e2e::WindowText(window_), sample::kCaption);
}

}  // namespace
}  // namespace e2e_test
