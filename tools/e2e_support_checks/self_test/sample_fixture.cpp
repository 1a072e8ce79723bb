#include "sample_fixture.hpp"

#include <algorithm>

namespace e2e_test {

std::string SampleAppPath() { return e2e::ToWindowsPath(E2E_SAMPLE_APP_PATH); }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void SampleApp::SetUp() { Start(); }

void SampleApp::Start(const std::string& arguments, const std::string& workingDirectory,
                      const std::string& exePath) {
    app_.reset();
    app_.emplace(e2e::Process::Start(exePath, arguments, workingDirectory));
    window_ = e2e::WaitForTopLevelWindow(sample::kCaption, 10s, {.processId = app_->Id()});
    ASSERT_NE(window_, nullptr) << "sample window did not appear";
    ASSERT_TRUE(app_->WaitForInputIdle(10s));
}

std::vector<std::string> SampleApp::LogLines() const {
    return SplitLines(e2e::WindowText(Control(sample::txtLog)));
}

std::size_t SampleApp::CountLogLines(const std::string& line) const {
    const auto lines = LogLines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool SampleApp::WaitForLogLine(const std::string& line, e2e::Milliseconds timeout) const {
    return e2e::WaitFor([&] { return CountLogLines(line) > 0; }, timeout);
}

::testing::AssertionResult SampleApp::LogHas(const std::string& line) const {
    if (WaitForLogLine(line)) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "log lacks \"" << line << "\"; it holds:";
    for (const auto& held : LogLines()) failure << "\n  " << held;
    return failure;
}

}  // namespace e2e_test
