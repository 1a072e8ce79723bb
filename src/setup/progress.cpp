#include "setup/progress.hpp"

#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

Form MakeMessageForm() {
    return Form({.Name = "frmMessage", .Caption = "Message", .ClientWidth = 5355, .ClientHeight = 900,
                 .Border = BorderStyle::FixedDialog, .ControlBox = false},
                {
                    {.Name = "imgMsg", .Kind = ControlKind::Image, .Left = 270, .Top = 210, .Width = 480,
                     .Height = 480, .Picture = "IDI_PRODUCT"},
                    {.Name = "lblMsg", .Kind = ControlKind::Label, .Caption = "*", .Left = 945, .Top = 360,
                     .Width = 4110, .Height = 180, .ForeColor = kBlack, .Transparent = true},
                });
}

void Hourglass::Busy() {
    ++count_;
    form_.SetPointer(MousePointer::Hourglass);
}

void Hourglass::Normal() {
    if (count_ > 0) --count_;
    if (count_ == 0) form_.SetPointer(MousePointer::Default);
}

void ShowProgress(Form& message, const std::string& title, const std::string& text) {
    if (!message.Loaded()) message.Hide();  // loads it, still hidden, to lay it out first
    message.SetCaption(title);
    auto& label = message["lblMsg"];
    auto& icon = message["imgMsg"];
    label.SetCaption(text);
    icon.SetTop(message.ScaleHeight() / 2 - icon.Height() / 2);
    label.SetTop(message.ScaleHeight() / 2 - label.Height() / 2);
    const auto place = CenterWindow(message.Screen().Width, message.Screen().Height, message.Width(),
                                    message.Height());
    message.Move(place.Left, place.Top, message.Width(), message.Height());
    // Show paints at once: the callers go on working without handling window events.
    message.Show();
}

std::string RestartFailureText(const std::string& step, std::uint32_t number) {
    return "Fail to restart system! (" + step + std::to_string(number) + ")";
}

std::string StartRestart(RestartPort& restart) {
    std::string step;
    std::uint32_t number = 0;
    if (!restart.OpenProcessToken()) {
        step = "OpenProcessToken=";
    } else {
        if (const auto error = restart.LookupShutdownPrivilege(); error != 0) {
            step = "LookupPrivilegeValue = ";
            number = error;
        } else if (const auto adjust = restart.EnableShutdownPrivilege(); adjust != 0) {
            step = "AdjustTokenPrivileges = ";
            number = adjust;
        } else if (!restart.RunsAsInteractiveUser()) {
            if (!restart.SystemRestart()) step = "InitiateSystemShutdownEx=";
        } else if (!restart.ExitWindowsReboot()) {
            step = "ExitWindowsEx=";
        }
        restart.CloseToken();
    }
    return step.empty() ? std::string() : RestartFailureText(step, number);
}

bool RestartSystem(RestartPort& restart, UiPort& ui, const std::string& title) {
    const std::string failure = StartRestart(restart);
    if (failure.empty()) return true;
    ui.ShowMessageBox(failure, title, kBoxOk);
    return false;
}

}  // namespace px
