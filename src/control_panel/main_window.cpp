#include "control_panel/main_window.hpp"

#include "control_panel/support_window.hpp"
#include "shared/summaries.hpp"
#include "shared/window_header.hpp"
#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

namespace {


ControlDecl Button(const char* name, const char* caption, double left, double top, double width) {
    return {.Name = name, .Kind = ControlKind::CommandButton, .Caption = caption, .Left = left, .Top = top,
            .Width = width, .Height = 435};
}
ControlDecl SummaryFrame(const char* name, double top, bool visible = true, double left = 2280) {
    return {.Name = name, .Kind = ControlKind::Shape, .Left = left, .Top = top, .Width = 3855, .Height = 435,
            .BackColor = kLightGrey, .Visible = visible};
}
ControlDecl SummaryLabel(const char* name, const char* caption, double top, bool visible = true,
                         double left = 2400) {
    return {.Name = name, .Kind = ControlKind::Label, .Caption = caption, .Left = left, .Top = top, .Width = 3600,
            .Height = 195, .ForeColor = kBlack, .BackColor = kLightGrey, .Visible = visible, .Transparent = true,
            .AutoSize = true};
}

}  // namespace

Form MakeMainForm() {
    std::vector<ControlDecl> controls = {
        VendorTitleLabel(480),
        SystemLabel("TouchScreen Control Panel Version ", 960, 3105),
        IconFrame(5280, 360),
        IconImage(),
        Button("cmdSerialPort", "&Serial Port", 480, 1500, 1695),
        SummaryFrame("shpSerialPort", 1500),
        SummaryLabel("lblSerialPort", "COM?, Port=????h, IRQ=??, ????? BPS", 1620),
        Button("cmdVirtualButton", "&Virtual Button", 480, 2100, 1695),
        SummaryFrame("shpVirtualButton", 2100),
        SummaryLabel("lblVirtualButton", "Drag Drop Mode", 2220),
        Button("cmdFeedbackSound", "&Feedback Sound", 480, 2700, 1695),
        SummaryFrame("shpFeedbackSound", 2700),
        SummaryLabel("lblFeedbackSound", "Silence", 2820),
        Button("cmdMouseSpeed", "&Mouse Speed", 480, 3300, 1695),
        SummaryFrame("shpMouseSpeed", 3300),
        SummaryLabel("lblMouseSpeed", "HS=50%, VS=50%, Acceleration=Slow", 3420),
        Button("cmdSleepTime", "&Power Save", 480, 3900, 1695),
        SummaryFrame("shpSleepTime", 3900),
        SummaryLabel("lblSleepTime", "Disable Power Down Function", 4020),
        Button("cmdCalibration", "&Calibration", 480, 4500, 1695),
        Button("cmdSupport", "S&upport", 2280, 4500, 1875),
        Button("cmdExit", "E&xit", 4260, 4500, 1875),
        Button("cmdTest", "&Test", 3960, 960, 1215),
        // "cmdSensivitity": the control's name as tests and service notes know it.
        Button("cmdSensivitity", "&Touch Sensitivity", 2640, 5040, 1695),
        SummaryFrame("shpSensitivity", 5040, false, 4440),
        SummaryLabel("lblSensitivity", "Level 0 (Normal)", 5160, false, 4560),
    };
    for (auto& c : controls) {
        if (c.Name == "cmdExit") {
            c.Default = true;
            // Windows draws a standard push button in the system's face colours whatever its
            // parent answers, so it looks like the others: only an owner-drawn one shows this.
            c.BackColor = kLightGrey;
        }
        if (c.Name == "cmdTest" || c.Name == "cmdSensivitity") {
            c.Visible = false;
            c.Enabled = false;
        }
    }
    return Form({.Name = "frmMain", .Caption = "MAIN", .ClientWidth = 6645, .ClientHeight = 5715,
                 .Border = BorderStyle::FixedSingle, .Icon = "IDI_PRODUCT"},
                std::move(controls));
}

ControlPanel::ControlPanel(SuitePorts ports)
    : ports_(ports),
      channel_(ports.Device, ports.Ui, ports.Process, ports.Windows),
      oem_(ports.Registry),
      main_(MakeMainForm()),
      about_(MakeAboutForm()),
      support_(MakeSupportForm()) {
    Wire();
    InstallControlPanelWindows(*this);
}

Form& ControlPanel::AddWindow(std::unique_ptr<Form> window) {
    windows_.push_back(std::move(window));
    return *windows_.back();
}

Form* ControlPanel::Window(const std::string& name) {
    for (Form* form : Windows())
        if (form->Name() == name) return form;
    return nullptr;
}

std::vector<Form*> ControlPanel::Windows() {
    std::vector<Form*> all{&main_, &about_, &support_};
    for (auto& w : windows_) all.push_back(w.get());
    return all;
}

WindowHeader ControlPanel::Header() {
    return WindowHeader{main_["lblOemTitle"].Caption(), main_["lblSystem"].Caption()};
}

void ControlPanel::Start() { main_.Show(); }

void ControlPanel::EndProgram() {
    ports_.Process.EndProgram(0);
}

void ControlPanel::EndSession() {
    for (Form* window : Windows())
        if (window->Loaded() && window->SessionEnding) window->SessionEnding();
    channel_.CloseDriver();
    EndProgram();
}

void ControlPanel::ReturnToMainWindow() { main_.Show(); }

void ControlPanel::Open(Form& window, Order order) {
    main_.SetPointer(MousePointer::Hourglass);
    if (order == Order::ShowThenHide) {
        window.Show();
        main_.Hide();
    } else {
        main_.Hide();
        window.Show();
    }
    main_.SetPointer(MousePointer::Default);
}

void ControlPanel::Open(const std::string& window, Order order) {
    if (Form* form = Window(window)) Open(*form, order);
}

namespace {
struct Opening {
    const char* Button;
    const char* Window;
    ControlPanel::Order Sequence;
};
const Opening kOpenings[] = {
    {"cmdSerialPort", "frmSerialPort", ControlPanel::Order::ShowThenHide},
    {"cmdVirtualButton", "frmVirtualButton", ControlPanel::Order::ShowThenHide},
    {"cmdFeedbackSound", "frmFeedbackSound", ControlPanel::Order::ShowThenHide},
    {"cmdMouseSpeed", "frmMouseSpeed", ControlPanel::Order::ShowThenHide},
    {"cmdSensivitity", "frmSensitivity", ControlPanel::Order::ShowThenHide},
    {"cmdSleepTime", "frmSleepTime", ControlPanel::Order::ShowThenHide},
    {"cmdCalibration", "frmCalibration", ControlPanel::Order::HideThenShow},
    {"cmdTest", "frmTest", ControlPanel::Order::HideThenShow},
};
// Right-button presses with the service keys: the only way to the test and controller windows.
const Opening kServiceOpenings[] = {
    {"cmdExit", "frmTest", ControlPanel::Order::ShowThenHide},
    {"cmdSerialPort", "frmMcuInfo", ControlPanel::Order::ShowThenHide},
};
}  // namespace

void ControlPanel::Wire() {
    main_.Load = [this] { LoadMain(); };
    for (const auto& opening : kOpenings)
        main_[opening.Button].Click = [this, opening] { Open(opening.Window, opening.Sequence); };
    for (const auto& opening : kServiceOpenings)
        main_[opening.Button].MouseDown = [this, opening](int button, int shift, double, double) {
            if (button == kRightButton && shift == kServiceKeys) Open(opening.Window, opening.Sequence);
        };
    main_.Unloading = [this](bool&) { channel_.CloseDriver(); };
    main_["cmdExit"].Click = [this] {
        main_.Unload();
        EndProgram();
    };
    main_["cmdSupport"].Click = [this] {
        // The bitmap is looked for again at the click: it may have gone since the load.
        int w = 0, h = 0;
        const bool bitmap = FileExists(ports_.Files, logoPath_) && ports_.Pictures.BitmapSize(logoPath_, w, h);
        Open(bitmap ? support_ : about_, Order::HideThenShow);
    };
    main_["imgIcon"].DblClick = [this] { Open(about_, Order::HideThenShow); };

    WireAboutWindow(about_, [this] { return Header(); }, [this] { ReturnToMainWindow(); });
    WireSupportWindow(
        support_, [this] { return main_.Caption(); }, [this] { return logoPath_; }, ports_.Pictures,
        [this] { ReturnToMainWindow(); });
}

void ControlPanel::LoadMain() {
    if (!LoadMainHeading(main_, kControlPanelTitle, ports_.Search, ports_.Ui, oem_)) {
        EndProgram();
        return;
    }

    auto& support = main_["cmdSupport"];
    if (FileExists(ports_.Files, oem_.InstallPath + "\\PXVender.Cut")) {
        support.SetCaption("");
        support.SetEnabled(false);
    } else {
        logoPath_ = oem_.InstallPath + "\\PXVender.Bmp";
        if (!FileExists(ports_.Files, logoPath_)) support.SetCaption("&About");
    }

    main_.SetPointer(MousePointer::Hourglass);
    if (!channel_.OpenDriver(OpenForm::Reporting)) return;  // it has told the user and ended
    channel_.GetParameters();
    ShowSummaries();
    CenterFormOnScreen(main_);
    CenterIconIn(main_);
    main_.SetPointer(MousePointer::Default);
}

void ControlPanel::ShowSummaries() {
    for (Summary line : {Summary::SerialPort, Summary::SleepTime, Summary::VirtualButton, Summary::FeedbackSound,
                         Summary::Sensitivity, Summary::MouseSpeed})
        ShowSummary(line);
}

void ControlPanel::ShowSummary(Summary line) {
    const auto& b = channel_.Block;
    switch (line) {
        case Summary::SerialPort:
            main_["lblSerialPort"].SetCaption(SerialPortSummary(b.ComPort, b.PortAddress, b.PortIrq, b.BaudCode));
            break;
        case Summary::SleepTime: main_["lblSleepTime"].SetCaption(PowerDownText(b.PowerDownTime)); break;
        case Summary::VirtualButton:
            main_["lblVirtualButton"].SetCaption(VirtualButtonSummary(b.TouchMode, b.RightButton));
            break;
        case Summary::FeedbackSound: main_["lblFeedbackSound"].SetCaption(FeedbackSoundText(b.FeedbackSound)); break;
        case Summary::Sensitivity: main_["lblSensitivity"].SetCaption(SensitivityText(b.Sensitivity)); break;
        case Summary::MouseSpeed:
            main_["lblMouseSpeed"].SetCaption(MouseSpeedText(b.HSpeed, b.VSpeed, b.Acceleration, b.Bypass));
            break;
    }
}

}  // namespace px
