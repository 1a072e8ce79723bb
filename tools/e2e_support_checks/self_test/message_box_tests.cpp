#include "sample_fixture.hpp"

namespace e2e_test {
namespace {

struct BoxCase {
    const sample::BoxSpec& box;
    e2e::MessageBoxIcon icon;
    bool topmost;
    std::vector<int> buttons;
    int answer;
};

const BoxCase kBoxCases[] = {
    {sample::kBoxes[0], e2e::MessageBoxIcon::Stop, true, {IDYES, IDNO}, IDNO},
    {sample::kBoxes[1], e2e::MessageBoxIcon::Question, false, {IDYES, IDNO}, IDYES},
    {sample::kBoxes[2], e2e::MessageBoxIcon::Exclamation, false, {IDOK, IDCANCEL}, IDCANCEL},
    {sample::kBoxes[3], e2e::MessageBoxIcon::Information, false, {IDOK}, IDOK},
};

using MessageBoxTest = SampleApp;

TEST_F(MessageBoxTest, EachBoxIsReadAndAnsweredAsShown) {
    for (const auto& c : kBoxCases) {
        SCOPED_TRACE(c.box.title);
        e2e::PostButtonClick(Control(c.box.button));
        HWND box = e2e::WaitForMessageBox(5s, app_->Id());
        ASSERT_NE(box, nullptr);
        const auto info = e2e::ReadMessageBox(box);
        EXPECT_EQ(info.processId, app_->Id());
        EXPECT_EQ(info.title, c.box.title);
        EXPECT_EQ(info.text, c.box.text);
        EXPECT_EQ(info.icon, c.icon);
        EXPECT_EQ(info.topmost, c.topmost);
        EXPECT_EQ(info.buttons, c.buttons);
        ASSERT_TRUE(e2e::AnswerMessageBox(box, c.answer));
        EXPECT_TRUE(e2e::WaitForWindowGone(box, 5s));
        EXPECT_TRUE(LogHas(std::string("answer ") + c.box.title + " " + std::to_string(c.answer)));
    }
}

TEST_F(MessageBoxTest, ButtonTheBoxDoesNotShowIsNotPressed) {
    e2e::PostButtonClick(Control(sample::cmdInfoBox));
    HWND box = e2e::WaitForMessageBox(5s, app_->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(e2e::AnswerMessageBox(box, IDYES));
    EXPECT_FALSE(e2e::AnswerMessageBox(box, IDCANCEL));
    Sleep(200);
    EXPECT_TRUE(IsWindow(box));
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(LogHas("answer Sample Note 1"));
}

TEST_F(MessageBoxTest, NoBoxIsFoundWhileNoneIsShown) {
    EXPECT_EQ(e2e::FindMessageBox(app_->Id()), nullptr);
    EXPECT_EQ(e2e::WaitForMessageBox(200ms, app_->Id()), nullptr);
}

TEST_F(MessageBoxTest, BoxOfAnotherProcessIsNotTaken) {
    e2e::PostButtonClick(Control(sample::cmdStopBox));
    HWND box = e2e::WaitForMessageBox(5s, app_->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::FindMessageBox(GetCurrentProcessId()), nullptr);
    EXPECT_EQ(e2e::FindMessageBox(), box);
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(LogHas("answer Sample Alarm 6"));
}

}  // namespace
}  // namespace e2e_test
