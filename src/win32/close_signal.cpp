#include "win32/close_signal.hpp"

#include <sddl.h>

#include "shared/close_signal.hpp"

namespace px::win32 {

namespace {
// A timer's message is dispatched by every loop of the thread, a message box's too: a program
// waiting for an answer still hears the signal. Five looks a second cost nothing and answer long
// before anyone waiting for the program to end would give up.
constexpr UINT kLookMs = 200;
CloseSignalWatch* watching = nullptr;  // one per program: the thread timer's callback finds it here
}  // namespace

HANDLE OpenCloseSignal(DWORD access) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(kCloseSignalAccess, SDDL_REVISION_1, &descriptor,
                                                             nullptr))
        attributes.lpSecurityDescriptor = descriptor;
    HANDLE event = CreateEventExA(&attributes, kCloseSignalName, CREATE_EVENT_MANUAL_RESET, access);
    if (descriptor) LocalFree(descriptor);
    return event;
}

CloseSignalWatch::CloseSignalWatch(std::function<void()> closing) : closing_(std::move(closing)) {
    // Without the event the programs still close on their window messages.
    event_ = OpenCloseSignal(SYNCHRONIZE);
    if (!event_ || watching) return;
    timer_ = SetTimer(nullptr, 0, kLookMs, &CloseSignalWatch::Tick);
    if (timer_) watching = this;
}

CloseSignalWatch::~CloseSignalWatch() {
    if (timer_) KillTimer(nullptr, timer_);
    if (watching == this) watching = nullptr;
    if (event_) CloseHandle(event_);
}

void CALLBACK CloseSignalWatch::Tick(HWND, UINT, UINT_PTR, DWORD) {
    CloseSignalWatch* self = watching;
    if (!self || WaitForSingleObject(self->event_, 0) != WAIT_OBJECT_0) return;
    KillTimer(nullptr, self->timer_);
    self->timer_ = 0;
    if (self->closing_) self->closing_();
}

}  // namespace px::win32
