// unins000.exe: Win32 side of the removal program (ports over the service manager, files and
// the 64-bit registry view, message boxes) and its entry point.
#include <windows.h>

#include <memory>
#include <type_traits>

#include "removal.hpp"

namespace px::unins {
namespace {

struct ServiceCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceCloser>;

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

constexpr REGSAM kView = KEY_WOW64_64KEY;

class Win32Removal final : public RemovalPort {
public:
    Outcome RemoveService(const std::string& name) override {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (!manager) return Outcome::Failed;
        ServiceHandle service(
            OpenServiceA(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
        if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? Outcome::Absent : Outcome::Failed;
        SERVICE_STATUS status{};
        ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        // The driver file can only be deleted once the driver has unloaded; PXwNTcde gives us
        // ten seconds in all, so wait at most three here.
        for (int i = 0; i < 60; ++i) {
            if (!QueryServiceStatus(service.get(), &status) || status.dwCurrentState == SERVICE_STOPPED) break;
            Sleep(50);
        }
        if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
            return Outcome::Failed;
        return Outcome::Removed;
    }

    Outcome RemoveFile(const std::string& path) override {
        if (DeleteFileA(path.c_str())) return Outcome::Removed;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Outcome::Absent : Outcome::Failed;
    }

    bool DeleteAtRestart(const std::string& path) override {
        return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    }

    Outcome DeleteValue(const std::string& key, const std::string& name) override {
        HKEY raw = nullptr;
        LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | kView, &raw);
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        if (result != ERROR_SUCCESS) return Outcome::Failed;
        Key opened(raw);
        result = RegDeleteValueA(opened.get(), name.c_str());
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        return result == ERROR_SUCCESS ? Outcome::Removed : Outcome::Failed;
    }

    Outcome DeleteKey(const std::string& key) override {
        const LONG result = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), kView, 0);
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        return result == ERROR_SUCCESS ? Outcome::Removed : Outcome::Failed;
    }

    bool KeyIsEmpty(const std::string& key) override {
        HKEY raw = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | kView, &raw) != ERROR_SUCCESS)
            return false;
        Key opened(raw);
        DWORD subkeys = 0, values = 0;
        if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        return subkeys == 0 && values == 0;
    }
};

class MessageBoxDialog final : public DialogPort {
public:
    bool AskYesNo(const std::string& text) override {
        return MessageBoxA(nullptr, text.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
    void Tell(const std::string& text, bool warning) override {
        MessageBoxA(nullptr, text.c_str(), kTitle, MB_OK | (warning ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
    }
};

std::string WithoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

ProductPlaces FindPlaces() {
    char buffer[MAX_PATH + 1] = {};
    ProductPlaces places;
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    places.Folder = FolderOf(std::string(buffer, length));
    places.WindowsFolder = WithoutTrailingSlash(std::string(buffer, GetWindowsDirectoryA(buffer, MAX_PATH)));
    places.SystemFolder = WithoutTrailingSlash(std::string(buffer, GetSystemDirectoryA(buffer, MAX_PATH)));
    return places;
}

}  // namespace
}  // namespace px::unins

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    px::unins::Win32Removal removal;
    px::unins::MessageBoxDialog dialog;
    const px::unins::ProductPlaces places = px::unins::FindPlaces();
    // Without our own folder every file step would aim at the root of the current drive.
    if (places.Folder.empty()) return 2;
    return px::unins::RunUninstall(commandLine ? commandLine : "", places, removal, dialog);
}
