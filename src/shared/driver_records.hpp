// Records and request codes of the touchscreen driver's device interface.
// Every record is both the input and the output buffer of its requests; layouts are fixed by
// the driver, little-endian, without padding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace px {

#pragma pack(push, 1)

struct ComTableEntry {
    std::uint16_t IoAddress;
    std::uint8_t Irq;
    std::uint8_t Reserved;
};

struct DriverParameterBlock {
    std::uint16_t PortAddress;
    std::uint8_t PortIrq;
    std::uint8_t ComPort;
    ComTableEntry ComTable[4];  // COM1..COM4; address 0 with IRQ 0 means absent
    std::uint8_t TouchMode;
    std::uint8_t FeedbackSound;
    std::uint8_t Sensitivity;  // 127 minus the level
    std::uint8_t Bypass;
    std::uint8_t HSpeed;  // steps of 5 %
    std::uint8_t VSpeed;
    std::uint8_t Acceleration;
    std::uint8_t PowerDownTime;  // steps of 10 s, 0 = off
    std::uint8_t BaudCode;
    std::uint8_t RightButton;
    std::int16_t CalXMin;
    std::int16_t CalXMax;
    std::int16_t CalYMin;
    std::int16_t CalYMax;
    std::int16_t ScreenWidth;
    std::int16_t ScreenHeight;
    std::uint8_t McuMode;
    std::uint8_t McuVersion;  // two BCD digits
    std::uint8_t McuCode[4];
};

struct TouchReport {
    std::int16_t RawX;
    std::int16_t RawY;
    std::uint8_t Status;  // bit 3: finger down
    std::uint8_t Reserved;
    std::int16_t ReportCount;
};

struct CalibrationCode {
    std::int32_t Code;
};

struct RbfWindowRecord {
    std::int32_t RbfWindow;  // window handle of the right-button program, -1 = none
    std::int16_t RightClickPending;
    std::uint8_t Reserved[2];
};

#pragma pack(pop)

static_assert(sizeof(ComTableEntry) == 4);
static_assert(sizeof(DriverParameterBlock) == 48);
static_assert(offsetof(DriverParameterBlock, PortAddress) == 0);
static_assert(offsetof(DriverParameterBlock, PortIrq) == 2);
static_assert(offsetof(DriverParameterBlock, ComPort) == 3);
static_assert(offsetof(DriverParameterBlock, ComTable) == 4);
static_assert(offsetof(DriverParameterBlock, TouchMode) == 20);
static_assert(offsetof(DriverParameterBlock, FeedbackSound) == 21);
static_assert(offsetof(DriverParameterBlock, Sensitivity) == 22);
static_assert(offsetof(DriverParameterBlock, Bypass) == 23);
static_assert(offsetof(DriverParameterBlock, HSpeed) == 24);
static_assert(offsetof(DriverParameterBlock, VSpeed) == 25);
static_assert(offsetof(DriverParameterBlock, Acceleration) == 26);
static_assert(offsetof(DriverParameterBlock, PowerDownTime) == 27);
static_assert(offsetof(DriverParameterBlock, BaudCode) == 28);
static_assert(offsetof(DriverParameterBlock, RightButton) == 29);
static_assert(offsetof(DriverParameterBlock, CalXMin) == 30);
static_assert(offsetof(DriverParameterBlock, CalXMax) == 32);
static_assert(offsetof(DriverParameterBlock, CalYMin) == 34);
static_assert(offsetof(DriverParameterBlock, CalYMax) == 36);
static_assert(offsetof(DriverParameterBlock, ScreenWidth) == 38);
static_assert(offsetof(DriverParameterBlock, ScreenHeight) == 40);
static_assert(offsetof(DriverParameterBlock, McuMode) == 42);
static_assert(offsetof(DriverParameterBlock, McuVersion) == 43);
static_assert(offsetof(DriverParameterBlock, McuCode) == 44);
static_assert(sizeof(TouchReport) == 8);
static_assert(offsetof(TouchReport, RawY) == 2);
static_assert(offsetof(TouchReport, Status) == 4);
static_assert(offsetof(TouchReport, ReportCount) == 6);
static_assert(sizeof(CalibrationCode) == 4);
static_assert(sizeof(RbfWindowRecord) == 8);
static_assert(offsetof(RbfWindowRecord, RightClickPending) == 4);

inline constexpr std::uint8_t kTouchDownBit = 0x08;

// Windows device control code: type << 16 | access << 14 | function << 2 | method.
constexpr std::uint32_t DeviceControlCode(std::uint32_t deviceType, std::uint32_t function,
                                          std::uint32_t method, std::uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}
inline constexpr std::uint32_t kFileDeviceMouse = 0x0F;
inline constexpr std::uint32_t kMethodBuffered = 0;
inline constexpr std::uint32_t kFileAnyAccess = 0;
constexpr std::uint32_t TouchRequest(std::uint32_t function) {
    return DeviceControlCode(kFileDeviceMouse, function, kMethodBuffered, kFileAnyAccess);
}

inline constexpr std::uint32_t IOCTL_TOUCH_GET_PARAMETERS = TouchRequest(0x804);
inline constexpr std::uint32_t IOCTL_TOUCH_GET_REPORT = TouchRequest(0x80C);
inline constexpr std::uint32_t IOCTL_TOUCH_CALIBRATION_CODE = TouchRequest(0x810);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_PORT_IRQS = TouchRequest(0x814);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_TOUCH_MODE = TouchRequest(0x818);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_FEEDBACK_SOUND = TouchRequest(0x81C);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_SENSITIVITY = TouchRequest(0x820);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_MOUSE_SPEED = TouchRequest(0x824);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_CALIBRATION = TouchRequest(0x828);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_SCREEN_SIZE = TouchRequest(0x82C);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_POWER_DOWN = TouchRequest(0x830);
inline constexpr std::uint32_t IOCTL_TOUCH_GET_RBF_WINDOW = TouchRequest(0xC04);
inline constexpr std::uint32_t IOCTL_TOUCH_SET_RBF_WINDOW = TouchRequest(0xC08);

inline constexpr char kDriverName[] = "PXWNTCOM";
inline constexpr char kDevicePath[] = "\\\\.\\PXWNTCOM";

// Window messages understood by the right-button program (WM_USER, lParam 0).
inline constexpr std::uint32_t kWmUser = 0x400;
inline constexpr std::uintptr_t kRbfHide = 4096;
inline constexpr std::uintptr_t kRbfShow = 4097;
inline constexpr std::uintptr_t kRbfClose = 4110;

}  // namespace px
