#include "e2e/message_box.hpp"

#include "e2e/windows.hpp"
#include "pixels.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace e2e {
namespace {

constexpr int kMessageTextId = 0xFFFF;

struct IconKind {
    MessageBoxIcon kind;
    LPCWSTR resource;
};
const IconKind kIconKinds[] = {
    {MessageBoxIcon::Stop, IDI_HAND},
    {MessageBoxIcon::Question, IDI_QUESTION},
    {MessageBoxIcon::Exclamation, IDI_EXCLAMATION},
    {MessageBoxIcon::Information, IDI_ASTERISK},
};

bool IsMessageBox(HWND window) {
    return ClassName(window) == "#32770" && GetDlgItem(window, kMessageTextId) != nullptr;
}

HWND IconStatic(HWND box) {
    for (const auto& control : ListControls(box)) {
        if (control.visible && _stricmp(control.className.c_str(), "Static") == 0 &&
            (control.style & SS_TYPEMASK) == SS_ICON)
            return control.window;
    }
    return nullptr;
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24)
            return false;
    }
    return true;
}

// Share of the icon's opaque pixels that the screen shows at offset (x, y) of shown. An opaque
// pixel is one that comes out the same over black and over white.
double Likeness(const detail::Pixels& shown, int x, int y, const detail::Pixels& overBlack,
                const detail::Pixels& overWhite) {
    int opaque = 0, same = 0;
    for (int row = 0; row < overBlack.height; ++row) {
        for (int column = 0; column < overBlack.width; ++column) {
            if (overBlack.at(column, row) != overWhite.at(column, row)) continue;
            ++opaque;
            if (x + column < shown.width && y + row < shown.height &&
                Near(shown.at(x + column, y + row), overBlack.at(column, row)))
                ++same;
        }
    }
    // An icon with almost nothing opaque proves nothing.
    if (opaque * 10 < overBlack.width * overBlack.height) return 0.0;
    return static_cast<double>(same) / opaque;
}

// Wine hands each process its own copies of the system icons, so the handle in another
// process's box never equals ours: compare what the box shows with our copy drawn alike.
std::optional<MessageBoxIcon> IconOnScreen(HWND iconStatic) {
    RECT client{};
    GetClientRect(iconStatic, &client);
    MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const detail::Pixels shown = detail::CaptureScreen(client);
    if (shown.empty()) return std::nullopt;

    struct Placement { int width, height, x, y; };
    const int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
    // Stretched over the static, or natural size at its corner or centre.
    const Placement placements[] = {
        {shown.width, shown.height, 0, 0},
        {iconWidth, iconHeight, 0, 0},
        {iconWidth, iconHeight, (shown.width - iconWidth) / 2, (shown.height - iconHeight) / 2},
    };
    for (const auto& kind : kIconKinds) {
        HICON icon = LoadIconW(nullptr, kind.resource);
        for (const auto& place : placements) {
            if (place.x < 0 || place.y < 0 || place.x + place.width > shown.width ||
                place.y + place.height > shown.height)
                continue;
            const auto overBlack = detail::RenderIcon(icon, place.width, place.height, RGB(0, 0, 0));
            const auto overWhite = detail::RenderIcon(icon, place.width, place.height, RGB(255, 255, 255));
            if (overBlack.empty() || overWhite.empty()) continue;
            if (Likeness(shown, place.x, place.y, overBlack, overWhite) >= 0.9) return kind.kind;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string_view ToString(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::None: return "None";
    case MessageBoxIcon::Stop: return "Stop";
    case MessageBoxIcon::Question: return "Question";
    case MessageBoxIcon::Exclamation: return "Exclamation";
    case MessageBoxIcon::Information: return "Information";
    case MessageBoxIcon::Unrecognised: return "Unrecognised";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, MessageBoxIcon icon) { return out << ToString(icon); }

HWND FindMessageBox(DWORD processId) {
    HWND found = nullptr;
    ForEachTopLevel([&](HWND window) {
        if (!IsWindowVisible(window) || !IsMessageBox(window)) return true;
        if (processId != 0 && WindowProcessId(window) != processId) return true;
        found = window;
        return false;
    });
    return found;
}

HWND WaitForMessageBox(Milliseconds timeout, DWORD processId) {
    return WaitFor([&] { return FindMessageBox(processId); }, timeout);
}

MessageBoxIcon ReadMessageBoxIcon(HWND box, Milliseconds timeout) {
    HWND iconStatic = IconStatic(box);
    if (!iconStatic) return MessageBoxIcon::None;
    DWORD_PTR shown = 0;
    SendMessageTimeoutW(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &shown);
    for (const auto& kind : kIconKinds)
        if (shown != 0 && reinterpret_cast<HICON>(shown) == LoadIconW(nullptr, kind.resource)) return kind.kind;
    // The box may not have painted yet: look until it shows something we know.
    const auto onScreen = WaitFor([&] { return IconOnScreen(iconStatic); }, timeout);
    return onScreen.value_or(MessageBoxIcon::Unrecognised);
}

MessageBoxInfo ReadMessageBox(HWND box, Milliseconds iconTimeout) {
    MessageBoxInfo info;
    info.window = box;
    info.processId = WindowProcessId(box);
    info.title = WindowText(box);
    info.text = WindowText(GetDlgItem(box, kMessageTextId));
    info.topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::vector<ControlInfo> shownButtons;
    for (auto& control : ListControls(box))
        if (control.visible && _stricmp(control.className.c_str(), "Button") == 0) shownButtons.push_back(control);
    std::sort(shownButtons.begin(), shownButtons.end(),
              [](const ControlInfo& a, const ControlInfo& b) { return a.screenRect.left < b.screenRect.left; });
    for (const auto& button : shownButtons) info.buttons.push_back(button.id);
    info.icon = ReadMessageBoxIcon(box, iconTimeout);
    return info;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button || !IsWindowVisible(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

}  // namespace e2e
