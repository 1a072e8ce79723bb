// Every port of the suite with its real Win32 implementation, in one piece for a program's main.
#pragma once

#include <string>

#include "shared/suite_ports.hpp"
#include "win32/form_binding.hpp"
#include "win32/win32_ports.hpp"

namespace px::win32 {

struct Win32Suite {
    explicit Win32Suite(const std::string& programName) : search(programName), events(binding) {}
    Win32Suite(const Win32Suite&) = delete;
    Win32Suite& operator=(const Win32Suite&) = delete;

    SuitePorts Ports() { return {device, registry, ui, process, windows, search, files, pictures, events, clock}; }

    DeviceApi device;
    RegistryApi registry;
    UiApi ui;
    ProcessApi process;
    WindowMessageApi windows;
    WindowSearchApi search;
    FileApi files;
    PictureApi pictures;
    ClockApi clock;
    FormBinding binding;
    BindingEvents events;
};

}  // namespace px::win32
