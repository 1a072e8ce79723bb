#include "control_panel/test_board.hpp"

#include "control_panel/main_window.hpp"

namespace px {

using namespace forms;

namespace {

const Color kPenColours[] = {kBlack, kRed, kDarkGreen, kBlue, kMagenta};
const Font kTitleFont{"Times New Roman", 14.25, true, false};
const Font kChoiceFont{"MS Sans Serif", 12, true, false};
constexpr double kHeadHeight = 615, kMesgHeight = 555;
constexpr double kItem = 375;  // width and height of the choice and indicator labels

ControlDecl Caption(const char* name, const char* text, double width) {
    return {.Name = name, .Kind = ControlKind::Label, .Caption = text, .Width = width, .Height = 195,
            .ForeColor = kBlack, .Transparent = true, .Container = "picMesg"};
}

}  // namespace

int IndicatorOf(int button) {
    switch (button) {
        case kLeftButton: return 0;
        case kMiddleButton: return 1;
        case kRightButton: return 2;
        default: return -1;
    }
}

std::unique_ptr<Form> MakeTestForm() {
    std::vector<ControlDecl> c = {
        {.Name = "picHead", .Kind = ControlKind::PictureBox, .Height = kHeadHeight, .BackColor = kButtonFace},
        {.Name = "imgIcon", .Kind = ControlKind::Image, .Width = 480, .Height = 480, .Container = "picHead",
         .Picture = "IDI_PRODUCT"},
        {.Name = "lblTitle", .Kind = ControlKind::Label, .Caption = "TouchScreen Test", .Width = 3000, .Height = 345,
         .ForeColor = kRed, .TextFont = kTitleFont, .Transparent = true, .Container = "picHead"},
        {.Name = "cmdClear", .Kind = ControlKind::CommandButton, .Caption = "&Clear", .Width = 1215, .Height = 435,
         .Container = "picHead"},
        {.Name = "cmdExit", .Kind = ControlKind::CommandButton, .Caption = "E&xit Test", .Width = 1215,
         .Height = 435, .Container = "picHead"},
        {.Name = "picMesg", .Kind = ControlKind::PictureBox, .Height = kMesgHeight, .BackColor = kButtonFace},
        // The grey inner area first: the earlier of two overlapping controls lies on top.
        {.Name = "lblHelp", .Kind = ControlKind::Label, .Caption = "", .Height = 315, .BackColor = kLightGrey,
         .Container = "picMesg"},
        {.Name = "lblHelpBox", .Kind = ControlKind::Label, .Caption = "", .Container = "picMesg", .Border = true},
        Caption("lblWidthName", "Width", 480),
        Caption("lblColorName", "Color", 450),
        Caption("lblButtonName", "Button", 570),
        {.Name = "picHome", .Kind = ControlKind::PictureBox, .BackColor = kWhite},
    };
    for (int i = 0; i < 4; ++i)
        c.push_back({.Name = "lblWidth", .Index = i, .Kind = ControlKind::Label,
                     .Caption = " " + std::to_string(i + 1) + " ", .Width = kItem, .Height = kItem,
                     .ForeColor = kBlack, .BackColor = kChoiceGrey, .TextFont = kChoiceFont,
                     .Align = Alignment::Center, .Container = "picMesg", .Border = true});
    for (int i = 0; i < 5; ++i)
        c.push_back({.Name = "lblColor", .Index = i, .Kind = ControlKind::Label, .Caption = "", .Width = kItem,
                     .Height = kItem, .BackColor = kPenColours[i], .Container = "picMesg"});
    const char* const buttons[] = {"L", "M", "R"};
    // Unlit indicators take the bar's colour: the bar shows through as if they were see-through.
    for (int i = 0; i < 3; ++i)
        c.push_back({.Name = "lblButton", .Index = i, .Kind = ControlKind::Label, .Caption = buttons[i],
                     .Width = kItem, .Height = kItem, .ForeColor = kBlack, .BackColor = kButtonFace,
                     .TextFont = kChoiceFont, .Align = Alignment::Center, .Container = "picMesg", .Border = true});
    auto form = std::make_unique<Form>(FormDecl{.Name = "frmTest", .Caption = "Test", .Border = BorderStyle::None,
                                                .State = WindowState::Maximized, .ControlBox = false,
                                                .TopMost = true},
                                       std::move(c));
    (*form)["picHome"].Scale = ScaleMode::Pixels;
    return form;
}

TestBoard::TestBoard(Form& form, DriverChannel& channel, std::function<void()> returnToMain)
    : form_(form), channel_(channel), returnToMain_(std::move(returnToMain)) {}

void TestBoard::Load() {
    penDown_ = false;
    widthIndex_ = 0;
    colorIndex_ = 0;
    currentX_ = currentY_ = 0;
    auto& home = form_["picHome"];
    home.DrawWidth = 1;
    home.DrawColor = kBlack;
    form_.Move(0, 0, form_.Screen().Width, form_.Screen().Height);
    Layout();
}

void TestBoard::Activate() {
    savedTouchMode_ = channel_.Block.TouchMode;
    channel_.Block.TouchMode = kDragDropMode;
    channel_.SetTouchMode();
    SelectWidth(1);
    SelectColor(3);
}

void TestBoard::Unloaded() {
    RestoreTouchMode();
    returnToMain_();
}

void TestBoard::RestoreTouchMode() {
    channel_.Block.TouchMode = savedTouchMode_;
    channel_.SetTouchMode();
}

void TestBoard::SelectWidth(int index) {
    if (index == widthIndex_ || index < 0 || index > 3) return;
    auto& old = form_("lblWidth", widthIndex_);
    old.SetForeColor(kBlack);
    old.SetBackColor(kChoiceGrey);
    widthIndex_ = index;
    auto& chosen = form_("lblWidth", index);
    chosen.SetForeColor(kYellow);
    chosen.SetBackColor(kDarkGrey);
    form_["picHome"].DrawWidth = index + 1;
}

void TestBoard::SelectColor(int index) {
    if (index == colorIndex_ || index < 0 || index > 4) return;
    form_("lblColor", colorIndex_).SetBorder(false);
    colorIndex_ = index;
    auto& chosen = form_("lblColor", index);
    chosen.SetBorder(true);
    form_["picHome"].DrawColor = chosen.BackColor();
}

void TestBoard::SetIndicator(int button, bool lit) {
    const int index = IndicatorOf(button);
    if (index >= 0) form_("lblButton", index).SetBackColor(lit ? kYellow : kButtonFace);
}

void TestBoard::Press(int button, double x, double y) {
    auto& home = form_["picHome"];
    if (!penDown_) {
        home.Point(x, y, home.DrawColor);
        penDown_ = true;
    } else {
        // A second button during a stroke carries the line on to where it was pressed.
        home.Line(currentX_, currentY_, x, y, home.DrawColor);
    }
    currentX_ = x, currentY_ = y;
    SetIndicator(button, true);
}

void TestBoard::Move(double x, double y) {
    if (!penDown_) return;
    auto& home = form_["picHome"];
    home.Line(currentX_, currentY_, x, y, home.DrawColor);
    currentX_ = x, currentY_ = y;
}

void TestBoard::Release(int button) {
    penDown_ = false;
    SetIndicator(button, false);
}

void TestBoard::Clear() {
    auto& home = form_["picHome"];
    home.Cls(home.BackColor());
    currentX_ = currentY_ = 0;
}

void TestBoard::Layout() {
    const double width = form_.ScaleWidth(), height = form_.ScaleHeight();
    form_["picHead"].Move(0, 0, width, kHeadHeight);
    form_["picMesg"].Move(0, height - kMesgHeight, width, kMesgHeight);
    LayoutHead();
    LayoutMesg();
}

void TestBoard::LayoutHead() {
    const auto& bar = form_["picHead"];
    const double h = bar.Height(), w = bar.Width();
    auto& icon = form_["imgIcon"];
    auto& title = form_["lblTitle"];
    auto& exit = form_["cmdExit"];
    auto& clear = form_["cmdClear"];
    const double iconTop = (h - icon.Height()) / 2;
    icon.Move(iconTop, iconTop, icon.Width(), icon.Height());
    title.Move(3 * icon.Left() + icon.Width(), (h - title.Height()) / 2, title.Width(), title.Height());
    exit.Move(w - exit.Width() - icon.Top(), icon.Top(), exit.Width(), h - 2 * icon.Top());
    clear.Move(exit.Left() - exit.Width() - exit.Top(), exit.Top(), exit.Width(), exit.Height());
}

void TestBoard::LayoutMesg() {
    const double width = form_.ScaleWidth(), height = form_.ScaleHeight();
    const auto& head = form_["picHead"];
    const auto& bar = form_["picMesg"];
    form_["picHome"].Move(0, head.Height(), width, height - head.Height() - bar.Height());

    const double h = bar.Height();
    const double m = (h - form_("lblButton", 0).Height()) / 2;
    double x = bar.Width();
    struct Group {
        const char* Items;
        int Count;
        const char* Caption;
    };
    const Group groups[] = {{"lblButton", 3, "lblButtonName"}, {"lblColor", 5, "lblColorName"},
                            {"lblWidth", 4, "lblWidthName"}};
    for (const auto& g : groups) {
        for (int i = g.Count - 1; i >= 0; --i) {
            auto& item = form_(g.Items, i);
            x -= m + item.Width();
            item.Move(x, m, item.Width(), item.Height());
        }
        auto& caption = form_[g.Caption];
        x -= m + caption.Width();
        caption.Move(x, (h - caption.Height()) / 2, caption.Width(), caption.Height());
        x -= m;
    }
    auto& box = form_["lblHelpBox"];
    box.Move(0, 0, x - m, h);
    auto& help = form_["lblHelp"];
    const double top = (box.Height() - help.Height()) / 2;
    help.Move(top, top, box.Width() - 2 * top, help.Height());
}

void InstallTestBoard(ControlPanel& panel) {
    Form& form = panel.AddWindow(MakeTestForm());
    auto board = std::make_shared<TestBoard>(form, panel.Channel(), [&panel] { panel.ReturnToMainWindow(); });
    form.Load = [board] { board->Load(); };
    form.Resize = [board] { board->Layout(); };
    form.Activated = [board] { board->Activate(); };
    form.Unloading = [board](bool&) { board->Unloaded(); };
    form.SessionEnding = [board] { board->RestoreTouchMode(); };
    form["cmdClear"].Click = [board] { board->Clear(); };
    form["cmdExit"].Click = [&form] { form.Unload(); };
    for (int i = 0; i < 4; ++i) {
        auto& label = form("lblWidth", i);
        label.Click = [board, i] { board->SelectWidth(i); };
        label.MouseDown = [board, i](int, int, double, double) { board->SelectWidth(i); };
    }
    for (int i = 0; i < 5; ++i) {
        auto& label = form("lblColor", i);
        label.Click = [board, i] { board->SelectColor(i); };
        label.MouseDown = [board, i](int, int, double, double) { board->SelectColor(i); };
    }
    auto& home = form["picHome"];
    home.MouseDown = [board](int button, int, double x, double y) { board->Press(button, x, y); };
    home.MouseMove = [board](int, int, double x, double y) { board->Move(x, y); };
    home.MouseUp = [board](int button, int, double, double) { board->Release(button); };
}

}  // namespace px
