// The programs' buttons found and pressed by their captions, as a user reads them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>

#include "e2e/windows.hpp"

namespace bench {

// Buttons, options and check boxes only: a label may carry the same words ("Fast").
inline std::optional<e2e::ControlInfo> ButtonOf(HWND window, const char* caption) {
    for (const auto& control : e2e::ListControls(window))
        if (_stricmp(control.className.c_str(), "Button") == 0 && control.text == caption) return control;
    return std::nullopt;
}

// BM_CLICK returns once the program has handled the click; a missing button fails the test.
inline bool Click(HWND window, const char* caption) {
    auto button = ButtonOf(window, caption);
    if (!button) {
        ADD_FAILURE() << "no button " << caption;
        return false;
    }
    SendMessageA(button->window, BM_CLICK, 0, 0);
    return true;
}

}  // namespace bench
