// Layout of the real programs at the display's DPI: run once per DPI by run_dpi_rounds.sh, which
// sets the DPI in a prefix of its own and names it in PX_EXPECTED_DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const char kFolder[] = "C:\\Program Files\\TouchScreen\\";
const char kPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(double twips) { return static_cast<int>(std::lround(twips / (1440.0 / ScreenDpi()))); }

// A control as declared in twips, relative to its container; no size for the auto-sized labels.
struct Placed {
    const char* text;
    double left, top, width = 0, height = 0;
};

void ExpectPlaced(const e2e::ControlInfo& c, const Placed& p) {
    const RECT& r = c.parentClientRect;
    EXPECT_NEAR(r.left, Px(p.left), 1) << p.text;
    EXPECT_NEAR(r.top, Px(p.top), 1) << p.text;
    if (p.width > 0) {
        EXPECT_NEAR(r.right - r.left, Px(p.width), 1) << p.text;
    }
    if (p.height > 0) {
        EXPECT_NEAR(r.bottom - r.top, Px(p.height), 1) << p.text;
    }
}

void ExpectControls(HWND parent, std::initializer_list<Placed> table) {
    for (const Placed& p : table) {
        auto c = e2e::FindControlByText(parent, p.text);
        if (!c) {
            ADD_FAILURE() << "no control " << p.text;
            continue;
        }
        ExpectPlaced(*c, p);
    }
}

// Labels whose text comes from the device: found by where they start.
void ExpectLabelsAt(HWND parent, std::initializer_list<POINT> twipsOrigins) {
    const auto controls = e2e::ListControls(parent);
    for (POINT origin : twipsOrigins) {
        bool found = false;
        for (const auto& c : controls)
            found |= _stricmp(c.className.c_str(), "Static") == 0 && c.visible &&
                     std::abs(c.parentClientRect.left - Px(origin.x)) <= 1 &&
                     std::abs(c.parentClientRect.top - Px(origin.y)) <= 1;
        EXPECT_TRUE(found) << "no label at " << origin.x << "," << origin.y << " twips";
    }
}

void ExpectClientSize(HWND window, double width, double height) {
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, Px(width), 1);
    EXPECT_NEAR(client.bottom, Px(height), 1);
}

std::string WithoutMnemonics(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

// A label's font as the window declares it; labels not named use the default one.
struct LabelFont {
    const char* textStart;
    const char* face;
    double points;
    bool bold;
};
const LabelFont kDefaultFont{"", "MS Sans Serif", 8.25, false};
const LabelFont kTitleFonts[] = {{"Veldrant", "Times New Roman", 18, true},
                                 {"TouchScreen Control Panel Version", "MS Sans Serif", 8.25, true},
                                 {"Copyright", "MS Sans Serif", 8.25, true}};

// Every visible label's text fits the label's client area; a label tall enough for two lines may
// wrap. Under Wine, WM_GETFONT from another process answers NULL for these labels, so the text is
// measured in the declared font, made at the screen's DPI as any program there would make it.
void ExpectLabelTextsFit(HWND window) {
    int checked = 0;
    HDC dc = GetDC(nullptr);
    for (const auto& c : e2e::ListControls(window)) {
        if (_stricmp(c.className.c_str(), "Static") != 0 || !c.visible || c.text.empty()) continue;
        LabelFont declared = kDefaultFont;
        for (const LabelFont& f : kTitleFonts)
            if (c.text.rfind(f.textStart, 0) == 0) declared = f;
        HFONT font = CreateFontA(-static_cast<int>(std::lround(declared.points * ScreenDpi() / 72.0)), 0, 0, 0,
                                 declared.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, declared.face);
        HGDIOBJ old = SelectObject(dc, font);
        RECT client{};
        GetClientRect(c.window, &client);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        const std::string plain = (c.style & SS_NOPREFIX) ? c.text : WithoutMnemonics(c.text);
        if (client.bottom >= 2 * metrics.tmHeight) {
            RECT need{0, 0, client.right, 0};
            DrawTextA(dc, c.text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK);
            EXPECT_LE(need.bottom, client.bottom) << '"' << c.text << "\" wraps beyond its label";
            EXPECT_LE(need.right, client.right) << '"' << c.text << "\" has a word wider than its label";
        } else {
            SIZE need{};
            GetTextExtentPoint32A(dc, plain.c_str(), static_cast<int>(plain.size()), &need);
            EXPECT_LE(need.cx, client.right) << '"' << c.text << "\" is cut off at " << ScreenDpi() << " DPI";
            EXPECT_LE(need.cy, client.bottom) << '"' << c.text << "\" is cut off below at " << ScreenDpi() << " DPI";
        }
        SelectObject(dc, old);
        DeleteObject(font);
        ++checked;
    }
    ReleaseDC(nullptr, dc);
    EXPECT_GT(checked, 0) << "no labels to measure";
}

void Click(HWND window, const char* caption) {
    auto button = e2e::FindControlByText(window, caption);
    ASSERT_TRUE(button) << caption;
    PostMessageA(button->window, BM_CLICK, 0, 0);
}

class DpiE2E : public ::testing::Test {
protected:
    void SetUp() override { standin.Reset(); }

    px::standin::StandinClient standin;
};

TEST_F(DpiE2E, TheDisplayRunsAtTheRoundsDpi) {
    const char* expected = std::getenv("PX_EXPECTED_DPI");
    ASSERT_NE(expected, nullptr) << "run through run_dpi_rounds.sh";
    EXPECT_EQ(ScreenDpi(), std::atoi(expected));
}

TEST_F(DpiE2E, ControlPanelWindowsKeepTheirTwipsGeometryAndTheirLabelsFit) {
    e2e::Process process = e2e::Process::Start(std::string(kFolder) + "PXwNTccp.exe");
    HWND main = e2e::WaitForTopLevelWindow(kPanelTitle, 10s, {process.Id(), false});
    ASSERT_NE(main, nullptr);
    process.WaitForInputIdle(10s);

    ExpectClientSize(main, 6645, 5715);
    // Without a vendor bitmap the Support button offers About.
    ExpectControls(main, {{"&Serial Port", 480, 1500, 1695, 435},
                          {"&Virtual Button", 480, 2100, 1695, 435},
                          {"&Feedback Sound", 480, 2700, 1695, 435},
                          {"&Mouse Speed", 480, 3300, 1695, 435},
                          {"&Power Save", 480, 3900, 1695, 435},
                          {"&Calibration", 480, 4500, 1695, 435},
                          {"&About", 2280, 4500, 1875, 435},
                          {"E&xit", 4260, 4500, 1875, 435}});
    ExpectLabelsAt(main, {{480, 480}, {480, 960}, {2400, 1620}, {2400, 2220}, {2400, 2820}, {2400, 3420}, {2400, 4020}});
    auto icon = e2e::FindControlByClass(main, "PxSurface");
    ASSERT_TRUE(icon);
    ExpectPlaced(*icon, {"picIcon", 5280, 360, 780, 780});
    ExpectLabelTextsFit(main);

    Click(main, "&About");
    HWND about = e2e::WaitForTopLevelWindow(" About", 5s, {process.Id(), false});
    ASSERT_NE(about, nullptr);
    ExpectClientSize(about, 6975, 2880);
    ExpectControls(about, {{"&OK", 2880, 2040, 1215, 495}});
    ExpectLabelsAt(about, {{480, 480}, {480, 960}, {480, 1500}});
    ExpectLabelTextsFit(about);
    Click(about, "&OK");
    ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));

    Click(main, "&Mouse Speed");
    ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms));
    HWND speed = e2e::WaitForTopLevelWindow(kPanelTitle, 5s, {process.Id(), false});
    ASSERT_NE(speed, nullptr);
    ExpectClientSize(speed, 6645, 5475);
    ExpectControls(speed, {{"  Adjust Mode", 480, 1500, 3480, 735},
                           {"  Bypass Mode", 4080, 1500, 2085, 735},
                           {"  Horizontal Speed  ", 480, 2340, 3480, 1035},
                           {"  Vertical Speed  ", 480, 3480, 3480, 1035},
                           {"  Acceleration  ", 4080, 2340, 2085, 2175},
                           {"&Apply", 720, 4740, 1575, 435},
                           {"&OK", 2535, 4740, 1575, 435},
                           {"&Cancel", 4350, 4740, 1575, 435}});
    // Inside the frames, relative to them.
    ExpectControls(e2e::FindControlByText(speed, "  Adjust Mode")->window,
                   {{"Set Both Horizontal && Vertical ", 240, 330, 3120, 255}});
    ExpectControls(e2e::FindControlByText(speed, "  Bypass Mode")->window, {{"Enable", 360, 330, 1500, 255}});
    ExpectControls(e2e::FindControlByText(speed, "  Horizontal Speed  ")->window,
                   {{"Slow", 240, 660, 600, 195}, {"Fast", 2640, 660, 600, 195}});
    ExpectControls(e2e::FindControlByText(speed, "  Acceleration  ")->window,
                   {{"Slow", 360, 360, 1500, 255},
                    {"Medium", 360, 780, 1500, 255},
                    {"Fast", 360, 1200, 1500, 255},
                    {"Off", 360, 1620, 1500, 255}});
    ExpectLabelTextsFit(speed);
    Click(speed, "&Cancel");
    ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));

    Click(main, "E&xit");
    EXPECT_TRUE(process.WaitForExit(10s).has_value());
}

// The cross marks are placed in pixels, not twips: the first sits in a 32-pixel red square at the
// surface's corner with its centre lines 15 pixels in, whatever the DPI.
TEST_F(DpiE2E, CalibrationCrossMarksStaySixteenPixelsIn) {
    e2e::Process process = e2e::Process::Start(std::string(kFolder) + "PXwNTccp.exe");
    HWND main = e2e::WaitForTopLevelWindow(kPanelTitle, 10s, {process.Id(), false});
    ASSERT_NE(main, nullptr);
    process.WaitForInputIdle(10s);
    Click(main, "&Calibration");
    HWND window = e2e::WaitForTopLevelWindow("Calibration", 10s, {process.Id(), false});
    ASSERT_NE(window, nullptr);
    HWND surface = nullptr;
    LONG largest = 0;
    for (const auto& c : e2e::ListControls(window)) {
        const LONG area = (c.screenRect.right - c.screenRect.left) * (c.screenRect.bottom - c.screenRect.top);
        if (c.className == "PxSurface" && area > largest) surface = c.window, largest = area;
    }
    ASSERT_NE(surface, nullptr);
    POINT origin{0, 0};
    ClientToScreen(surface, &origin);

    const COLORREF kRed = RGB(255, 0, 0), kBlack = RGB(0, 0, 0);
    const struct {
        int x, y;
        COLORREF colour;
        bool same;
    } probes[] = {
        {15, 7, kBlack, true},   // vertical centre line
        {7, 15, kBlack, true},   // horizontal centre line
        {31, 7, kRed, true},     // the square's right side
        {7, 31, kRed, true},     // its bottom
        {23, 7, kRed, false},    // inside the square: neither line nor side
        {23, 7, kBlack, false},
        {40, 15, kBlack, false}, // the lines end at the square
    };
    HDC screen = GetDC(nullptr);
    const auto allAsDrawn = [&] {
        for (const auto& p : probes)
            if ((GetPixel(screen, origin.x + p.x, origin.y + p.y) == p.colour) != p.same) return false;
        return true;
    };
    e2e::WaitFor(allAsDrawn, 5000ms);  // painted on the expose after mapping
    for (const auto& p : probes)
        EXPECT_EQ(GetPixel(screen, origin.x + p.x, origin.y + p.y) == p.colour, p.same)
            << "pixel " << p.x << "," << p.y << " is " << std::hex << GetPixel(screen, origin.x + p.x, origin.y + p.y);
    ReleaseDC(nullptr, screen);
    process.Kill();
}

TEST_F(DpiE2E, RightButtonWindowSitsInTheWorkAreasCornerWithA600TwipsInside) {
    STARTUPINFOA startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    std::string commandLine = std::string("\"") + kFolder + "PXwNTcrb.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &info));
    CloseHandle(info.hThread);
    HWND window = e2e::WaitForTopLevelWindow(" C-RBF", 10s, {info.dwProcessId, false});
    if (window) {
        RECT client{}, outer{}, work{};
        GetClientRect(window, &client);
        GetWindowRect(window, &outer);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR(client.right, Px(600), 2);
        EXPECT_NEAR(client.bottom, Px(600), 2);
        // The window manager may nudge a window touching the screen's corner by a pixel or so.
        EXPECT_NEAR(outer.right, work.right, 2);
        EXPECT_NEAR(outer.bottom, work.bottom, 2);
    } else {
        ADD_FAILURE() << "the right-button window did not show";
    }
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
}

}  // namespace
