// The installation folder as a setup or a vendor may leave it: a damaged or odd "setup.oem", a
// vendor bitmap that is no bitmap, a folder name with blanks and accented letters. The real
// programs run against it under Wine; the OEM key and every file we touch are put back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "oem_key.hpp"
#include "rbf_programs.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const wchar_t* const kOemPath = bench::kOemKeyPath;
const wchar_t kInstalled[] = L"C:\\Program Files\\TouchScreen";
const char kPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";
const char kInstallationTitle[] = "TouchScreen Driver Installation";
const char kFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";
const char kVendorBefore[] = "Vendor Before Setup";

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

void SetOemString(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kOemPath, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Read through the A interface, as every program of the suite reads it.
std::optional<std::string> OemStringA(const char* name) {
    std::vector<char> data(16384);
    DWORD size = static_cast<DWORD>(data.size()), type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM", name, RRF_RT_ANY, &type,
                     data.data(), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::string(data.data());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                nullptr) &&
                                      written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Removes a folder we made and everything in it; a program that just ended may still hold its
// image for a moment, so this tries for a while.
bool RemoveFolder(const std::wstring& folder) {
    return e2e::WaitFor(
        [&] {
            WIN32_FIND_DATAW found{};
            HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    const std::wstring name = found.cFileName;
                    if (name == L"." || name == L"..") continue;
                    const std::wstring path = folder + L"\\" + name;
                    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                        RemoveDirectoryW(path.c_str());
                    else
                        DeleteFileW(path.c_str());
                } while (FindNextFileW(search, &found));
                FindClose(search);
            }
            RemoveDirectoryW(folder.c_str());
            return !Exists(folder);
        },
        10s);
}

// A scratch installation folder, gone with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(std::wstring path) : path_(std::move(path)) {
        if (Exists(path_)) RemoveFolder(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveFolder(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }
    std::string ExeUtf8(const wchar_t* name) const { return Utf8(File(name)); }

private:
    std::wstring path_;
};

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = temp;
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path + L"\\" + name;
}

std::string RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(random() & 0xFF);
    // Runs of NULs as well, wherever the generator would not put them.
    for (std::size_t i = 0; i < count; i += 97) bytes[i] = '\0';
    return bytes;
}

// A 24-bit bottom-up bitmap file: one colour, with a one-pixel frame of another so a picture
// shown at the wrong size or offset is told apart from a right one.
std::string BitmapFile(int width, int height, COLORREF fill, COLORREF frame) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(file.bfSize, '\0');
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            const COLORREF colour = edge ? frame : fill;
            char* pixel = bytes.data() + file.bfOffBits + y * stride + x * 3;
            pixel[0] = static_cast<char>(GetBValue(colour));
            pixel[1] = static_cast<char>(GetGValue(colour));
            pixel[2] = static_cast<char>(GetRValue(colour));
        }
    return bytes;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Push buttons only: frames are of the same class and mostly have no caption either.
std::optional<e2e::ControlInfo> ButtonOf(HWND window, std::string_view caption) {
    for (const auto& control : e2e::ListControls(window)) {
        const DWORD type = control.style & BS_TYPEMASK;
        if (_stricmp(control.className.c_str(), "Button") == 0 && control.text == caption &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
            return control;
    }
    return std::nullopt;
}

// The file name of the program behind a window, in full.
std::wstring ImageOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return {};
    wchar_t name[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    const bool ok = QueryFullProcessImageNameW(process, 0, name, &size);
    CloseHandle(process);
    return ok ? std::wstring(name, size) : std::wstring();
}

std::string Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return Utf8(text);
}

class InstallFilesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
    }
    void TearDown() override {
        if (process) process->Kill();
        process.reset();
        rbf_e2e::KillRightButtonPrograms();
        // Only once nothing runs from the folder can it go.
        folder.reset();
        saved.reset();
        standin.Reset();
    }

    // A fresh installation folder that InstallPath names until the test ends.
    const ScratchFolder& InstallInto(const std::wstring& path) {
        saved.emplace();
        folder.emplace(path);
        SetOemString(L"InstallPath", folder->Path());
        return *folder;
    }

    // PXwNTcdi up to its final box; the box is never answered, since its restart would end
    // every windowed program of the bench. What it stored is read, then it is killed.
    void RunPostSetupToTheFinalBox(const std::string& program) {
        process.emplace(e2e::Process::Start(program));
        const HWND box = e2e::WaitForMessageBox(20s, process->Id());
        ASSERT_NE(box, nullptr) << "no final box";
        const auto info = e2e::ReadMessageBox(box);
        EXPECT_EQ(info.title, kInstallationTitle);
        EXPECT_EQ(info.text, kFinishedText);
        EXPECT_EQ(info.icon, e2e::MessageBoxIcon::Information);
        EXPECT_TRUE(process->IsRunning());
    }
    void EndPostSetup() {
        process->Kill();
        process.reset();
    }

    HWND StartPanel(const std::string& program) {
        process.emplace(e2e::Process::Start(program));
        main = e2e::WaitForTopLevelWindow(kPanelTitle, 10s, {process->Id(), false});
        return main;
    }
    // The window cmdSupport opens: the About window, or the Support window under the main
    // window's own caption.
    HWND ClickSupport() {
        auto support = ButtonOf(main, "S&upport");
        if (!support) support = ButtonOf(main, "&About");
        if (!support) return nullptr;
        SendMessageA(support->window, BM_CLICK, 0, 0);
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms)) return nullptr;
        return e2e::WaitFor(
            [&]() -> HWND {
                if (HWND about = e2e::FindTopLevelWindow(" About", {process->Id(), false})) return about;
                return e2e::FindTopLevelWindow(kPanelTitle, {process->Id(), false});
            },
            5000ms);
    }
    void CloseAndExit(HWND opened) {
        if (auto ok = ButtonOf(opened, "&OK")) SendMessageA(ok->window, BM_CLICK, 0, 0);
        EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms)) << "main window not back";
        if (auto exitButton = ButtonOf(main, "E&xit")) SendMessageA(exitButton->window, BM_CLICK, 0, 0);
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
        process.reset();
    }

    px::standin::StandinClient standin;
    std::optional<bench::SavedOemKey> saved;
    std::optional<ScratchFolder> folder;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

std::string Installed(const wchar_t* program) { return Utf8(std::wstring(kInstalled) + L"\\" + program); }

struct OemCase {
    const char* Name;
    std::optional<std::string> Contents;  // nullopt: no setup.oem at all
    std::optional<std::string> Stored;    // nullopt: VenderName stays as it was
};

std::string LongTitle() {
    std::string title;
    for (int i = 0; i < 10000; ++i) title += static_cast<char>('A' + i % 26);
    return title;
}

std::vector<OemCase> OemCases() {
    const std::string longTitle = LongTitle();
    const std::string blanksAtTheCut = std::string(250, 'V') + std::string(10, ' ') + std::string(9740, 'W');
    return {
        {"no setup.oem", std::nullopt, std::nullopt},
        {"empty file", "", std::nullopt},
        {"binary garbage", RandomBytes(4096, 9), std::nullopt},
        // Lines that are no INI lines are passed over, NULs included.
        {"valid entry after garbage", RandomBytes(512, 17) + "\r\n[SETUP]\r\nTITLE=Garbage Vendor\r\n",
         "Garbage Vendor"},
        {"10,000-character TITLE", "[SETUP]\r\nTITLE=" + longTitle + "\r\n", longTitle.substr(0, 254)},
        {"10,000-character TITLE cut inside blanks", "[SETUP]\r\nTITLE=" + blanksAtTheCut + "\r\n",
         std::string(250, 'V')},
        {"TITLE under another section", "[OTHER]\r\nTITLE=Other Vendor\r\n", std::nullopt},
        {"SETUP without TITLE", "[SETUP]\r\nNAME=Some Vendor\r\n", std::nullopt},
        {"empty TITLE", "[SETUP]\r\nTITLE=\r\n", std::nullopt},
        {"TITLE with trailing blanks", "[SETUP]\r\nTITLE=Acme Touch   \r\n", "Acme Touch"},
        {"quoted TITLE with blanks both sides", "[SETUP]\r\nTITLE=\"  Acme Touch  \"\r\n", "  Acme Touch"},
        {"normal TITLE", "[Setup]\r\ntitle=Acme Touch Systems\r\n", "Acme Touch Systems"},
    };
}

TEST_F(InstallFilesE2E, PostSetupStoresOnlyWhatSetupOemReallyGives) {
    const auto& install = InstallInto(TempFolder(L"px-setup-oem"));
    const auto others = [] {
        std::vector<std::optional<std::string>> values;
        for (const char* name : {"InstallPath", "WindowsPath", "SystemPath", "HardwareID"})
            values.push_back(OemStringA(name));
        return values;
    };
    const auto othersBefore = others();
    for (const auto& c : OemCases()) {
        SCOPED_TRACE(c.Name);
        SetOemString(L"VenderName", L"Vendor Before Setup");
        DeleteFileW(install.File(L"setup.oem").c_str());
        if (c.Contents) {
            ASSERT_TRUE(WriteBytes(install.File(L"setup.oem"), *c.Contents));
        }
        RunPostSetupToTheFinalBox(Installed(L"PXwNTcdi.exe"));
        EXPECT_EQ(OemStringA("VenderName"), c.Stored.value_or(kVendorBefore));
        EXPECT_EQ(others(), othersBefore);
        EndPostSetup();
    }
}

TEST_F(InstallFilesE2E, PostSetupLeavesTheNameWhenSetupOemIsAFolder) {
    const auto& install = InstallInto(TempFolder(L"px-setup-oem"));
    SetOemString(L"VenderName", L"Vendor Before Setup");
    ASSERT_TRUE(CreateDirectoryW(install.File(L"setup.oem").c_str(), nullptr));
    RunPostSetupToTheFinalBox(Installed(L"PXwNTcdi.exe"));
    EXPECT_EQ(OemStringA("VenderName"), std::optional<std::string>(kVendorBefore));
    EndPostSetup();
}

struct BitmapCase {
    const char* Name;
    std::string Contents;
    bool SupportOpens;  // false: the About window comes instead
};

TEST_F(InstallFilesE2E, SupportButtonWithAnUnreadableBitmapOpensAbout) {
    const auto& install = InstallInto(TempFolder(L"px-vendor-bmp"));
    const std::string real = BitmapFile(120, 60, RGB(0, 160, 80), RGB(200, 0, 200));
    std::string tooWide = real;
    reinterpret_cast<BITMAPINFOHEADER*>(tooWide.data() + sizeof(BITMAPFILEHEADER))->biWidth = 30000;
    const BitmapCase cases[] = {
        {"zero bytes", "", false},
        {"random bytes", RandomBytes(4096, 5), false},
        // Wine's loader takes these three: a black box, or a window 30,000 pixels wide whose OK
        // lies far off the screen.
        {"headers only", real.substr(0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)), false},
        {"cut to half", real.substr(0, real.size() / 2), false},
        {"width claiming more pixels than the file holds", tooWide, false},
        // Whole and valid, but beyond what is loaded in every session: 2049 pixels wide.
        {"wider than the vendor bitmap's limit", BitmapFile(2049, 4, RGB(0, 160, 80), RGB(200, 0, 200)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(WriteBytes(install.File(L"PXVender.Bmp"), c.Contents));
        ASSERT_NE(StartPanel(Installed(L"PXwNTccp.exe")), nullptr);
        // The file is there, so the button offers Support; what opens is decided at the click.
        EXPECT_TRUE(ButtonOf(main, "S&upport").has_value());
        const HWND opened = ClickSupport();
        ASSERT_NE(opened, nullptr) << "nothing opened";
        EXPECT_TRUE(process->IsRunning());
        EXPECT_EQ(e2e::FindMessageBox(process->Id()), nullptr);
        EXPECT_EQ(e2e::WindowText(opened), c.SupportOpens ? kPanelTitle : " About");
        if (!c.SupportOpens) {
            EXPECT_TRUE(e2e::FindControlByText(opened, OemStringA("VenderName").value_or("?")).has_value());
        }
        CloseAndExit(opened);
    }
}

TEST_F(InstallFilesE2E, SupportWindowShowsAValidBitmapSizedToIt) {
    const auto& install = InstallInto(TempFolder(L"px-vendor-bmp"));
    const int width = 120, height = 60;
    const COLORREF fill = RGB(0, 160, 80), frame = RGB(200, 0, 200);
    ASSERT_TRUE(WriteBytes(install.File(L"PXVender.Bmp"), BitmapFile(width, height, fill, frame)));
    ASSERT_NE(StartPanel(Installed(L"PXwNTccp.exe")), nullptr);
    const HWND support = ClickSupport();
    ASSERT_NE(support, nullptr);
    EXPECT_EQ(e2e::WindowText(support), kPanelTitle);
    // At 15 twips a pixel: 60 twips (4 pixels) above the bitmap, 120 (8) between it and OK,
    // 120 below OK, which is 495 twips (33 pixels) high.
    RECT client{};
    GetClientRect(support, &client);
    EXPECT_EQ(client.right - client.left, width);
    EXPECT_EQ(client.bottom - client.top, height + 20 + 33);
    const auto ok = ButtonOf(support, "&OK");
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(ok->parentClientRect.top, 4 + height + 8);
    EXPECT_LE(std::abs((ok->parentClientRect.left + ok->parentClientRect.right) - width), 1) << "OK not centred";
    std::optional<e2e::ControlInfo> shown;
    for (const auto& control : e2e::ListControls(support))
        if (control.screenRect.right - control.screenRect.left == width &&
            control.screenRect.bottom - control.screenRect.top == height)
            shown = control;
    ASSERT_TRUE(shown.has_value()) << "no control of the bitmap's size";
    EXPECT_EQ(shown->parentClientRect.left, 0);
    EXPECT_EQ(shown->parentClientRect.top, 4);  // 60 twips
    const RECT r = shown->screenRect;
    EXPECT_TRUE(e2e::WaitFor([&] { return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2) == fill; },
                             3000ms))
        << "the bitmap is not on the screen";
    EXPECT_EQ(ScreenPixel(r.left, r.top), frame);
    EXPECT_EQ(ScreenPixel(r.right - 1, r.bottom - 1), frame);
    CloseAndExit(support);
}

// Every name in the folder that holds it, as the file system lists them.
bool ListedIn(const std::wstring& parent, const std::wstring& name) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((parent + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool listed = false;
    do listed = listed || name == found.cFileName;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return listed;
}

std::string Ansi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::wstring OemStringW(const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kOemPath, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"(missing)";
    return data;
}

// The programs are ANSI: the folder name must survive the round trip through the code page.
bool FitsTheAnsiCodePage(const std::wstring& text) {
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &lost);
    return size > 0 && !lost;
}

TEST_F(InstallFilesE2E, FolderWithBlanksAndAccentedLettersServesEveryProgram) {
    const std::wstring parent = L"C:\\Program Files";
    const std::wstring name = L"Touch \u00C9cran \u00DC";
    std::printf("ANSI code page %u\n", GetACP());
    ASSERT_TRUE(FitsTheAnsiCodePage(name)) << "code page " << GetACP();
    const auto& install = InstallInto(parent + L"\\" + name);
    ASSERT_TRUE(ListedIn(parent, name));
    for (const wchar_t* program : {L"PXwNTccp.exe", L"PXwNTcao.exe", L"PXwNTcrb.exe", L"PXwNTcdi.exe"})
        ASSERT_TRUE(CopyFileW((std::wstring(kInstalled) + L"\\" + program).c_str(), install.File(program).c_str(),
                              FALSE))
            << Utf8(program);
    // What the programs read: the accented letters as single code-page bytes.
    if (GetACP() == 1252) {
        EXPECT_EQ(OemStringA("InstallPath"), "C:\\Program Files\\Touch \xC9" "cran \xDC");
    }

    {
        SCOPED_TRACE("Support window reads the bitmap there");
        ASSERT_TRUE(WriteBytes(install.File(L"PXVender.Bmp"), BitmapFile(90, 45, RGB(0, 160, 80), RGB(200, 0, 200))));
        ASSERT_NE(StartPanel(install.ExeUtf8(L"PXwNTccp.exe")), nullptr);
        const HWND support = ClickSupport();
        ASSERT_NE(support, nullptr);
        EXPECT_EQ(e2e::WindowText(support), kPanelTitle);
        RECT client{};
        GetClientRect(support, &client);
        EXPECT_EQ(client.right - client.left, 90);
        CloseAndExit(support);
    }
    {
        SCOPED_TRACE("PXVender.Cut there disables the button");
        ASSERT_TRUE(WriteBytes(install.File(L"PXVender.Cut"), ""));
        ASSERT_NE(StartPanel(install.ExeUtf8(L"PXwNTccp.exe")), nullptr);
        EXPECT_FALSE(ButtonOf(main, "S&upport").has_value());
        EXPECT_FALSE(ButtonOf(main, "&About").has_value());
        const auto blank = ButtonOf(main, "");
        ASSERT_TRUE(blank.has_value());
        EXPECT_FALSE(blank->enabled);
        if (auto exitButton = ButtonOf(main, "E&xit")) SendMessageA(exitButton->window, BM_CLICK, 0, 0);
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
        process.reset();
    }
    {
        SCOPED_TRACE("the start-up program starts the right-button program from there");
        auto block = standin.Block();
        block.RightButton = 1;
        standin.WriteBlock(block);
        process.emplace(e2e::Process::Start(install.ExeUtf8(L"PXwNTcao.exe")));
        EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
        process.reset();
        const HWND button = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s);
        ASSERT_NE(button, nullptr) << "PXwNTcrb did not start";
        EXPECT_EQ(Lower(ImageOf(button)), Lower(install.File(L"PXwNTcrb.exe")));
        rbf_e2e::KillRightButtonPrograms();
    }
    {
        SCOPED_TRACE("PXwNTcdi reads setup.oem there");
        // The file is in the code page too, and so is a vendor name with accents.
        SetOemString(L"VenderName", L"Vendor Before Setup");
        const std::wstring vendor = L"\u00C9cran Syst\u00E8mes";
        ASSERT_TRUE(FitsTheAnsiCodePage(vendor));
        ASSERT_TRUE(WriteBytes(install.File(L"setup.oem"), "[SETUP]\r\nTITLE=" + Ansi(vendor) + "\r\n"));
        RunPostSetupToTheFinalBox(install.ExeUtf8(L"PXwNTcdi.exe"));
        EXPECT_EQ(OemStringW(L"VenderName"), vendor);
        EndPostSetup();
    }
}

}  // namespace
