// The fakes behind every port of a program but its driver device, which each test picks itself.
#pragma once

#include "fakes.hpp"
#include "shared/suite_ports.hpp"

namespace px::fakes {

struct SuiteFakes {
    FakeRegistry registry;
    FakeUi ui;
    FakeProcess process;
    FakeWindows windows;
    FakeSearch search;
    FakeFiles files;
    FakePictures pictures;
    FakeEvents events;
    FakeClock clock;

    SuitePorts PortsWith(DevicePort& device) {
        return SuitePorts{device, registry, ui, process, windows, search, files, pictures, events, clock};
    }
};

}  // namespace px::fakes
