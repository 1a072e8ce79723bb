// The binding against the real windows: what the model declares and changes must be what the
// windows show, and what is done to the windows must come back as the model's events.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "win32/form_binding.hpp"

namespace px::win32 {
namespace {

using forms::ControlDecl;
using forms::ControlKind;
using forms::Form;
using forms::FormDecl;

ControlDecl Decl(std::string name, ControlKind kind, std::string caption, double left, double top, double width,
                 double height) {
    ControlDecl decl;
    decl.Name = std::move(name);
    decl.Kind = kind;
    decl.Caption = std::move(caption);
    decl.Left = left, decl.Top = top, decl.Width = width, decl.Height = height;
    return decl;
}

std::vector<ControlDecl> TestControls() {
    std::vector<ControlDecl> c;
    c.push_back(Decl("lblAmp", ControlKind::Label, "A && B", 120, 120, 1500, 255));
    c.push_back(Decl("lblTeal", ControlKind::Label, "Teal", 120, 480, 1500, 255));
    c.back().ForeColor = forms::kWhite, c.back().BackColor = forms::kTeal;
    c.back().TextFont = forms::Font{"Arial", 12, true, false};
    c.push_back(Decl("shpBox", ControlKind::Shape, "", 3000, 120, 1500, 900));
    c.back().BackColor = forms::kLightGrey;
    c.push_back(Decl("lblOver", ControlKind::Label, "Over", 3300, 300, 900, 255));
    c.back().BackColor = forms::kWhite;
    c.push_back(Decl("lblSeeThrough", ControlKind::Label, "", 3300, 750, 600, 150));
    c.back().Transparent = true;
    c.push_back(Decl("fraChoice", ControlKind::Frame, "Choice", 120, 900, 2400, 1200));
    c.push_back(Decl("optA", ControlKind::OptionButton, "Teal A", 120, 240, 2000, 255));
    c.back().Container = "fraChoice", c.back().Value = 1, c.back().ForeColor = forms::kTeal;
    c.push_back(Decl("optB", ControlKind::OptionButton, "Black B", 120, 600, 2000, 255));
    c.back().Container = "fraChoice", c.back().ForeColor = forms::kBlack;
    c.push_back(Decl("chkOn", ControlKind::CheckBox, "On", 120, 2250, 1500, 255));
    c.push_back(Decl("hscSpeed", ControlKind::HScrollBar, "", 120, 2700, 2400, 255));
    c.back().Min = 0, c.back().Max = 100, c.back().SmallChange = 1, c.back().LargeChange = 10, c.back().Value = 50;
    c.push_back(Decl("cboPort", ControlKind::ComboBox, "", 2700, 2700, 1500, 315));
    c.back().List = {"COM1", "COM2", "COM3"}, c.back().ListIndex = 0;
    c.push_back(Decl("picDraw", ControlKind::PictureBox, "", 3000, 1200, 1500, 1200));
    c.back().BackColor = forms::kWhite;
    c.push_back(Decl("lblAuto", ControlKind::Label, "Auto", 120, 3300, 300, 150));
    c.back().AutoSize = true;
    c.push_back(Decl("cmdOK", ControlKind::CommandButton, "&OK", 120, 3900, 1200, 375));
    c.back().Default = true;
    c.push_back(Decl("cmdCancel", ControlKind::CommandButton, "Cancel", 1440, 3900, 1200, 375));
    c.back().Cancel = true;
    return c;
}

FormDecl TestForm(std::string name) {
    FormDecl decl;
    decl.Name = std::move(name);
    decl.Caption = "Binding test";
    decl.ClientWidth = 6000;
    decl.ClientHeight = 4500;
    decl.KeyPreview = true;
    return decl;
}

RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Text(HWND window) {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof(buffer));
    return buffer;
}

COLORREF PixelOf(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

class FormBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        binding.Attach(form);
        form.Show();
        Pump();
    }
    void TearDown() override {
        form.Unloading = nullptr;
        form.Unload();
        Pump(20);
    }
    void Pump(int milliseconds = 150) {
        const DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
        do {
            binding.DoEvents();
            Sleep(5);
        } while (static_cast<LONG>(until - GetTickCount()) > 0);
    }
    HWND Window(const std::string& name) { return binding.WindowOf(form[name]); }
    // Through the queue, as a key arrives: the dialog manager sees it in the loop.
    void PostKey(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 1 | (LPARAM{3} << 30));
        Pump(30);
    }
    HWND FormWindow() { return binding.WindowOf(form); }

    FormBinding binding;
    Form form{TestForm("frmTest"), TestControls()};
    std::vector<std::string> events;
};

TEST_F(FormBindingTest, ScreenIsMeasuredInTwipsFromTheDpi) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const auto metrics = QueryScreenMetrics();
    EXPECT_DOUBLE_EQ(metrics.TwipsPerPixelX, 1440.0 / dpi);
    EXPECT_DOUBLE_EQ(metrics.Width, GetSystemMetrics(SM_CXSCREEN) * metrics.TwipsPerPixelX);
    EXPECT_DOUBLE_EQ(form.Screen().TwipsPerPixelY, metrics.TwipsPerPixelY);
}

TEST_F(FormBindingTest, EveryControlIsARealWindowWithItsClassCaptionAndPixelRect) {
    ASSERT_EQ(form.Screen().TwipsPerPixelX, 15) << "the rectangles below assume 96 DPI";
    struct Case {
        const char* name;
        const char* windowClass;
        const char* caption;
        RECT rect;  // pixels in the parent
        const char* parent;
    };
    const Case cases[] = {
        {"lblAmp", "Static", "A && B", {8, 8, 108, 25}, nullptr},
        {"lblTeal", "Static", "Teal", {8, 32, 108, 49}, nullptr},
        {"fraChoice", "Button", "Choice", {8, 60, 168, 140}, nullptr},
        {"optA", "Button", "Teal A", {8, 16, 141, 33}, "fraChoice"},
        {"optB", "Button", "Black B", {8, 40, 141, 57}, "fraChoice"},
        {"chkOn", "Button", "On", {8, 150, 108, 167}, nullptr},
        {"hscSpeed", "ScrollBar", "", {8, 180, 168, 197}, nullptr},
        {"picDraw", "PxSurface", "", {200, 80, 300, 160}, nullptr},
        {"cmdOK", "Button", "&OK", {8, 260, 88, 285}, nullptr},
        {"cmdCancel", "Button", "Cancel", {96, 260, 176, 285}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND window = Window(c.name);
        ASSERT_TRUE(IsWindow(window));
        char windowClass[64] = {};
        GetClassNameA(window, windowClass, sizeof(windowClass));
        EXPECT_STREQ(windowClass, c.windowClass);
        EXPECT_EQ(Text(window), c.caption);
        EXPECT_EQ(GetParent(window), c.parent ? Window(c.parent) : FormWindow());
        const RECT r = RectInParent(window);
        EXPECT_EQ(r.left, c.rect.left);
        EXPECT_EQ(r.top, c.rect.top);
        EXPECT_EQ(r.right, c.rect.right);
        EXPECT_EQ(r.bottom, c.rect.bottom);
        EXPECT_TRUE(IsWindowVisible(window));
    }
    // The shape has no window: its container paints it.
    EXPECT_EQ(Window("shpBox"), nullptr);
}

TEST_F(FormBindingTest, FormClientIsTheDeclaredSizeAndTheModelKnowsTheRealFrame) {
    RECT client, outer;
    GetClientRect(FormWindow(), &client);
    GetWindowRect(FormWindow(), &outer);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_DOUBLE_EQ(form.Width(), (outer.right - outer.left) * 15.0);
    EXPECT_DOUBLE_EQ(form.Height(), (outer.bottom - outer.top) * 15.0);
    EXPECT_DOUBLE_EQ(form.ScaleWidth(), 6000);
    EXPECT_DOUBLE_EQ(form.ScaleHeight(), 4500);
    EXPECT_EQ(Text(FormWindow()), "Binding test");
    EXPECT_EQ(form.NativeHandle, reinterpret_cast<std::intptr_t>(FormWindow()));
}

TEST_F(FormBindingTest, ModelChangesReachTheRealWindows) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<long()> observe;
        long expected;
    };
    const Case cases[] = {
        {"disable button", [&] { form["cmdOK"].SetEnabled(false); },
         [&] { return static_cast<long>(IsWindowEnabled(Window("cmdOK"))); }, 0},
        {"hide label", [&] { form["lblAmp"].SetVisible(false); },
         [&] { return static_cast<long>(IsWindowVisible(Window("lblAmp"))); }, 0},
        {"show label again", [&] { form["lblAmp"].SetVisible(true); },
         [&] { return static_cast<long>(IsWindowVisible(Window("lblAmp"))); }, 1},
        {"label caption", [&] { form["lblAmp"].SetCaption("X && Y"); },
         [&] { return static_cast<long>(Text(Window("lblAmp")) == "X && Y"); }, 1},
        {"form caption", [&] { form.SetCaption("Renamed"); },
         [&] { return static_cast<long>(Text(FormWindow()) == "Renamed"); }, 1},
        {"check box value", [&] { form["chkOn"].SetValue(1); },
         [&] { return static_cast<long>(SendMessageA(Window("chkOn"), BM_GETCHECK, 0, 0)); }, BST_CHECKED},
        {"grey check box", [&] { form["chkOn"].SetValue(2); },
         [&] { return static_cast<long>(SendMessageA(Window("chkOn"), BM_GETCHECK, 0, 0)); }, BST_INDETERMINATE},
        {"scroll position", [&] { form["hscSpeed"].SetValue(80); },
         [&] { return static_cast<long>(GetScrollPos(Window("hscSpeed"), SB_CTL)); }, 80},
        {"combo choice", [&] { form["cboPort"].SetListIndex(2); },
         [&] { return static_cast<long>(SendMessageA(Window("cboPort"), CB_GETCURSEL, 0, 0)); }, 2},
        {"combo item added", [&] { form["cboPort"].AddItem("COM4"); },
         [&] { return static_cast<long>(SendMessageA(Window("cboPort"), CB_GETCOUNT, 0, 0)); }, 4},
        {"button moved", [&] { form["cmdCancel"].Move(1500, 3750, 1500, 450); },
         [&] { return RectInParent(Window("cmdCancel")).right; }, 200},
        {"option chosen by code", [&] { form["optB"].SetValue(1); },
         [&] { return static_cast<long>(SendMessageA(Window("optA"), BM_GETCHECK, 0, 0)); }, BST_UNCHECKED},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(c.observe(), c.expected) << c.what;
    }
}

TEST_F(FormBindingTest, AutoSizedLabelTakesItsTextsSizeAndTellsTheModel) {
    const double narrow = form["lblAuto"].Width();
    RECT r = RectInParent(Window("lblAuto"));
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_DOUBLE_EQ(narrow, (r.right - r.left) * 15.0);
    form["lblAuto"].SetCaption("A much longer caption");
    r = RectInParent(Window("lblAuto"));
    EXPECT_GT(form["lblAuto"].Width(), narrow);
    EXPECT_DOUBLE_EQ(form["lblAuto"].Width(), (r.right - r.left) * 15.0);
}

TEST_F(FormBindingTest, FontsComeFromTheModel) {
    struct Case {
        const char* name;
        const char* face;
        LONG height;  // at 96 DPI
        LONG weight;
    };
    const Case cases[] = {{"lblAmp", "MS Sans Serif", -11, FW_NORMAL}, {"lblTeal", "Arial", -16, FW_BOLD}};
    for (const auto& c : cases) {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(Window(c.name), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << c.name;
        LOGFONTA info{};
        GetObjectA(font, sizeof(info), &info);
        EXPECT_STREQ(info.lfFaceName, c.face) << c.name;
        EXPECT_EQ(info.lfHeight, c.height) << c.name;
        EXPECT_EQ(info.lfWeight, c.weight) << c.name;
    }
}

// A move to a monitor at 144 DPI, or a change of scale: everything again from its twips.
TEST_F(FormBindingTest, AChangeOfScaleLaysTheWindowOutAgainFromItsTwips) {
    RECT before;
    GetWindowRect(FormWindow(), &before);
    const RECT suggested{before.left, before.top, before.left + 600, before.top + 480};
    SendMessageA(FormWindow(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Pump(50);

    RECT now;
    GetWindowRect(FormWindow(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    EXPECT_DOUBLE_EQ(form.Screen().TwipsPerPixelX, 10);
    EXPECT_DOUBLE_EQ(form.Screen().TwipsPerPixelY, 10);
    // twips x 144 / 1440.
    const RECT ok = RectInParent(Window("cmdOK"));
    EXPECT_EQ(ok.left, 12);
    EXPECT_EQ(ok.top, 390);
    EXPECT_EQ(ok.right - ok.left, 120);
    EXPECT_EQ(ok.bottom - ok.top, 38);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(Window("lblTeal"), WM_GETFONT, 0, 0));
    LOGFONTA info{};
    GetObjectA(font, sizeof(info), &info);
    EXPECT_EQ(info.lfHeight, -24);  // 12 pt at 144 DPI
    // The model follows the window it now has.
    RECT client;
    GetClientRect(FormWindow(), &client);
    EXPECT_NEAR(form.ScaleWidth(), client.right * 10.0, 0.01);
}

TEST_F(FormBindingTest, RealButtonClicksArriveAsTheModelsClicks) {
    int ok = 0;
    form["cmdOK"].Click = [&] { ++ok; };
    SendMessageA(Window("cmdOK"), BM_CLICK, 0, 0);
    EXPECT_EQ(ok, 1);
    form["cmdOK"].SetEnabled(false);
    SendMessageA(Window("cmdOK"), BM_CLICK, 0, 0);
    EXPECT_EQ(ok, 1);
}

TEST_F(FormBindingTest, OptionsInAFrameExcludeEachOtherThroughRealClicks) {
    int clicksB = 0;
    form["optB"].Click = [&] { ++clicksB; };
    SendMessageA(Window("optB"), BM_CLICK, 0, 0);
    EXPECT_EQ(form["optB"].Value(), 1);
    EXPECT_EQ(form["optA"].Value(), 0);
    EXPECT_EQ(SendMessageA(Window("optB"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Window("optA"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicksB, 1);
    SendMessageA(Window("optA"), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(Window("optA"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Window("optB"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(FormBindingTest, FocusStartsAtTheFirstDeclaredTabStopAndTabFollowsTheDeclaration) {
    SetActiveWindow(FormWindow());
    Pump(30);
    std::vector<HWND> visited{GetFocus()};
    for (int i = 0; i < 3; ++i) {
        PostKey(VK_TAB);
        visited.push_back(GetFocus());
    }
    // The option group is one stop, on its chosen option.
    const std::vector<HWND> expected{Window("optA"), Window("chkOn"), Window("hscSpeed"), Window("cboPort")};
    EXPECT_EQ(visited, expected);
}

// The arrows choosing as a click does are the keyboard end-to-end test's.
TEST_F(FormBindingTest, TabLandsOnTheChosenOptionOfAGroup) {
    form["optB"].SetValue(1);
    SetFocus(Window("cmdCancel"));
    PostKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Window("optB"));
    PostKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Window("chkOn"));
}

TEST_F(FormBindingTest, CheckBoxTogglesThroughRealClicks) {
    int clicks = 0;
    form["chkOn"].Click = [&] { ++clicks; };
    for (const int expected : {1, 0, 1}) {
        SendMessageA(Window("chkOn"), BM_CLICK, 0, 0);
        EXPECT_EQ(form["chkOn"].Value(), expected);
        EXPECT_EQ(SendMessageA(Window("chkOn"), BM_GETCHECK, 0, 0), expected);
    }
    EXPECT_EQ(clicks, 3);
}

TEST_F(FormBindingTest, ScrollMessagesChangeTheValue) {
    struct Case {
        int from, code, position, expected;
    };
    const Case cases[] = {
        {50, SB_LINERIGHT, 0, 51}, {50, SB_LINELEFT, 0, 49},  {50, SB_PAGERIGHT, 0, 60}, {50, SB_PAGELEFT, 0, 40},
        {50, SB_THUMBTRACK, 77, 77}, {50, SB_LEFT, 0, 0},     {50, SB_RIGHT, 0, 100},    {95, SB_PAGERIGHT, 0, 100},
        {3, SB_PAGELEFT, 0, 0},
    };
    auto& bar = form["hscSpeed"];
    int changes = 0;
    bar.Change = [&] { ++changes; };
    for (const auto& c : cases) {
        bar.SetValue(c.from);
        changes = 0;
        SendMessageA(FormWindow(), WM_HSCROLL, MAKEWPARAM(c.code, c.position),
                     reinterpret_cast<LPARAM>(Window("hscSpeed")));
        EXPECT_EQ(bar.Value(), c.expected) << "code " << c.code << " from " << c.from;
        EXPECT_EQ(changes, 1) << "code " << c.code << " from " << c.from;
        EXPECT_EQ(GetScrollPos(Window("hscSpeed"), SB_CTL), c.expected) << "code " << c.code;
    }
}

TEST_F(FormBindingTest, ComboChoiceByKeyboardRaisesClick) {
    int clicks = 0;
    form["cboPort"].Click = [&] { ++clicks; };
    SetFocus(Window("cboPort"));
    SendMessageA(Window("cboPort"), WM_KEYDOWN, VK_DOWN, 0);
    Pump(30);
    EXPECT_EQ(form["cboPort"].ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormBindingTest, MouseEventsCarryButtonShiftAndPositionInTheSurfacesScale) {
    struct Seen {
        int button = 0, shift = 0;
        double x = -1, y = -1;
    };
    Seen onButton, onPicture, onForm;
    form["cmdOK"].MouseDown = [&](int b, int s, double x, double y) { onButton = {b, s, x, y}; };
    form["picDraw"].MouseDown = [&](int b, int s, double x, double y) { onPicture = {b, s, x, y}; };
    form.MouseDown = [&](int b, int s, double x, double y) { onForm = {b, s, x, y}; };
    form["picDraw"].Scale = forms::ScaleMode::Pixels;
    struct Case {
        const char* what;
        HWND window;
        UINT message;
        WPARAM keys;
        Seen* seen;
        Seen expected;
    };
    const Case cases[] = {
        {"right+shift+ctrl on a button", Window("cmdOK"), WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT | MK_CONTROL,
         &onButton, {2, 3, 150, 75}},
        {"left on a pixel picture", Window("picDraw"), WM_LBUTTONDOWN, MK_LBUTTON, &onPicture, {1, 0, 10, 5}},
        {"middle+ctrl on the form", FormWindow(), WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL, &onForm,
         {4, 2, 150, 75}},
    };
    for (const auto& c : cases) {
        PostMessageA(c.window, c.message, c.keys, MAKELPARAM(10, 5));
        Pump(30);
        EXPECT_EQ(c.seen->button, c.expected.button) << c.what;
        EXPECT_EQ(c.seen->shift, c.expected.shift) << c.what;
        EXPECT_DOUBLE_EQ(c.seen->x, c.expected.x) << c.what;
        EXPECT_DOUBLE_EQ(c.seen->y, c.expected.y) << c.what;
        SendMessageA(c.window, c.message + 1, 0, MAKELPARAM(10, 5));  // the matching release
    }
}

TEST_F(FormBindingTest, LabelPressAndReleaseRaiseMouseEventsClickAndDblClick) {
    auto& label = form["lblAmp"];
    label.MouseDown = [&](int, int, double, double) { events.push_back("down"); };
    label.MouseUp = [&](int, int, double, double) { events.push_back("up"); };
    label.Click = [&] { events.push_back("click"); };
    label.DblClick = [&] { events.push_back("dblclick"); };
    const HWND window = Window("lblAmp");
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const std::vector<std::string> expected{"down", "up", "click", "down", "dblclick", "up", "click"};
    EXPECT_EQ(events, expected);
}

TEST_F(FormBindingTest, KeyPreviewHearsKeysFirstAndMaySwallowOrChangeThem) {
    form.KeyDown = [&](int& key, int) {
        events.push_back("form down " + std::to_string(key));
        if (key == VK_F1) key = 0;
    };
    form.KeyPress = [&](int& ascii) {
        events.push_back("form press " + std::to_string(ascii));
        if (ascii == 'a') ascii = 'b';
    };
    form["chkOn"].KeyDown = [&](int& key, int) { events.push_back("check down " + std::to_string(key)); };
    form["chkOn"].KeyPress = [&](int& ascii) { events.push_back("check press " + std::to_string(ascii)); };
    const HWND check = Window("chkOn");
    SendMessageA(check, WM_KEYDOWN, 'A', 0);
    SendMessageA(check, WM_KEYDOWN, VK_F1, 0);
    SendMessageA(check, WM_CHAR, 'a', 0);
    const std::vector<std::string> expected{"form down 65",  "check down 65", "form down 112",
                                            "form press 97", "check press 98"};
    EXPECT_EQ(events, expected);
}

TEST_F(FormBindingTest, EnterAndEscapePressTheDefaultAndCancelButtons) {
    form["cmdOK"].Click = [&] { events.push_back("ok"); };
    form["cmdCancel"].Click = [&] { events.push_back("cancel"); };
    struct Case {
        const char* focus;
        WPARAM key;
        const char* pressed;
        const char* framed;  // the button that shows the default frame
    };
    const Case cases[] = {{"chkOn", VK_RETURN, "ok", "cmdOK"},
                          {"chkOn", VK_ESCAPE, "cancel", "cmdOK"},
                          {"cmdCancel", VK_RETURN, "cancel", "cmdCancel"}};
    for (const auto& c : cases) {
        events.clear();
        SetFocus(Window(c.focus));
        PostKey(c.key);
        EXPECT_EQ(events, std::vector<std::string>{c.pressed}) << c.focus << " key " << c.key;
        for (const char* button : {"cmdOK", "cmdCancel"}) {
            const bool framed = (GetWindowLongPtrA(Window(button), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            EXPECT_EQ(framed, std::string(button) == c.framed) << c.focus << " " << button;
        }
    }
}

TEST_F(FormBindingTest, AControlDisabledOrHiddenWithTheFocusHandsItToTheNextStop) {
    SetFocus(Window("cmdOK"));
    form["cmdOK"].SetEnabled(false);
    EXPECT_EQ(GetFocus(), Window("cmdCancel"));
    form["cmdCancel"].SetVisible(false);
    EXPECT_EQ(GetFocus(), Window("optA"));
}

TEST_F(FormBindingTest, CloseBoxUnloadsUnlessCancelled) {
    bool cancel = true;
    int asked = 0;
    form.Unloading = [&](bool& c) {
        ++asked;
        c = cancel;
    };
    const HWND window = FormWindow();
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump(30);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(form.Loaded());
    cancel = false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump(30);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(form.NativeHandle, 0);
}

// The user's close (SC_CLOSE, as Alt+F4, the close box and the taskbar give it) closes the
// window; another program's close ends the program: a bare WM_CLOSE, an SC_CLOSE sent from
// another thread, or one aimed at a hidden window.
TEST_F(FormBindingTest, TheUsersCloseClosesTheWindowAnotherProgramsEndsTheProgram) {
    int unloads = 0, ends = 0;
    form.Unloading = [&](bool& cancel) {
        ++unloads;
        cancel = true;
    };
    binding.SessionEnding = [&] { ++ends; };
    const HWND window = FormWindow();
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(30);
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(ends, 0);
    std::thread other([window] {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, 2000, &answer);
    });
    Pump(100);
    other.join();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(ends, 1);
    form.Hide();
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(30);
    EXPECT_EQ(unloads, 1);
    binding.SessionEnding = nullptr;  // no program-wide end: the window closes
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump(30);
    EXPECT_EQ(unloads, 2);
}

TEST_F(FormBindingTest, HideKeepsTheWindowAndShowBringsItBack) {
    const HWND window = FormWindow();
    form.Hide();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    form.Show();
    EXPECT_EQ(FormWindow(), window);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(FormBindingTest, FiguresAreDrawnAndPaintedAgain) {
    auto& picture = form["picDraw"];
    picture.Cls(forms::kWhite);
    picture.Box(0, 0, 300, 300, forms::Rgb(255, 0, 0), true);
    picture.Line(0, 600, 1500, 600, forms::Rgb(0, 0, 255));
    picture.DrawWidth = 3;
    picture.Point(750, 900, forms::Rgb(0, 255, 0));
    picture.DrawWidth = 1;
    picture.Box(900, 150, 1200, 450, forms::kBlack, false);
    struct Case {
        int x, y;
        COLORREF colour;
    };
    const Case cases[] = {{10, 10, RGB(255, 0, 0)}, {20, 20, RGB(255, 0, 0)}, {21, 21, RGB(255, 255, 255)},
                          {30, 40, RGB(0, 0, 255)}, {50, 60, RGB(0, 255, 0)}, {60, 10, RGB(0, 0, 0)},
                          {80, 30, RGB(0, 0, 0)},   {70, 20, RGB(255, 255, 255)}};
    const HWND window = Window("picDraw");
    for (const bool repainted : {false, true}) {
        if (repainted) InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        for (const auto& c : cases)
            EXPECT_EQ(PixelOf(window, c.x, c.y), c.colour) << c.x << "," << c.y << (repainted ? " repainted" : "");
    }
}

TEST_F(FormBindingTest, ShapesSitUnderLabelsAndColouredLabelsShowTheirColours) {
    struct Case {
        const char* what;
        int x, y;  // form client pixels
        COLORREF colour;
    };
    const Case cases[] = {
        {"shape", 290, 60, RGB(192, 192, 192)},
        {"opaque label over the shape", 275, 35, RGB(255, 255, 255)},
        {"see-through label over the shape", 240, 55, RGB(192, 192, 192)},
        {"teal label background", 105, 45, RGB(0, 128, 128)},
        {"form background", 390, 290, GetSysColor(COLOR_BTNFACE)},
    };
    for (const auto& c : cases) EXPECT_EQ(PixelOf(FormWindow(), c.x, c.y), c.colour) << c.what;
    form["shpBox"].SetBackColor(forms::kWhite);
    Pump(30);
    EXPECT_EQ(PixelOf(FormWindow(), 290, 60), RGB(255, 255, 255)) << "shape recoloured";
}

TEST_F(FormBindingTest, HourglassPointerWhileTheFormSaysSo) {
    const auto ask = [&] {
        SendMessageA(Window("cmdOK"), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window("cmdOK")),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    form.SetPointer(forms::MousePointer::Hourglass);
    EXPECT_EQ(ask(), LoadCursor(nullptr, IDC_WAIT));
    form.SetPointer(forms::MousePointer::Default);
    EXPECT_EQ(ask(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(FormBindingTest, UserResizeUpdatesTheModelAndRaisesResize) {
    int resized = 0;
    form.Resize = [&] { ++resized; };
    RECT outer;
    GetWindowRect(FormWindow(), &outer);
    SetWindowPos(FormWindow(), nullptr, 0, 0, outer.right - outer.left + 60, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    Pump(30);
    EXPECT_EQ(resized, 1);
    EXPECT_DOUBLE_EQ(form.Width(), (outer.right - outer.left + 60) * 15.0);
    EXPECT_DOUBLE_EQ(form.ScaleWidth(), 6000 + 60 * 15.0);
}

TEST_F(FormBindingTest, ActivateWhenTheUserComesBackFromAnotherForm) {
    Form other{TestForm("frmOther"), {}};
    binding.Attach(other);
    int activated = 0, otherActivated = 0;
    form.Activated = [&] { ++activated; };
    other.Activated = [&] { ++otherActivated; };
    other.Show();
    Pump();
    EXPECT_EQ(otherActivated, 1) << "the model's own Show activates once";
    EXPECT_EQ(activated, 0);
    SetActiveWindow(FormWindow());
    Pump();
    EXPECT_EQ(activated, 1);
    other.Unload();
}

TEST_F(FormBindingTest, ExceptionsInHandlersComeOutOfDoEventsNotTheWindowProcedure) {
    form["cmdOK"].Click = [] { throw std::runtime_error("handler failed"); };
    SendMessageA(Window("cmdOK"), BM_CLICK, 0, 0);
    EXPECT_THROW(binding.DoEvents(), std::runtime_error);
    EXPECT_NO_THROW(binding.DoEvents());
}

TEST(FormBindingContainerTest, ControlsInAPictureBoxClickAndTakeTheirColoursLikeTheFormsOwn) {
    FormBinding binding;
    std::vector<ControlDecl> controls;
    controls.push_back(Decl("picBar", ControlKind::PictureBox, "", 0, 0, 4500, 1500));
    controls.push_back(Decl("cmdIn", ControlKind::CommandButton, "In", 150, 150, 1200, 375));
    controls.back().Container = "picBar";
    controls.push_back(Decl("lblIn", ControlKind::Label, "", 1500, 150, 1200, 375));
    controls.back().Container = "picBar", controls.back().BackColor = forms::Rgb(255, 255, 0);
    Form form(TestForm("frmContainer"), std::move(controls));
    int clicks = 0;
    form["cmdIn"].Click = [&] { ++clicks; };
    binding.Attach(form);
    form.Show();
    binding.DoEvents();
    SendMessageA(binding.WindowOf(form["cmdIn"]), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(PixelOf(binding.WindowOf(form["lblIn"]), 5, 5), RGB(255, 255, 0));
    form.Unload();
    binding.DoEvents();
}

TEST_F(FormBindingTest, LabelBorderComesAndGoesWithTheModel) {
    const auto bordered = [&] { return (GetWindowLongPtrA(Window("lblTeal"), GWL_STYLE) & WS_BORDER) != 0; };
    EXPECT_FALSE(bordered());
    form["lblTeal"].SetBorder(true);
    EXPECT_TRUE(bordered());
    form["lblTeal"].SetBorder(false);
    EXPECT_FALSE(bordered());
}

TEST(FormBindingLoopTest, RunMessageLoopReturnsWhenTheLastFormIsUnloaded) {
    FormBinding binding;
    Form form{TestForm("frmOnly"), {}};
    binding.Attach(form);
    form.Show();
    PostMessageA(binding.WindowOf(form), WM_CLOSE, 0, 0);
    // A hung loop would end here instead, with another code.
    const UINT_PTR timer = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    EXPECT_EQ(binding.RunMessageLoop(), 0);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(form.Loaded());
}

// The window is made after the load: what the load saw and set must be what shows.
TEST(FormBindingLoadTest, TheLoadSeesTheRealFrameAndWhatItSetsShowsAtOnce) {
    FormBinding binding;
    Form form{TestForm("frmLoad"), TestControls()};
    binding.Attach(form);
    double frameInLoad = -1;
    form.Load = [&] {
        frameInLoad = form.Width() - form.ScaleWidth();
        form["lblAuto"].SetCaption("Set by the load");
        form.Move(1500, 1200, form.Width(), form.Height());
    };
    form.Show();
    const HWND window = binding.WindowOf(form);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_DOUBLE_EQ(frameInLoad, (outer.right - outer.left - client.right) * 15.0);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 80);
    const RECT label = RectInParent(binding.WindowOf(form["lblAuto"]));
    EXPECT_GT(form["lblAuto"].Width(), 300);
    EXPECT_DOUBLE_EQ(form["lblAuto"].Width(), (label.right - label.left) * 15.0);
    form.Unload();

    // A form loaded hidden has a window as soon as one is asked for.
    Form hidden{TestForm("frmHidden"), {}};
    binding.Attach(hidden);
    hidden.Hide();
    ASSERT_NE(binding.WindowOf(hidden), nullptr);
    EXPECT_FALSE(IsWindowVisible(binding.WindowOf(hidden)));
    hidden.Unload();
}

TEST(FormBindingLoopTest, MaximizedBorderlessFormCoversTheWholeScreen) {
    FormBinding binding;
    FormDecl decl = TestForm("frmFull");
    decl.Border = forms::BorderStyle::None;
    decl.State = forms::WindowState::Maximized;
    Form form{decl, {}};
    binding.Attach(form);
    form.Show();
    binding.DoEvents();
    RECT r;
    GetWindowRect(binding.WindowOf(form), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_DOUBLE_EQ(form.Width(), form.Screen().Width);
    form.Unload();
}

}  // namespace
}  // namespace px::win32
