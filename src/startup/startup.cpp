#include "startup.hpp"

#include "main_window.hpp"
#include "pause.hpp"
#include "window_utils.hpp"

namespace px {

using namespace forms;

namespace {
const Font kTitleFont{"Times New Roman", 18, true, false};
const Font kBoldFont{"MS Sans Serif", 8.25, true, false};
}  // namespace

Form MakeStartupForm() {
    return Form({.Name = "frmMain", .Caption = "MAIN", .ClientWidth = 6645, .ClientHeight = 1575,
                 .Border = BorderStyle::FixedSingle, .Icon = "IDI_PRODUCT"},
                {
                    {.Name = "picIcon", .Kind = ControlKind::PictureBox, .Left = 5280, .Top = 360, .Width = 780,
                     .Height = 780, .Border = true},
                    {.Name = "imgIcon", .Kind = ControlKind::Image, .Width = 480, .Height = 480,
                     .Container = "picIcon", .Picture = "IDI_PRODUCT"},
                    {.Name = "lblSystem", .Kind = ControlKind::Label, .Caption = "TouchScreen System Startup Version ",
                     .Left = 480, .Top = 960, .Width = 3330, .Height = 195, .ForeColor = Rgb(0, 0, 255),
                     .TextFont = kBoldFont, .Transparent = true, .AutoSize = true},
                    {.Name = "lblOemTitle", .Kind = ControlKind::Label, .Caption = "Vender", .Left = 480, .Top = 360,
                     .Width = 3570, .Height = 390, .ForeColor = Rgb(255, 0, 0), .TextFont = kTitleFont,
                     .Transparent = true, .AutoSize = true},
                });
}

StartupProgram::StartupProgram(StartupPorts ports)
    : ports_(ports),
      channel_(ports.Device, ports.Ui, ports.Process, ports.Windows),
      oem_(ports.Registry),
      main_(MakeStartupForm()),
      about_(MakeAboutForm()) {
    main_.Load = [this] { LoadMain(); };
    main_["imgIcon"].DblClick = [this] {
        main_.SetPointer(MousePointer::Hourglass);
        main_.Hide();
        about_.Show();
        main_.SetPointer(MousePointer::Default);
    };
    WireAboutWindow(
        about_, [this] { return WindowHeader{main_["lblOemTitle"].Caption(), main_["lblSystem"].Caption()}; },
        [this] {
            // The program's end closes About too; it must not bring the main window back then.
            if (!finishing_) main_.Show();
        });
}

void StartupProgram::EndProgram() {
    ended_ = true;
    ports_.Process.EndProgram(0);
}

void StartupProgram::LoadMain() {
    main_.SetCaption(kStartupTitle);
    auto& system = main_["lblSystem"];
    system.SetCaption(system.Caption() + kVersionSuffix);

    if (!PassStartChecks(main_, ports_.Search, ports_.Ui, oem_)) {
        EndProgram();
        return;
    }
    main_["lblOemTitle"].SetCaption(oem_.VenderName);
    CenterFormOnScreen(main_);
    CenterIconIn(main_);
    main_.SetPointer(MousePointer::Default);
}

bool StartupProgram::SetDoubleClickArea() {
    RegistryStore store(ports_.Registry);
    std::string subPath = kMouseSubPath;
    RegKey key = 0;
    if (!store.OpenRegistryKey(kHkeyCurrentUser, kMouseBasePath, subPath, key)) return false;
    const bool width = store.WriteRegistryString(key, "DoubleClickWidth", kDoubleClickSize);
    const bool height = store.WriteRegistryString(key, "DoubleClickHeight", kDoubleClickSize);
    store.CloseRegistryKey(key);
    return width && height;
}

void StartupProgram::Run() {
    main_.Show();
    if (ended_) return;

    if (!SetDoubleClickArea()) ShowErrorBox(ports_.Ui, kDoubleClickFailureText, kStartupTitle);

    const int width = ports_.Display.ScreenWidth();
    const int height = ports_.Display.ScreenHeight();

    if (!channel_.OpenDriver(OpenForm::Silent)) {
        ShowErrorBox(ports_.Ui, kStartupDriverFailureText, kStartupTitle);
        Finish();  // without the pause
        return;
    }
    const bool read = channel_.GetParameters();
    channel_.Block.ScreenWidth = static_cast<std::int16_t>(width);
    channel_.Block.ScreenHeight = static_cast<std::int16_t>(height);
    // Sending an unread block back would overwrite the driver's settings with zeros.
    if (read) channel_.SetScreenSize();

    if (channel_.Block.RightButton == 1) {
        channel_.GetRbfWindow();
        if (channel_.Rbf.RbfWindow == -1 && !StartRbfProgram(ports_.Process, oem_.InstallPath))
            ShowErrorBox(ports_.Ui, kRbfStartFailureText, kStartupTitle);
    }

    channel_.CloseDriver();
    Pause(ports_.Events, ports_.Clock, 1);
    Finish();
}

void StartupProgram::Finish() {
    finishing_ = true;
    about_.Unload();
    main_.Unload();
}

}  // namespace px
