// Opens every window of the suite through its real UI, one after the other, and saves a picture
// of the screen for each with the window's rectangle beside it (scripts/screenshots crops and
// converts them). Not a test: it stops at the first window it cannot reach and says which.
//
//   screenshot_tour.exe OUTPUT_FOLDER SAMPLE_VENDOR_BMP
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "drawing_surface.hpp"
#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/screenshot.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const std::string kFolder = "C:\\Program Files\\TouchScreen\\";
const char kPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";
constexpr std::uint32_t kGetReport = 0xF2030;

std::filesystem::path output;
std::ofstream rectangles;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

HWND Need(HWND window, const std::string& what) {
    if (!window) Fail("did not appear: " + what);
    return window;
}

// Full screen picture plus the window's outer rectangle; "full" keeps the whole screen.
void Shot(const std::string& name, HWND window, bool full = false) {
    std::this_thread::sleep_for(800ms);  // the window manager maps it, Wine paints on the expose
    if (!e2e::SaveScreenshot(output / (name + ".bmp"))) Fail("could not save " + name);
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!full) GetWindowRect(window, &r);
    rectangles << name << ' ' << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top
               << '\n';
    rectangles.flush();
    std::printf("%s\n", name.c_str());
}

void Click(HWND window, const char* caption) {
    for (const auto& control : e2e::ListControls(window))
        if (_stricmp(control.className.c_str(), "Button") == 0 && control.text == caption) {
            e2e::PostButtonClick(control.window);
            return;
        }
    Fail(std::string("no button ") + caption);
}

struct Panel {
    e2e::Process process;
    HWND main;

    explicit Panel(const std::string& program)
        : process(e2e::Process::Start(program)),
          main(Need(e2e::WaitForTopLevelWindow(kPanelTitle, 10s, {process.Id(), false}), program)) {
        process.WaitForInputIdle(10s);
    }
    // The settings windows carry the program title too: the visible one that is not main.
    HWND OpenSettings(const char* button) {
        Click(main, button);
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms)) Fail(button);
        return Need(e2e::WaitForTopLevelWindow(kPanelTitle, 5s, {process.Id(), false}), button);
    }
    void BackToMain(HWND window, const char* button) {
        Click(window, button);
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms)) Fail("back from " + std::string(button));
    }
    HWND ServiceGesture(const char* button, const char* caption) {
        auto control = e2e::FindControlByText(main, button);
        if (!control) Fail(button);
        e2e::MouseClickControl(control->window, e2e::MouseButton::Right, {.shift = true, .ctrl = true});
        return Need(e2e::WaitForTopLevelWindow(caption, 10s, {process.Id(), false}), caption);
    }
    ~Panel() {
        if (!process.IsRunning()) return;
        if (IsWindowVisible(main)) {
            if (auto exit = e2e::FindControlByText(main, "E&xit")) e2e::PostButtonClick(exit->window);
            if (process.WaitForExit(5s)) return;
        }
        process.Kill();
    }
};

std::uint64_t ReportPolls(px::standin::StandinClient& standin) {
    std::uint64_t polls = 0;
    for (const auto& entry : standin.Journal())
        if (entry.Code == kGetReport) polls += entry.Repeat;
    return polls;
}


using bench::DrawingSurface;
using bench::Stroke;

void ControlPanelWindows(px::standin::StandinClient& standin) {
    Panel panel(kFolder + "PXwNTccp.exe");
    Shot("01-main", panel.main);

    Click(panel.main, "&About");
    HWND about = Need(e2e::WaitForTopLevelWindow(" About", 5s, {panel.process.Id(), false}), "About");
    Shot("02-about", about);
    panel.BackToMain(about, "&OK");

    const struct {
        const char* button;
        const char* name;
        const char* close;  // Serial Port has no Cancel; its OK sends nothing when nothing changed
    } settings[] = {
        {"&Serial Port", "04-serial-port", "&OK"},
        {"&Virtual Button", "05-virtual-button", "&Cancel"},
        {"&Feedback Sound", "06-feedback-sound", "&Cancel"},
        {"&Mouse Speed", "07-mouse-speed", "&Cancel"},
        {"&Power Save", "08-power-save", "&Cancel"},
    };
    for (const auto& s : settings) {
        HWND w = panel.OpenSettings(s.button);
        Shot(s.name, w);
        panel.BackToMain(w, s.close);
    }

    Click(panel.main, "&Calibration");
    HWND calibration = Need(e2e::WaitForTopLevelWindow("Calibration", 10s, {panel.process.Id(), false}), "Calibration");
    const auto before = ReportPolls(standin);
    if (!e2e::WaitFor([&] { return ReportPolls(standin) > before + 10; }, 5000ms)) Fail("calibration polls");
    Shot("11-calibration", calibration, true);
    e2e::PostKey(calibration, VK_ESCAPE);
    HWND box = Need(e2e::WaitForMessageBox(10s, panel.process.Id()), "break question");
    e2e::AnswerMessageBox(box, IDYES);
    if (!e2e::WaitForWindowGone(calibration, 10s)) Fail("calibration stays");
    if (!e2e::WaitFor([&] { return IsWindowVisible(panel.main) != FALSE; }, 5000ms)) Fail("main after calibration");

    HWND board = panel.ServiceGesture("E&xit", "Test");
    HWND surface = Need(DrawingSurface(board), "drawing surface");
    Stroke(surface, {{100, 100}, {200, 150}, {300, 120}, {400, 250}});
    Stroke(surface, {{150, 300}, {250, 400}, {500, 380}, {620, 200}});
    Stroke(surface, {{300, 420}, {340, 330}, {380, 420}});
    Shot("12-test-board", board, true);
    Click(board, "E&xit Test");
    if (!e2e::WaitFor([&] { return IsWindowVisible(panel.main) != FALSE; }, 5000ms)) Fail("main after test");

    HWND mcu = panel.ServiceGesture("&Serial Port", " MCU Information");
    Shot("13-controller-information", mcu);
    panel.BackToMain(mcu, "&OK");
}

// Touch Sensitivity and COM Port Configuration have no visible button in the product.
void HiddenWindows(const std::string& unlockedPanel) {
    Panel panel(unlockedPanel);
    HWND serial = panel.OpenSettings("&Serial Port");
    Click(serial, "&Setup");
    HWND setup = Need(e2e::WaitForTopLevelWindow(" COM Port Configuration", 5s, {panel.process.Id(), false}),
                      "COM Port Configuration");
    Shot("10-com-port-configuration", setup);
    Click(setup, "&Cancel");
    if (!e2e::WaitFor([&] { return IsWindowVisible(serial) != FALSE; }, 5000ms)) Fail("serial after setup");
    panel.BackToMain(serial, "&OK");

    HWND sensitivity = panel.OpenSettings("&Touch Sensitivity");
    Shot("09-touch-sensitivity", sensitivity);
    panel.BackToMain(sensitivity, "&Cancel");
}

void SupportWindow(const std::filesystem::path& sample) {
    const std::string bitmap = kFolder + "PXVender.Bmp";
    if (!CopyFileW(sample.wstring().c_str(), std::filesystem::path(bitmap).wstring().c_str(), FALSE))
        Fail("could not copy the sample bitmap");
    try {
        Panel panel(kFolder + "PXwNTccp.exe");
        HWND support = panel.OpenSettings("S&upport");  // it carries the program title too
        Shot("03-support", support);
        panel.BackToMain(support, "&OK");
    } catch (...) {
        DeleteFileA(bitmap.c_str());
        throw;
    }
    DeleteFileA(bitmap.c_str());
}

void OtherPrograms(const std::string& progressShow) {
    {
        auto rbf = e2e::Process::Start(kFolder + "PXwNTcrb.exe");
        HWND button = Need(e2e::WaitForTopLevelWindow(" C-RBF", 10s, {rbf.Id(), false}), "right-button window");
        Shot("14-right-button", button);
        SendMessageA(button, WM_USER, 4110, 0);
        rbf.WaitForExit(5s);
    }
    {
        // Up for about a second: poll hard and take it at once.
        auto startup = e2e::Process::Start(kFolder + "PXwNTcao.exe");
        HWND window = Need(e2e::WaitForTopLevelWindow(" TouchScreen System Startup #PX-K17-COM", 5s,
                                                      {startup.Id(), false}),
                           "start-up window");
        std::this_thread::sleep_for(300ms);
        if (!e2e::SaveScreenshot(output / "15-startup.bmp")) Fail("startup shot");
        RECT r{};
        GetWindowRect(window, &r);
        rectangles << "15-startup " << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top
                   << '\n';
        std::printf("15-startup\n");
        startup.WaitForExit(10s);
        // It may have started the right-button program.
        if (HWND rbf = e2e::FindTopLevelWindow(" C-RBF")) SendMessageA(rbf, WM_USER, 4110, 0);
    }
    {
        // Only ever No here: Yes would remove the installation and restart the whole prefix.
        auto remover = e2e::Process::Start(kFolder + "PXwNTcde.exe");
        HWND window = Need(e2e::WaitForTopLevelWindow("TouchScreen Software Removal", 10s, {remover.Id(), false}),
                           "removal question");
        Shot("16-removal-question", window);
        Click(window, "&No");
        if (!remover.WaitForExit(5s)) remover.Kill();
    }
    {
        auto progress = e2e::Process::Start(progressShow);
        HWND window = Need(e2e::WaitForTopLevelWindow("TouchScreen Driver Installation", 10s, {progress.Id(), false}),
                           "progress window");
        Shot("17-progress", window);
        progress.Kill();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: screenshot_tour OUTPUT_FOLDER SAMPLE_VENDOR_BMP UNLOCKED_PANEL PROGRESS_SHOW\n");
        return 2;
    }
    output = e2e::ToWindowsPath(argv[1]);
    std::filesystem::create_directories(output);
    rectangles.open(output / "rectangles.txt");
    try {
        px::standin::StandinClient standin;
        standin.Reset();
        ControlPanelWindows(standin);
        HiddenWindows(e2e::ToWindowsPath(argv[3]));
        SupportWindow(e2e::ToWindowsPath(argv[2]));
        OtherPrograms(e2e::ToWindowsPath(argv[4]));
        standin.Reset();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "screenshot_tour: %s\n", error.what());
        return 1;
    }
    return 0;
}
