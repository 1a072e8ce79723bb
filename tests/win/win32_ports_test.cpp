// The ports against the real Win32 API (Wine's registry and file system).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <optional>
#include <thread>

#include "shared/driver_channel.hpp"
#include "shared/registry_store.hpp"
#include "shared/window_utils.hpp"
#include "win32/win32_ports.hpp"

namespace px {
namespace {

const char kTestKey[] = "Software\\PxSuiteTests\\Registry";

class RealRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PxSuiteTests");
        ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kTestKey, &raw_), ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegCloseKey(raw_);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PxSuiteTests");
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExA(raw_, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    RegKey Open() {
        std::string sub = "\\Registry";
        RegKey key = 0;
        EXPECT_TRUE(store.OpenRegistryKey(kHkeyCurrentUser, "Software\\PxSuiteTests", sub, key));
        EXPECT_EQ(sub, "Registry");
        return key;
    }

    HKEY raw_ = nullptr;
    win32::RegistryApi api;
    RegistryStore store{api};
};

TEST_F(RealRegistryTest, ReadsOnlyPlainStringsCutAtTheFirstNul) {
    SetRaw("Plain", REG_SZ, "hello", 6);
    SetRaw("Embedded", REG_SZ, "ab\0cd", 6);
    SetRaw("Empty", REG_SZ, "", 1);
    SetRaw("Expand", REG_EXPAND_SZ, "%WINDIR%", 9);
    const DWORD number = 7;
    SetRaw("Number", REG_DWORD, &number, sizeof number);
    const RegKey key = Open();

    struct Case {
        const char* Name;
        bool Ok;
        std::string Text;
    } cases[] = {{"Plain", true, "hello"},   {"Embedded", true, "ab"},  {"Empty", true, ""},
                 {"Expand", false, "kept"}, {"Number", false, "kept"}, {"Missing", false, "kept"}};
    for (const auto& c : cases) {
        std::string text = "kept";
        EXPECT_EQ(store.ReadRegistryString(key, c.Name, text), c.Ok) << c.Name;
        EXPECT_EQ(text, c.Text) << c.Name;
    }
    EXPECT_TRUE(store.CloseRegistryKey(key));
}

TEST_F(RealRegistryTest, WrittenStringsCarryTheirTerminatingNul) {
    const RegKey key = Open();
    ASSERT_TRUE(store.WriteRegistryString(key, "DoubleClickWidth", "32"));
    ASSERT_TRUE(store.WriteRegistryString(key, "Blank", ""));
    EXPECT_TRUE(store.CloseRegistryKey(key));
    char data[16] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    ASSERT_EQ(::RegQueryValueExA(raw_, "DoubleClickWidth", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 3u);
    EXPECT_STREQ(data, "32");
    size = sizeof data;
    ASSERT_EQ(::RegQueryValueExA(raw_, "Blank", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 1u);
}

const char kOemPath[] = "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";

// The OEM key is fixed, so this test puts back whatever the bench had there.
class RealOemKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOemPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        for (const char* name : {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"}) {
            char data[1024];
            DWORD size = sizeof data;
            DWORD type = 0;
            if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
                saved_[name] = std::string(data, size);
        }
        ::RegCloseKey(key);
        existed_ = true;
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kOemPath);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kOemPath);
        if (!existed_) return;
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, kOemPath, &key), ERROR_SUCCESS);
        for (const auto& [name, data] : saved_)
            ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
        ::RegCloseKey(key);
    }
    static void Remove() {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kOemPath);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kOemPath);
    }
    static bool Exists() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOemPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    bool existed_ = false;
    std::map<std::string, std::string> saved_;
    win32::RegistryApi api;
};

TEST_F(RealOemKeyTest, MissingKeyIsCreatedAndLoadFails) {
    Remove();
    ASSERT_FALSE(Exists());
    OemRecord oem{api};
    EXPECT_FALSE(oem.LoadOemData());
    EXPECT_TRUE(Exists());
}

TEST_F(RealOemKeyTest, LoadsTheFiveValuesAndSavesTheVendor) {
    Remove();
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, kOemPath, &key), ERROR_SUCCESS);
    const std::pair<const char*, const char*> values[] = {{"VenderName", "Vendor"},
                                                          {"InstallPath", "C:\\Program Files\\TouchScreen"},
                                                          {"WindowsPath", "C:\\windows"},
                                                          {"SystemPath", "C:\\windows\\system32"},
                                                          {"HardwareID", "HW"}};
    for (const auto& [name, text] : values)
        ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(std::strlen(text) + 1));
    ::RegCloseKey(key);

    OemRecord oem{api};
    ASSERT_TRUE(oem.LoadOemData());
    EXPECT_EQ(oem.InstallPath, "C:\\Program Files\\TouchScreen");
    EXPECT_EQ(oem.HardwareID, "HW");
    oem.VenderName = "Saved Vendor";
    ASSERT_TRUE(oem.SaveVenderName());
    OemRecord again{api};
    ASSERT_TRUE(again.LoadOemData());
    EXPECT_EQ(again.VenderName, "Saved Vendor");
}

class RealFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "px file test";
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        file_ = folder_ + "\\PXVender.Bmp";
        HANDLE h = ::CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(h, "BM", 2, &written, nullptr);
        ::CloseHandle(h);
    }
    void TearDown() override {
        ::DeleteFileA(file_.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_;
    std::string file_;
    win32::FileApi files;
};

TEST_F(RealFileTest, ReadableFileExistsFolderAndMissingDoNot) {
    EXPECT_TRUE(FileExists(files, file_));
    EXPECT_FALSE(FileExists(files, folder_));
    EXPECT_FALSE(FileExists(files, folder_ + "\\PXVender.Cut"));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(RealFileTest, FileHeldWithoutReadSharingCountsAsMissing) {
    HANDLE held = ::CreateFileA(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(files, file_));
    ::CloseHandle(held);
    EXPECT_TRUE(FileExists(files, file_));
}

TEST(RealDevice, MissingDeviceGivesTheInvalidHandle) {
    win32::DeviceApi device;
    EXPECT_EQ(device.Open("\\\\.\\PXNOSUCHDEVICE"), kInvalidDevice);
}

TEST(RealRunningCopy, AMarkerThisUserMayNotOpenIsARunningCopy) {
    // What a copy running elevated leaves for an ordinary one: an access list granting it nothing.
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    alignas(DWORD) char aclSpace[64];
    auto* acl = reinterpret_cast<PACL>(aclSpace);
    ASSERT_TRUE(::InitializeAcl(acl, sizeof aclSpace, ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    HANDLE held = ::CreateMutexA(&attributes, FALSE, "Local\\PxMarkerTestElevated.running");
    ASSERT_NE(held, nullptr);
    HANDLE again = ::CreateMutexA(nullptr, FALSE, "Local\\PxMarkerTestElevated.running");
    const DWORD refused = ::GetLastError();
    if (again) ::CloseHandle(again);
    ASSERT_EQ(again, nullptr) << "the marker was not refused (error " << refused << ")";
    EXPECT_EQ(refused, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    win32::WindowSearchApi ordinary("PxMarkerTestElevated");
    EXPECT_TRUE(ordinary.PreviousInstance());
    ::CloseHandle(held);
}

TEST(RealCursor, HideAndRestoreReachTheirCounts) {
    win32::UiApi ui;
    HideCursor(ui);
    HideCursor(ui);
    const int hidden = ::ShowCursor(FALSE);
    EXPECT_LT(hidden, -1);
    ::ShowCursor(TRUE);
    RestoreCursor(ui);
    const int shown = ::ShowCursor(TRUE);
    EXPECT_EQ(shown, 1);
    ::ShowCursor(FALSE);
}

// When the box goes, Windows activates the next enabled window: the program's own windows must
// be enabled again while the box is still up, or that window is another program's. (Wine enables
// the box's owner itself, so a second window of the program tells.)
TEST(RealMessageBox, WindowsDisabledForTheBoxAreEnabledBeforeItGoes) {
    struct Seen {
        HWND watched = nullptr;
        bool enabledWhileBoxShown = false;
        bool disabledWhileOpen = false;
    };
    static Seen seen;
    const char kBoxTitle[] = "PxBoxEnableTest";
    WNDCLASSA type{};
    type.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_ENABLE && wParam && window == seen.watched)
            seen.enabledWhileBoxShown = ::IsWindowVisible(::FindWindowA("#32770", "PxBoxEnableTest"));
        return ::DefWindowProcA(window, message, wParam, lParam);
    };
    type.hInstance = ::GetModuleHandleA(nullptr);
    type.lpszClassName = "PxBoxOwnerTest";
    ::RegisterClassA(&type);
    auto make = [&](const char* name) {
        return ::CreateWindowExA(0, type.lpszClassName, name, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, type.hInstance, nullptr);
    };
    HWND other = make("other");
    HWND owner = make("owner");
    ASSERT_TRUE(other && owner);
    seen.watched = other;
    ::SetActiveWindow(owner);
    std::thread answer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, ::Sleep(10)) box = ::FindWindowA("#32770", kBoxTitle);
        if (!box) return;
        seen.disabledWhileOpen = !::IsWindowEnabled(other) && !::IsWindowEnabled(owner);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    win32::UiApi ui;
    EXPECT_EQ(ui.ShowMessageBox("text", kBoxTitle, kBoxOk | kBoxSystemModal), IDOK);
    answer.join();
    EXPECT_TRUE(seen.disabledWhileOpen);
    EXPECT_TRUE(seen.enabledWhileBoxShown);
    EXPECT_TRUE(::IsWindowEnabled(other) && ::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
    ::DestroyWindow(other);
}

}  // namespace
}  // namespace px
