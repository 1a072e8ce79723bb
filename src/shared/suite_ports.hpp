#pragma once

#include "shared/ports.hpp"

namespace px {

// Everything outside a program's own logic, handed to it in one piece by its main.
struct SuitePorts {
    DevicePort& Device;
    RegistryPort& Registry;
    UiPort& Ui;
    ProcessPort& Process;
    WindowMessagePort& Windows;
    WindowSearchPort& Search;
    FilePort& Files;
    PicturePort& Pictures;
    EventLoopPort& Events;
    ClockPort& Clock;
};

}  // namespace px
