// Watches the close signal (shared/close_signal.hpp) from the thread's message loops, message
// boxes' included, and calls `closing` once when another program sets it.
#pragma once

#include <windows.h>

#include <functional>

namespace px::win32 {

class CloseSignalWatch {
public:
    explicit CloseSignalWatch(std::function<void()> closing);
    ~CloseSignalWatch();
    CloseSignalWatch(const CloseSignalWatch&) = delete;
    CloseSignalWatch& operator=(const CloseSignalWatch&) = delete;

    bool Watching() const { return event_ != nullptr && timer_ != 0; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    std::function<void()> closing_;
    HANDLE event_ = nullptr;
    UINT_PTR timer_ = 0;
};

// The event itself, made with the access every program agrees on when nobody has made it yet.
HANDLE OpenCloseSignal(DWORD access);

}  // namespace px::win32
