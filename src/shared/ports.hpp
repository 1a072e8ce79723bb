// The narrow interfaces through which the programs reach the outside world. Win32 implements
// them with real API calls (src/win32); the unit tests implement them with recording fakes.
#pragma once

#include <cstdint>
#include <string>

namespace px {

using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidDevice = -1;

// The driver's device. Control() passes one buffer as both input and output, with the size as
// both lengths; the port owns the zero-filled overlapped record and the returned-bytes counter.
class DevicePort {
public:
    virtual ~DevicePort() = default;
    virtual DeviceHandle Open(const std::string& path) = 0;
    virtual bool Control(DeviceHandle handle, std::uint32_t code, void* buffer, std::uint32_t size) = 0;
    virtual void Close(DeviceHandle handle) = 0;
};

using RegKey = std::uintptr_t;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// Mirrors the four registry calls the store makes; results are Win32 error codes.
class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    virtual long CreateKey(RegKey hive, const std::string& path, RegKey* key) = 0;
    // data may be null to learn type and size; *size is in/out in bytes.
    virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
    virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

// Message box button results and style bits used by the suite.
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
// The style flags a box is composed of (Windows' MB_ values), named once.
inline constexpr std::uint32_t kBoxOk = 0x0;
inline constexpr std::uint32_t kBoxYesNo = 0x4;
inline constexpr std::uint32_t kBoxIconStop = 0x10;
inline constexpr std::uint32_t kBoxIconQuestion = 0x20;
inline constexpr std::uint32_t kBoxIconExclamation = 0x30;
inline constexpr std::uint32_t kBoxIconInformation = 0x40;
inline constexpr std::uint32_t kBoxDefaultButton1 = 0x0;
inline constexpr std::uint32_t kBoxDefaultButton2 = 0x100;
inline constexpr std::uint32_t kBoxSystemModal = 0x1000;

class UiPort {
public:
    virtual ~UiPort() = default;
    virtual int ShowMessageBox(const std::string& text, const std::string& title, std::uint32_t style) = 0;
    virtual void Beep() = 0;
    // Returns the new display count, like ShowCursor.
    virtual int ShowCursor(bool show) = 0;
};

// Show commands a program is started with (Windows' SW_ values), and WinExec's lowest success.
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;
inline constexpr unsigned kProgramStarted = 32;

class ProcessPort {
public:
    virtual ~ProcessPort() = default;
    // WinExec: values of 32 and above mean the program started.
    virtual unsigned StartProgram(const std::string& commandLine, int showCommand) = 0;
    // Ends the process at once, without unloading any window.
    virtual void EndProgram(int exitCode) = 0;
};

using WindowHandle = std::intptr_t;

class WindowMessagePort {
public:
    virtual ~WindowMessagePort() = default;
    virtual std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
};

// Finding another program's window and bringing it forward.
class WindowSearchPort {
public:
    virtual ~WindowSearchPort() = default;
    // Whether another copy of this program already runs.
    virtual bool PreviousInstance() = 0;
    virtual WindowHandle FirstWindow() = 0;                   // FindWindowA(0, 0)
    virtual WindowHandle NextWindow(WindowHandle window) = 0;  // GetWindow(next)
    virtual WindowHandle ParentOf(WindowHandle window) = 0;
    virtual unsigned InstanceWord(WindowHandle window) = 0;  // GetWindowWord(-6)
    virtual int WindowText(WindowHandle window, char* buffer, int size) = 0;
    virtual int WindowTextLength(WindowHandle window) = 0;
    virtual void BringToFront(WindowHandle window) = 0;
};

class PicturePort {
public:
    virtual ~PicturePort() = default;
    // Size in pixels of a bitmap file; false when it cannot be read as a picture.
    virtual bool BitmapSize(const std::string& path, int& width, int& height) = 0;
};

// Lets pending window events run during the polling loops (calibration, right-button wait,
// pauses); nothing in the suite runs on another thread.
class EventLoopPort {
public:
    virtual ~EventLoopPort() = default;
    virtual void DoEvents() = 0;
    // Looks at the queue, removing and running nothing, where a loop must not handle events:
    // Windows takes a thread that has not looked for 5 seconds for hung and ghosts its windows.
    virtual void LookAtQueue() = 0;
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Monotonic milliseconds: unaffected by midnight or clock changes.
    virtual std::uint64_t NowMs() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
};

class FilePort {
public:
    virtual ~FilePort() = default;
    // Opens the file for reading and closes it at once; false on any error (folders included).
    virtual bool CanOpenForInput(const std::string& path) = 0;
};

}  // namespace px
