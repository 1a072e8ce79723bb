/* Records and request codes of the PXWNTCOM device, as the stand-in driver sees them.
 * C twin of src/shared/driver_records.hpp: the kernel build cannot take C++. Little-endian,
 * no padding; the size and offset checks below keep the two in step. */
#ifndef PX_TOUCH_RECORDS_H
#define PX_TOUCH_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define PX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define PX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#pragma pack(push, 1)

typedef struct PX_COM_TABLE_ENTRY {
    uint16_t IoAddress;
    uint8_t Irq;
    uint8_t Reserved;
} PX_COM_TABLE_ENTRY;

typedef struct PX_PARAMETER_BLOCK {
    uint16_t PortAddress;
    uint8_t PortIrq;
    uint8_t ComPort;
    PX_COM_TABLE_ENTRY ComTable[4];
    uint8_t TouchMode;
    uint8_t FeedbackSound;
    uint8_t Sensitivity;
    uint8_t Bypass;
    uint8_t HSpeed;
    uint8_t VSpeed;
    uint8_t Acceleration;
    uint8_t PowerDownTime;
    uint8_t BaudCode;
    uint8_t RightButton;
    int16_t CalXMin;
    int16_t CalXMax;
    int16_t CalYMin;
    int16_t CalYMax;
    int16_t ScreenWidth;
    int16_t ScreenHeight;
    uint8_t McuMode;
    uint8_t McuVersion;
    uint8_t McuCode[4];
} PX_PARAMETER_BLOCK;

typedef struct PX_TOUCH_REPORT {
    int16_t RawX;
    int16_t RawY;
    uint8_t Status;
    uint8_t Reserved;
    int16_t ReportCount;
} PX_TOUCH_REPORT;

typedef struct PX_CALIBRATION_CODE {
    int32_t Code;
} PX_CALIBRATION_CODE;

typedef struct PX_RBF_WINDOW_RECORD {
    int32_t RbfWindow;
    int16_t RightClickPending;
    uint8_t Reserved[2];
} PX_RBF_WINDOW_RECORD;

#pragma pack(pop)

PX_STATIC_ASSERT(sizeof(PX_COM_TABLE_ENTRY) == 4, "ComTable entry");
PX_STATIC_ASSERT(sizeof(PX_PARAMETER_BLOCK) == 48, "parameter block size");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, PortIrq) == 2, "PortIrq");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, ComPort) == 3, "ComPort");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, ComTable) == 4, "ComTable");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, TouchMode) == 20, "TouchMode");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, FeedbackSound) == 21, "FeedbackSound");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, Sensitivity) == 22, "Sensitivity");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, Bypass) == 23, "Bypass");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, HSpeed) == 24, "HSpeed");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, VSpeed) == 25, "VSpeed");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, Acceleration) == 26, "Acceleration");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, PowerDownTime) == 27, "PowerDownTime");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, BaudCode) == 28, "BaudCode");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, RightButton) == 29, "RightButton");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, CalXMin) == 30, "CalXMin");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, CalXMax) == 32, "CalXMax");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, CalYMin) == 34, "CalYMin");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, CalYMax) == 36, "CalYMax");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, ScreenWidth) == 38, "ScreenWidth");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, ScreenHeight) == 40, "ScreenHeight");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, McuMode) == 42, "McuMode");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, McuVersion) == 43, "McuVersion");
PX_STATIC_ASSERT(offsetof(PX_PARAMETER_BLOCK, McuCode) == 44, "McuCode");
PX_STATIC_ASSERT(sizeof(PX_TOUCH_REPORT) == 8, "touch report size");
PX_STATIC_ASSERT(offsetof(PX_TOUCH_REPORT, Status) == 4, "Status");
PX_STATIC_ASSERT(offsetof(PX_TOUCH_REPORT, ReportCount) == 6, "ReportCount");
PX_STATIC_ASSERT(sizeof(PX_CALIBRATION_CODE) == 4, "calibration code size");
PX_STATIC_ASSERT(sizeof(PX_RBF_WINDOW_RECORD) == 8, "rbf record size");
PX_STATIC_ASSERT(offsetof(PX_RBF_WINDOW_RECORD, RightClickPending) == 4, "RightClickPending");

#define PX_TOUCH_DOWN_BIT 0x08u

/* FILE_DEVICE_MOUSE, METHOD_BUFFERED, FILE_ANY_ACCESS. */
#define PX_TOUCH_REQUEST(function) ((0x0Fu << 16) | ((uint32_t)(function) << 2))

#define IOCTL_TOUCH_GET_PARAMETERS     PX_TOUCH_REQUEST(0x804)
#define IOCTL_TOUCH_GET_REPORT         PX_TOUCH_REQUEST(0x80C)
#define IOCTL_TOUCH_CALIBRATION_CODE   PX_TOUCH_REQUEST(0x810)
#define IOCTL_TOUCH_SET_PORT_IRQS      PX_TOUCH_REQUEST(0x814)
#define IOCTL_TOUCH_SET_TOUCH_MODE     PX_TOUCH_REQUEST(0x818)
#define IOCTL_TOUCH_SET_FEEDBACK_SOUND PX_TOUCH_REQUEST(0x81C)
#define IOCTL_TOUCH_SET_SENSITIVITY    PX_TOUCH_REQUEST(0x820)
#define IOCTL_TOUCH_SET_MOUSE_SPEED    PX_TOUCH_REQUEST(0x824)
#define IOCTL_TOUCH_SET_CALIBRATION    PX_TOUCH_REQUEST(0x828)
#define IOCTL_TOUCH_SET_SCREEN_SIZE    PX_TOUCH_REQUEST(0x82C)
#define IOCTL_TOUCH_SET_POWER_DOWN     PX_TOUCH_REQUEST(0x830)
#define IOCTL_TOUCH_GET_RBF_WINDOW     PX_TOUCH_REQUEST(0xC04)
#define IOCTL_TOUCH_SET_RBF_WINDOW     PX_TOUCH_REQUEST(0xC08)

#endif
