#include "standin_text.hpp"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace px::standin {
namespace {

#define PX_FIELD(label, member, isSigned)                                                           \
    BlockField {                                                                                    \
        label, static_cast<std::uint8_t>(offsetof(PX_PARAMETER_BLOCK, member)),                     \
            static_cast<std::uint8_t>(sizeof(PX_PARAMETER_BLOCK::member)), isSigned                \
    }
#define PX_COM_FIELDS(n, i)                                                                         \
    BlockField{"ComTable[" #n "].IoAddress", static_cast<std::uint8_t>(4 + 4 * (i)), 2, false},     \
        BlockField {                                                                                \
        "ComTable[" #n "].Irq", static_cast<std::uint8_t>(4 + 4 * (i) + 2), 1, false                \
    }

constexpr std::array kFields = {
    PX_FIELD("PortAddress", PortAddress, false),
    PX_FIELD("PortIrq", PortIrq, false),
    PX_FIELD("ComPort", ComPort, false),
    PX_COM_FIELDS(1, 0),
    PX_COM_FIELDS(2, 1),
    PX_COM_FIELDS(3, 2),
    PX_COM_FIELDS(4, 3),
    PX_FIELD("TouchMode", TouchMode, false),
    PX_FIELD("FeedbackSound", FeedbackSound, false),
    PX_FIELD("Sensitivity", Sensitivity, false),
    PX_FIELD("Bypass", Bypass, false),
    PX_FIELD("HSpeed", HSpeed, false),
    PX_FIELD("VSpeed", VSpeed, false),
    PX_FIELD("Acceleration", Acceleration, false),
    PX_FIELD("PowerDownTime", PowerDownTime, false),
    PX_FIELD("BaudCode", BaudCode, false),
    PX_FIELD("RightButton", RightButton, false),
    PX_FIELD("CalXMin", CalXMin, true),
    PX_FIELD("CalXMax", CalXMax, true),
    PX_FIELD("CalYMin", CalYMin, true),
    PX_FIELD("CalYMax", CalYMax, true),
    PX_FIELD("ScreenWidth", ScreenWidth, true),
    PX_FIELD("ScreenHeight", ScreenHeight, true),
    PX_FIELD("McuMode", McuMode, false),
    PX_FIELD("McuVersion", McuVersion, false),
    BlockField{"McuCode[0]", 44, 1, false},
    BlockField{"McuCode[1]", 45, 1, false},
    BlockField{"McuCode[2]", 46, 1, false},
    BlockField{"McuCode[3]", 47, 1, false},
};

struct RequestNameEntry {
    std::uint32_t Code;
    std::string_view Name;
};

constexpr std::array kRequests = {
    RequestNameEntry{IOCTL_TOUCH_GET_PARAMETERS, "IOCTL_TOUCH_GET_PARAMETERS"},
    RequestNameEntry{IOCTL_TOUCH_GET_REPORT, "IOCTL_TOUCH_GET_REPORT"},
    RequestNameEntry{IOCTL_TOUCH_CALIBRATION_CODE, "IOCTL_TOUCH_CALIBRATION_CODE"},
    RequestNameEntry{IOCTL_TOUCH_SET_PORT_IRQS, "IOCTL_TOUCH_SET_PORT_IRQS"},
    RequestNameEntry{IOCTL_TOUCH_SET_TOUCH_MODE, "IOCTL_TOUCH_SET_TOUCH_MODE"},
    RequestNameEntry{IOCTL_TOUCH_SET_FEEDBACK_SOUND, "IOCTL_TOUCH_SET_FEEDBACK_SOUND"},
    RequestNameEntry{IOCTL_TOUCH_SET_SENSITIVITY, "IOCTL_TOUCH_SET_SENSITIVITY"},
    RequestNameEntry{IOCTL_TOUCH_SET_MOUSE_SPEED, "IOCTL_TOUCH_SET_MOUSE_SPEED"},
    RequestNameEntry{IOCTL_TOUCH_SET_CALIBRATION, "IOCTL_TOUCH_SET_CALIBRATION"},
    RequestNameEntry{IOCTL_TOUCH_SET_SCREEN_SIZE, "IOCTL_TOUCH_SET_SCREEN_SIZE"},
    RequestNameEntry{IOCTL_TOUCH_SET_POWER_DOWN, "IOCTL_TOUCH_SET_POWER_DOWN"},
    RequestNameEntry{IOCTL_TOUCH_GET_RBF_WINDOW, "IOCTL_TOUCH_GET_RBF_WINDOW"},
    RequestNameEntry{IOCTL_TOUCH_SET_RBF_WINDOW, "IOCTL_TOUCH_SET_RBF_WINDOW"},
};

}  // namespace

std::span<const BlockField> BlockFields() { return kFields; }

const BlockField* FindBlockField(std::string_view name) {
    for (const auto& field : kFields)
        if (field.Name == name) return &field;
    return nullptr;
}

std::int32_t ReadField(const PX_PARAMETER_BLOCK& block, const BlockField& field) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&block) + field.Offset;
    if (field.Size == 1) return field.Signed ? static_cast<std::int8_t>(bytes[0]) : bytes[0];
    const std::uint16_t raw = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    return field.Signed ? static_cast<std::int16_t>(raw) : raw;
}

std::optional<std::vector<std::uint8_t>> FieldBytes(const BlockField& field, std::int64_t value) {
    // Either reading of the bits is accepted: -1 and 65535 both fill a 16-bit field.
    const std::int64_t low = field.Size == 1 ? -128 : -32768;
    const std::int64_t high = field.Size == 1 ? 255 : 65535;
    if (value < low || value > high) return std::nullopt;
    const auto raw = static_cast<std::uint16_t>(value);
    if (field.Size == 1) return std::vector<std::uint8_t>{static_cast<std::uint8_t>(raw)};
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(raw & 0xFF), static_cast<std::uint8_t>(raw >> 8)};
}

void WriteField(PX_PARAMETER_BLOCK& block, const BlockField& field, std::int32_t value) {
    const auto raw = static_cast<std::uint16_t>(value);
    auto* bytes = reinterpret_cast<std::uint8_t*>(&block) + field.Offset;
    bytes[0] = static_cast<std::uint8_t>(raw & 0xFF);
    if (field.Size == 2) bytes[1] = static_cast<std::uint8_t>(raw >> 8);
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return negative ? -value : value;
}

std::string RequestName(std::uint32_t code) {
    for (const auto& request : kRequests)
        if (request.Code == code) return std::string(request.Name);
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(code));
    return text;
}

std::optional<std::uint32_t> RequestCode(std::string_view name) {
    for (const auto& request : kRequests)
        if (request.Name == name) return request.Code;
    const auto number = ParseNumber(name);
    if (!number || *number < 0 || *number > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<std::uint32_t>(*number);
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof(pair), "%02X", bytes[i]);
        if (i) text += ' ';
        text += pair;
    }
    return text;
}

std::string FormatState(const PX_STANDIN_STATE& state) {
    std::string text;
    for (const auto& field : kFields)
        text += std::string(field.Name) + "=" + std::to_string(ReadField(state.Block, field)) + "\n";
    text += "RbfWindow=" + std::to_string(state.Rbf.RbfWindow) + "\n";
    text += "RightClickPending=" + std::to_string(state.Rbf.RightClickPending) + "\n";
    text += "OpenHandles=" + std::to_string(state.OpenHandles) + "\n";
    return text;
}

std::string JournalLine(const PX_STANDIN_JOURNAL_ENTRY& entry) {
    const std::size_t kept =
        entry.InputLength < PX_STANDIN_JOURNAL_INPUT_BYTES ? entry.InputLength : PX_STANDIN_JOURNAL_INPUT_BYTES;
    std::string line = RequestName(entry.Code);
    if (kept) line += " " + HexBytes(std::span(entry.Input, kept));
    return line;
}

}  // namespace px::standin
