// Owners for the Win32 handles the helpers hold, and UTF-8 <-> UTF-16 text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace e2e {

// A kernel handle (process, file, thread). Null and INVALID_HANDLE_VALUE both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr) {
        if (*this) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// "error 2: The system cannot find the file specified." for exception texts.
std::string ErrorText(DWORD error);

}  // namespace e2e
