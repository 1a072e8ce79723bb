// The About window and the checks every main window makes as it loads, shared by the programs.
#pragma once

#include <functional>
#include <string>

#include "forms/form.hpp"
#include "shared/ports.hpp"
#include "shared/registry_store.hpp"
#include "shared/window_header.hpp"

namespace px {

inline constexpr char kRunningText[] =
    "Application is running!\r\rPlease find and select the running window from Taskbar.";
inline constexpr char kCopyrightLine[] = "Copyright (C) 1998-2026 Veldrant Corporation. All rights reserved.";

forms::Form MakeAboutForm();

// Header of the windows a main window opens: its vendor title and version line.
struct WindowHeader {
    std::string OemTitle;
    std::string System;
};

// What every main window checks as it loads: no other copy running (the running one is brought
// forward, or the user is told), and the OEM data present. False when the program must end.
bool PassStartChecks(forms::Form& main, WindowSearchPort& search, UiPort& ui, OemRecord& oem);
// A main window's load up to its heading: the program's title and version line, the start checks,
// then the vendor's name. False when the program must end.
bool LoadMainHeading(forms::Form& main, const char* title, WindowSearchPort& search, UiPort& ui, OemRecord& oem);

// Wires the About window: header copied from its owner at each load; closing returns.
void WireAboutWindow(forms::Form& about, std::function<WindowHeader()> header, std::function<void()> returnToMain);

}  // namespace px
