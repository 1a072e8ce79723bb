// What the setup package leaves in a prefix, read from outside: registry, files, service,
// pending restart operations, processes. Shared by the package's end-to-end tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <tlhelp32.h>

#include "e2e/e2e.hpp"
#include "standin_client.hpp"

namespace package {




inline constexpr char kOemKey[] = "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kFolder[] = "C:\\Program Files\\TouchScreen";
inline constexpr char kRemovalTitle[] = "TouchScreen Software Removal";
inline const char* const kOemValues[] = {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"};
inline const char* const kFolderFiles[] = {"PXwNTccp.exe", "PXwNTcao.exe", "PXwNTcrb.exe", "PXwNTcdi.exe",
                                    "PXwNTcde.exe", "setup.oem",    "unins000.exe"};

inline std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

inline std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

inline std::optional<std::string> RegistryString(const char* key, const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

inline bool KeyExists(const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// Entries of PendingFileRenameOperations, as stored ("\??\C:\...").
inline std::vector<std::string> PendingRenames() {
    std::vector<char> buffer(64 * 1024);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, buffer.data(), &size) != ERROR_SUCCESS)
        return {};
    // Pairs of source and target; a deletion's target is an empty string.
    std::vector<std::string> entries;
    for (const char* at = buffer.data(); at < buffer.data() + size; at += std::strlen(at) + 1)
        if (*at) entries.emplace_back(at);
    return entries;
}

inline std::string PendingList() {
    std::string list;
    for (const auto& entry : PendingRenames()) list += "\n  [" + entry + "]";
    return list.empty() ? " none" : list;
}

inline bool PendingDeletion(const std::string& path) {
    const std::string wanted = Lower(path);
    for (const auto& entry : PendingRenames()) {
        const std::string lower = Lower(entry);
        if (lower.size() >= wanted.size() && lower.compare(lower.size() - wanted.size(), wanted.size(), wanted) == 0)
            return true;
    }
    return false;
}

// SERVICE_RUNNING etc.; nullopt when there is no such service.
inline std::optional<DWORD> ServiceState(const char* name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return std::nullopt;
    std::optional<DWORD> state;
    if (SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG)) {
        SERVICE_STATUS status{};
        if (QueryServiceStatus(service, &status)) state = status.dwCurrentState;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return state;
}

inline DWORD ServiceStartType(const char* name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, name, SERVICE_QUERY_CONFIG) : nullptr;
    DWORD startType = 0xFFFFFFFF;
    std::vector<char> buffer(8192);
    DWORD needed = 0;
    if (service && QueryServiceConfigA(service, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data()),
                                       static_cast<DWORD>(buffer.size()), &needed))
        startType = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data())->dwStartType;
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return startType;
}

// Id of a running process with this file name, 0 when none.
inline DWORD RunningProcess(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD id = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && id == 0; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, exeName) == 0) id = entry.th32ProcessID;
    CloseHandle(snapshot);
    return id;
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}
inline std::string DriverFile() { return WindowsFolder() + "\\system32\\drivers\\PXWNTCOM.sys"; }

// Everything the package leaves behind, so that "nothing changed" is one comparison.
struct ProductState {
    std::map<std::string, bool> files;
    std::map<std::string, std::optional<std::string>> values;
    std::optional<DWORD> service;
    bool operator==(const ProductState&) const = default;
};

inline ProductState ReadProductState() {
    ProductState state;
    for (const char* file : kFolderFiles) state.files[file] = FileExists(std::string(kFolder) + "\\" + file);
    state.files["windows\\PXwNTcde.exe"] = FileExists(WindowsFolder() + "\\PXwNTcde.exe");
    state.files["drivers\\PXWNTCOM.sys"] = FileExists(DriverFile());
    for (const char* name : kOemValues) state.values[name] = RegistryString(kOemKey, name);
    state.values["Run"] = RegistryString(kRunKey, "PXwNTcao");
    state.service = ServiceState("PXWNTCOM");
    return state;
}

inline std::optional<std::int32_t> StandinRbfWindow() {
    try {
        px::standin::StandinClient client;
        return client.State().Rbf.RbfWindow;
    } catch (const px::standin::StandinError&) {
        return std::nullopt;
    }
}

// The package's wizard window, captioned "TouchScreen Setup: " and the page's name.
inline HWND WaitForInstallerWindow(const e2e::Process& installer) {
    return e2e::WaitFor(
        [&]() -> HWND {
            for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
                if (IsWindowVisible(w) && e2e::WindowProcessId(w) == installer.Id() &&
                    e2e::WindowText(w).rfind("TouchScreen Setup", 0) == 0)
                    return w;
            return nullptr;
        },
        std::chrono::seconds(30));
}

}  // namespace package
