#include "startup/startup.hpp"

#include "shared/pause.hpp"
#include "shared/window_header.hpp"
#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

Form MakeStartupForm() {
    return Form({.Name = "frmMain", .Caption = "MAIN", .ClientWidth = 6645, .ClientHeight = 1575,
                 .Border = BorderStyle::FixedSingle, .Icon = "IDI_PRODUCT"},
                {
                    IconFrame(5280, 360),
                    IconImage(),
                    SystemLabel("TouchScreen System Startup Version ", 960, 3330),
                    VendorTitleLabel(360),
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
    if (!LoadMainHeading(main_, kStartupTitle, ports_.Search, ports_.Ui, oem_)) {
        EndProgram();
        return;
    }
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
    ports_.Display.ApplyDoubleClickArea(kDoubleClickPixels, kDoubleClickPixels);

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
