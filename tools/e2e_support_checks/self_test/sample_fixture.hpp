// Starts the sample app for a test and reads its log of received events.
#pragma once

#include "e2e/e2e.hpp"
#include "sample_layout.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e_test {

using namespace std::chrono_literals;

std::string SampleAppPath();
std::vector<std::string> SplitLines(const std::string& text);

class SampleApp : public ::testing::Test {
protected:
    void SetUp() override;
    void Start(const std::string& arguments = {}, const std::string& workingDirectory = {},
               const std::string& exePath = SampleAppPath());

    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::vector<std::string> LogLines() const;
    // True once the log holds line; the log is checked by the caller's assertion message.
    bool WaitForLogLine(const std::string& line, e2e::Milliseconds timeout = 5s) const;
    ::testing::AssertionResult LogHas(const std::string& line) const;
    std::size_t CountLogLines(const std::string& line) const;

    std::optional<e2e::Process> app_;
    HWND window_ = nullptr;
};

}  // namespace e2e_test
