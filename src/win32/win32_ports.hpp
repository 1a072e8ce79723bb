// The ports implemented with real Win32 calls.
#pragma once

#include <windows.h>

#include <functional>

#include "shared/ports.hpp"

namespace px::win32 {

class DeviceApi final : public DevicePort {
public:
    DeviceHandle Open(const std::string& path) override;
    bool Control(DeviceHandle handle, std::uint32_t code, void* buffer, std::uint32_t size) override;
    void Close(DeviceHandle handle) override;

private:
    // Zero-filled and never changed; the handle is not overlapped, so the call stays synchronous.
    OVERLAPPED overlapped_{};
    DWORD bytesReturned_ = 0;
};

class RegistryApi final : public RegistryPort {
public:
    long CreateKey(RegKey hive, const std::string& path, RegKey* key) override;
    long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long CloseKey(RegKey key) override;
};

class UiApi final : public UiPort {
public:
    int ShowMessageBox(const std::string& text, const std::string& title, std::uint32_t style) override;
    void Beep() override;
    int ShowCursor(bool show) override;

    // Owns a box when none of the program's windows is active. Windows gives the first unowned
    // window a program shows the show command it was started with: hidden, for a program
    // started hidden, and the box's caller would wait for an answer nobody can give.
    void SetBoxOwner(std::function<HWND()> owner) { boxOwner_ = std::move(owner); }

private:
    std::function<HWND()> boxOwner_;
};

class ProcessApi final : public ProcessPort {
public:
    unsigned StartProgram(const std::string& commandLine, int showCommand) override;
    void EndProgram(int exitCode) override;
};

class WindowMessageApi final : public WindowMessagePort {
public:
    std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
};

class WindowSearchApi final : public WindowSearchPort {
public:
    // The program name makes one marker per program; a second copy finds it taken.
    explicit WindowSearchApi(const std::string& programName);
    ~WindowSearchApi() override;
    WindowSearchApi(const WindowSearchApi&) = delete;
    WindowSearchApi& operator=(const WindowSearchApi&) = delete;

    bool PreviousInstance() override { return previous_; }
    WindowHandle FirstWindow() override;
    WindowHandle NextWindow(WindowHandle window) override;
    WindowHandle ParentOf(WindowHandle window) override;
    unsigned InstanceWord(WindowHandle window) override;
    int WindowText(WindowHandle window, char* buffer, int size) override;
    int WindowTextLength(WindowHandle window) override;
    void BringToFront(WindowHandle window) override;

    // Whether the marker's creation (opened or not, and the last error) says a copy runs.
    static bool MarkerTaken(bool opened, DWORD error);

private:
    HANDLE marker_ = nullptr;
    bool previous_ = false;
};

class PictureApi final : public PicturePort {
public:
    bool BitmapSize(const std::string& path, int& width, int& height) override;
};

class ClockApi final : public ClockPort {
public:
    std::uint64_t NowMs() override { return ::GetTickCount64(); }
    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

class FileApi final : public FilePort {
public:
    bool CanOpenForInput(const std::string& path) override;
};

}  // namespace px::win32
