#include "e2e/process.hpp"

#include <stdexcept>
#include <vector>

namespace e2e {
namespace {

UniqueHandle CreateCaptureFile() {
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"e2e", 0, name))
        throw std::runtime_error("no temporary file for captured output: " + ErrorText(GetLastError()));
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    UniqueHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (!file) throw std::runtime_error("cannot open capture file: " + ErrorText(GetLastError()));
    return file;
}

std::string ReadWholeFile(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    return content;
}

struct Started {
    UniqueHandle process;
    DWORD id;
};

Started CreateWith(std::wstring commandLine, const std::string& workingDirectory, STARTUPINFOW& startup,
                   BOOL inheritHandles) {
    const std::wstring directory = Widen(ToWindowsPath(workingDirectory));
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        throw std::runtime_error("cannot start " + Narrow(commandLine) + ": " + ErrorText(GetLastError()));
    }
    CloseHandle(info.hThread);
    return {UniqueHandle(info.hProcess), info.dwProcessId};
}

}  // namespace

Process Process::Start(const std::string& exePath, const std::string& arguments,
                       const std::string& workingDirectory) {
    std::string commandLine = "\"" + ToWindowsPath(exePath) + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Started started = CreateWith(Widen(commandLine), workingDirectory, startup, FALSE);
    return Process(std::move(started.process), started.id);
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::move(other.process_);
        id_ = other.id_;
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::IsRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(Milliseconds timeout) const {
    if (!process_) return std::nullopt;
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

bool Process::WaitForInputIdle(Milliseconds timeout) const {
    return process_ && ::WaitForInputIdle(process_.get(), static_cast<DWORD>(timeout.count())) == 0;
}

void Process::Kill(UINT exitCode) {
    if (!IsRunning()) return;
    TerminateProcess(process_.get(), exitCode);
    WaitForSingleObject(process_.get(), 5000);
}

CapturedRun RunAndCapture(const std::string& commandLine, Milliseconds timeout,
                          const std::string& workingDirectory) {
    UniqueHandle output = CreateCaptureFile();
    UniqueHandle errors = CreateCaptureFile();
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    UniqueHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
    Started started = CreateWith(Widen(commandLine), workingDirectory, startup, TRUE);

    CapturedRun run;
    if (WaitForSingleObject(started.process.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (GetExitCodeProcess(started.process.get(), &code)) run.exitCode = code;
    } else {
        TerminateProcess(started.process.get(), Process::kKilledExitCode);
        WaitForSingleObject(started.process.get(), 5000);
    }
    run.output = ReadWholeFile(output.get());
    run.errorOutput = ReadWholeFile(errors.get());
    return run;
}

std::string ToWindowsPath(std::string_view path) {
    std::string result;
    if (!path.empty() && path.front() == '/') result = "Z:";
    result += path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

}  // namespace e2e
