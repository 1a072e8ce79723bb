// Recording fakes of the ports, so tests can assert the exact sequence a user or the driver sees.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shared/ports.hpp"

namespace px::fakes {

struct DeviceRequest {
    std::uint32_t Code;
    std::vector<std::uint8_t> Input;
};

class FakeDevice : public DevicePort {
public:
    bool Present = true;
    std::vector<std::string> OpenedPaths;
    std::vector<DeviceHandle> Closed;
    std::vector<DeviceRequest> Requests;
    // What the driver writes back for a code; codes without a reply echo the input.
    std::map<std::uint32_t, std::vector<std::uint8_t>> Replies;
    std::set<std::uint32_t> Failing;

    template <typename Record>
    void Reply(std::uint32_t code, const Record& record) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
        Replies[code] = std::vector<std::uint8_t>(bytes, bytes + sizeof record);
    }

    DeviceHandle Open(const std::string& path) override {
        OpenedPaths.push_back(path);
        return Present ? 0x44 : kInvalidDevice;
    }
    bool Control(DeviceHandle, std::uint32_t code, void* buffer, std::uint32_t size) override {
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        Requests.push_back({code, std::vector<std::uint8_t>(bytes, bytes + size)});
        if (Failing.count(code)) return false;
        if (auto reply = Replies.find(code); reply != Replies.end())
            std::memcpy(buffer, reply->second.data(), std::min<std::size_t>(size, reply->second.size()));
        return true;
    }
    void Close(DeviceHandle handle) override { Closed.push_back(handle); }
};

struct RegistryValue {
    std::uint32_t Type;
    std::vector<std::uint8_t> Data;
};

class FakeRegistry : public RegistryPort {
public:
    static constexpr long kErrorMoreData = 234;

    std::vector<std::string> CreatedPaths;  // every CreateKey call, in order
    std::vector<std::string> Queries;       // value names asked for, in order
    int OpenKeys = 0;

    static std::string Fold(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    }
    void SetString(const std::string& path, const std::string& name, const std::string& text) {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        Set(path, name, kRegSz, data);
    }
    void Set(const std::string& path, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data) {
        keys_[Fold(path)][Fold(name)] = {type, std::move(data)};
    }
    bool HasKey(const std::string& path) const { return keys_.count(Fold(path)) != 0; }
    const RegistryValue* Get(const std::string& path, const std::string& name) const {
        auto key = keys_.find(Fold(path));
        if (key == keys_.end()) return nullptr;
        auto value = key->second.find(Fold(name));
        return value == key->second.end() ? nullptr : &value->second;
    }

    long CreateKey(RegKey hive, const std::string& path, RegKey* key) override {
        CreatedPaths.push_back(path);
        const std::string full = HiveName(hive) + "\\" + path;
        keys_[Fold(full)];
        handles_[++lastHandle_] = Fold(full);
        *key = lastHandle_;
        ++OpenKeys;
        return kErrorSuccess;
    }
    long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        Queries.push_back(name);
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return 6;  // ERROR_INVALID_HANDLE
        auto& values = keys_[handle->second];
        auto value = values.find(Fold(name));
        if (value == values.end()) return kErrorFileNotFound;
        *type = value->second.Type;
        const auto needed = static_cast<std::uint32_t>(value->second.Data.size());
        if (data == nullptr) {
            *size = needed;
            return kErrorSuccess;
        }
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        std::copy(value->second.Data.begin(), value->second.Data.end(), data);
        *size = needed;
        return kErrorSuccess;
    }
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        auto handle = handles_.find(key);
        if (handle == handles_.end()) return 6;
        keys_[handle->second][Fold(name)] = {type, std::vector<std::uint8_t>(data, data + size)};
        return kErrorSuccess;
    }
    long CloseKey(RegKey key) override {
        if (handles_.erase(key) == 0) return 6;
        --OpenKeys;
        return kErrorSuccess;
    }

    static std::string HiveName(RegKey hive) {
        return hive == kHkeyLocalMachine ? "HKLM" : hive == kHkeyCurrentUser ? "HKCU" : "HKEY?";
    }

private:
    std::map<std::string, std::map<std::string, RegistryValue>> keys_;
    std::map<RegKey, std::string> handles_;
    RegKey lastHandle_ = 0x100;
};

struct MessageBoxCall {
    std::string Text;
    std::string Title;
    std::uint32_t Style;
};

class FakeUi : public UiPort {
public:
    std::vector<MessageBoxCall> Boxes;
    std::vector<std::string> Events;  // "beep" and "box" in the order they happened
    std::deque<int> Answers;          // button pressed for each box; OK when empty
    int CursorCount = 0;
    int CursorCalls = 0;
    // Runs while a box is open, as what reaches the program before it is answered.
    std::function<void(const MessageBoxCall&)> OnBox;

    int ShowMessageBox(const std::string& text, const std::string& title, std::uint32_t style) override {
        Boxes.push_back({text, title, style});
        Events.push_back("box");
        if (OnBox) OnBox(Boxes.back());
        if (Answers.empty()) return kIdOk;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Beep() override { Events.push_back("beep"); }
    int ShowCursor(bool show) override {
        ++CursorCalls;
        CursorCount += show ? 1 : -1;
        return CursorCount;
    }
};

class FakeProcess : public ProcessPort {
public:
    std::vector<std::string> Started;
    std::vector<int> StartShowCommands;
    unsigned StartResult = 33;
    std::vector<int> Ended;

    unsigned StartProgram(const std::string& commandLine, int showCommand) override {
        Started.push_back(commandLine);
        StartShowCommands.push_back(showCommand);
        return StartResult;
    }
    void EndProgram(int exitCode) override { Ended.push_back(exitCode); }
};

struct SentMessage {
    WindowHandle Window;
    std::uint32_t Message;
    std::uintptr_t WParam;
    std::intptr_t LParam;
};

class FakeWindows : public WindowMessagePort {
public:
    std::vector<SentMessage> Sent;
    std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) override {
        Sent.push_back({window, message, wParam, lParam});
        return 0;
    }
};

struct FakeWindow {
    WindowHandle Handle;
    std::string Title;
    WindowHandle Parent = 0;
    unsigned InstanceWord = 0;
};

class FakeSearch : public WindowSearchPort {
public:
    bool Previous = false;
    std::vector<FakeWindow> Windows;  // in Z order
    std::vector<WindowHandle> Raised;

    bool PreviousInstance() override { return Previous; }
    WindowHandle FirstWindow() override { return Windows.empty() ? 0 : Windows.front().Handle; }
    WindowHandle NextWindow(WindowHandle window) override {
        for (std::size_t i = 0; i + 1 < Windows.size(); ++i)
            if (Windows[i].Handle == window) return Windows[i + 1].Handle;
        return 0;
    }
    WindowHandle ParentOf(WindowHandle window) override { return Get(window).Parent; }
    unsigned InstanceWord(WindowHandle window) override { return Get(window).InstanceWord; }
    int WindowText(WindowHandle window, char* buffer, int size) override {
        const auto& title = Get(window).Title;
        const int n = std::min<int>(size - 1, static_cast<int>(title.size()));
        std::memcpy(buffer, title.data(), static_cast<std::size_t>(n));
        buffer[n] = 0;
        return n;
    }
    int WindowTextLength(WindowHandle window) override { return static_cast<int>(Get(window).Title.size()); }
    void BringToFront(WindowHandle window) override { Raised.push_back(window); }

private:
    const FakeWindow& Get(WindowHandle window) {
        for (const auto& w : Windows)
            if (w.Handle == window) return w;
        static const FakeWindow none{0, ""};
        return none;
    }
};

class FakePictures : public PicturePort {
public:
    std::map<std::string, std::pair<int, int>> Bitmaps;  // readable pictures and their pixel sizes
    bool BitmapSize(const std::string& path, int& width, int& height) override {
        auto it = Bitmaps.find(path);
        if (it == Bitmaps.end()) return false;
        width = it->second.first;
        height = it->second.second;
        return true;
    }
};

// Each DoEvents may run what the user does meanwhile.
class FakeEvents : public EventLoopPort {
public:
    int Calls = 0;
    int Looks = 0;  // looks at the queue that run nothing
    std::function<void(int call)> OnEvents;
    void DoEvents() override {
        ++Calls;
        if (OnEvents) OnEvents(Calls);
    }
    void LookAtQueue() override { ++Looks; }
};

// Time moves only when the program sleeps (or a test says so).
class FakeClock : public ClockPort {
public:
    std::uint64_t Now = 1000;
    std::vector<unsigned> Sleeps;
    std::uint64_t NowMs() override { return Now; }
    void Sleep(unsigned milliseconds) override {
        Sleeps.push_back(milliseconds);
        Now += milliseconds;
    }
};

class FakeFiles : public FilePort {
public:
    std::set<std::string> Readable;
    bool CanOpenForInput(const std::string& path) override { return Readable.count(path) != 0; }
};

}  // namespace px::fakes
