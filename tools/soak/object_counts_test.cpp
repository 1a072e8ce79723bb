// The soak figures are only worth something if the counters see what a program really holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e/process.hpp"
#include "e2e/windows.hpp"
#include "object_counts.hpp"

namespace {

using namespace std::chrono_literals;

TEST(ObjectCounts, WhatAnotherProcessMakesAndFreesIsCountedFromOutside) {
    auto holder = e2e::Process::Start(HOLDER_PATH);
    HWND window = e2e::WaitForTopLevelWindow("object holder ready", 10s, {holder.Id(), true});
    ASSERT_NE(window, nullptr);
    const auto before = soak::CountObjects(holder.Handle());
    ASSERT_GT(before.Handles, 0);
    ASSERT_GT(before.Gdi, 0);
    ASSERT_GT(before.User, 0);

    SendMessageA(window, WM_APP, 20, 0);
    ASSERT_NE(e2e::WaitForTopLevelWindow("object holder 20", 10s, {holder.Id(), true}), nullptr);
    const auto after = soak::CountObjects(holder.Handle());
    EXPECT_EQ(after.Handles - before.Handles, 20);
    EXPECT_EQ(after.Gdi - before.Gdi, 20);
    EXPECT_EQ(after.User - before.User, 20);

    SendMessageA(window, WM_APP + 1, 0, 0);
    ASSERT_NE(e2e::WaitForTopLevelWindow("object holder freed", 10s, {holder.Id(), true}), nullptr);
    const auto freed = soak::CountObjects(holder.Handle());
    EXPECT_EQ(freed.Handles, before.Handles);
    EXPECT_EQ(freed.Gdi, before.Gdi);
    EXPECT_EQ(freed.User, before.User);
    holder.Kill();
}

}  // namespace
