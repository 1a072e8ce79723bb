// The About window (shared with the start-up program) and the vendor's Support window.
#pragma once

#include <functional>
#include <string>

#include "form.hpp"
#include "ports.hpp"
#include "registry_store.hpp"
#include "window_header.hpp"

namespace px {

inline constexpr char kRunningText[] =
    "Application is running!\r\rPlease find and select the running window from Taskbar.";
inline constexpr char kCopyrightLine[] = "Copyright (C) 1998-2026 Veldrant Corporation. All rights reserved.";

forms::Form MakeAboutForm();
forms::Form MakeSupportForm();

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

// Wires the Support window: caption from the owner, sized to the bitmap in twips.
void WireSupportWindow(forms::Form& support, std::function<std::string()> caption,
                       std::function<std::string()> logoPath, PicturePort& pictures,
                       std::function<void()> returnToMain);

}  // namespace px
