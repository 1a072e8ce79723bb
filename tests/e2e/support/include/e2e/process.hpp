// Starting the programs under test and console tools.
#pragma once

#include "e2e/handles.hpp"
#include "e2e/wait.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace e2e {

// A program started for a test. Still running when the object goes away, it is killed: a
// test that failed half-way must not leave its window behind for the next one.
class Process {
public:
    // exePath is quoted here (it may hold blanks); arguments are passed as written.
    // Throws std::runtime_error when CreateProcess fails.
    static Process Start(const std::string& exePath, const std::string& arguments = {},
                         const std::string& workingDirectory = {});

    Process(Process&&) noexcept = default;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool IsRunning() const;
    // The exit code once ended, std::nullopt while still running at the timeout.
    std::optional<DWORD> WaitForExit(Milliseconds timeout) const;
    // Until the program first waits for input with nothing left to do: its windows are painted.
    bool WaitForInputIdle(Milliseconds timeout) const;
    // TerminateProcess and wait for the end; nothing when already ended.
    void Kill(UINT exitCode = kKilledExitCode);

    static constexpr UINT kKilledExitCode = 0xDEAD;

private:
    Process(UniqueHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
    UniqueHandle process_;
    DWORD id_ = 0;
};

struct CapturedRun {
    std::optional<DWORD> exitCode;  // std::nullopt: still running at the timeout, then killed
    std::string output;             // standard output, bytes as written
    std::string errorOutput;        // standard error, kept apart
};

// Runs a console program with its standard output and error sent to files, not pipes: under
// Wine a pipe's write end can be inherited by the desktop process and never reach EOF.
CapturedRun RunAndCapture(const std::string& commandLine, Milliseconds timeout,
                          const std::string& workingDirectory = {});

// CMake hands out host paths; under Wine "/tmp/x" must become "Z:\tmp\x" or it resolves
// against the current drive. Windows paths only get their slashes turned.
std::string ToWindowsPath(std::string_view path);

}  // namespace e2e
