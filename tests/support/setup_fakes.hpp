// Fakes of the installation and removal programs' own ports.
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "shared/setup_ports.hpp"

namespace px::fakes {

class FakeRestart : public RestartPort {
public:
    bool TokenOpens = true;
    std::uint32_t LookupError = 0;
    std::uint32_t AdjustError = 0;
    bool ExitWorks = true;
    std::vector<std::string> Calls;

    bool OpenProcessToken() override {
        Calls.push_back("open");
        return TokenOpens;
    }
    std::uint32_t LookupShutdownPrivilege() override {
        Calls.push_back("lookup");
        return LookupError;
    }
    std::uint32_t EnableShutdownPrivilege() override {
        Calls.push_back("adjust");
        return AdjustError;
    }
    bool ExitWindowsReboot() override {
        Calls.push_back("exit");
        return ExitWorks;
    }
    void CloseToken() override { Calls.push_back("close"); }
    bool Interactive = true;
    bool SystemRestartWorks = true;
    bool RunsAsInteractiveUser() override { return Interactive; }
    bool SystemRestart() override {
        Calls.push_back("system");
        return SystemRestartWorks;
    }
};

// Behaves like GetPrivateProfileStringA on an in-memory file.
class FakeIni : public IniPort {
public:
    std::map<std::string, std::string> Values;  // "file|section|key" -> raw value
    int GetPrivateProfileString(const std::string& section, const std::string& key, char* buffer, int size,
                                const std::string& file) override {
        auto it = Values.find(file + "|" + section + "|" + key);
        const std::string value = it == Values.end() ? "" : it->second;
        const int n = std::min<int>(static_cast<int>(value.size()), size - 1);
        std::memcpy(buffer, value.data(), static_cast<std::size_t>(n));
        buffer[n] = 0;
        return n;
    }
};

class FakeRemoval : public RemovalPort {
public:
    std::uint32_t ProcessId = 4242;
    ProcessHandle Handle = 0x77;
    std::deque<std::uint32_t> WaitResults;  // one per wait; time-outs when empty
    std::vector<std::string> Started;
    std::vector<int> ShowCommands;
    std::vector<std::uint32_t> WaitTimes;
    std::vector<ProcessHandle> Closed;
    std::vector<std::pair<std::string, std::uint32_t>> Moved;
    std::uint32_t EndedWith = 0;
    bool LockFree = true;

    std::uint32_t StartProcess(const std::string& commandLine, int showCommand) override {
        Started.push_back(commandLine);
        ShowCommands.push_back(showCommand);
        return ProcessId;
    }
    ProcessHandle OpenProcess(std::uint32_t) override { return Handle; }
    std::uint32_t Wait(ProcessHandle, std::uint32_t milliseconds) override {
        WaitTimes.push_back(milliseconds);
        if (WaitResults.empty()) return kWaitTimeout;
        const auto r = WaitResults.front();
        WaitResults.pop_front();
        return r;
    }
    std::uint32_t ExitCode(ProcessHandle) override { return EndedWith; }
    void CloseProcess(ProcessHandle process) override { Closed.push_back(process); }
    bool LockInstallation() override { return LockFree; }
    bool MoveFileEx(const std::string& existing, std::uint32_t flags) override {
        Moved.emplace_back(existing, flags);
        return true;
    }
};

// A fixed width per character, so a test can make a caption as wide as it needs.
class FakeTextMeasure : public TextMeasurePort {
public:
    double TwipsPerCharacter = 90;
    double TextWidthTwips(const std::string& text, const forms::Font&) override {
        return TwipsPerCharacter * static_cast<double>(text.size());
    }
};

}  // namespace px::fakes
