/* Private requests of the stand-in driver: how pxsim and the tests play the touchscreen.
 * They use the vendor device type 0x8000 so they can never collide with the product's
 * FILE_DEVICE_MOUSE table, and they are never written to the request journal.
 *
 *   code        name                      input                   output
 *   0x80002400  PX_STANDIN_GET_STATE      -                       PX_STANDIN_STATE
 *   0x80002404  PX_STANDIN_WRITE_BLOCK    PX_STANDIN_BLOCK_WRITE  PX_PARAMETER_BLOCK
 *   0x80002408  PX_STANDIN_SET_RBF        PX_RBF_WINDOW_RECORD    PX_RBF_WINDOW_RECORD
 *   0x8000240C  PX_STANDIN_FEED           PX_STANDIN_FEED_INPUT   PX_TOUCH_REPORT
 *   0x80002410  PX_STANDIN_READ_JOURNAL   -                       PX_STANDIN_JOURNAL
 *   0x80002414  PX_STANDIN_CLEAR_JOURNAL  -                       -
 *   0x80002418  PX_STANDIN_FAIL_NEXT      PX_STANDIN_FAULT        -
 *   0x8000241C  PX_STANDIN_RESET          -                       PX_PARAMETER_BLOCK
 *
 * A bad offset/length or action gives STATUS_INVALID_PARAMETER (client error 87). */
#ifndef PX_STANDIN_CONTROLS_H
#define PX_STANDIN_CONTROLS_H

#include "touch_records.h"

#define PX_STANDIN_DEVICE_TYPE 0x8000u
#define PX_STANDIN_CONTROL(function) ((PX_STANDIN_DEVICE_TYPE << 16) | ((uint32_t)(function) << 2))

#define PX_STANDIN_GET_STATE     PX_STANDIN_CONTROL(0x900)
#define PX_STANDIN_WRITE_BLOCK   PX_STANDIN_CONTROL(0x901)
#define PX_STANDIN_SET_RBF       PX_STANDIN_CONTROL(0x902)
#define PX_STANDIN_FEED          PX_STANDIN_CONTROL(0x903)
#define PX_STANDIN_READ_JOURNAL  PX_STANDIN_CONTROL(0x904)
#define PX_STANDIN_CLEAR_JOURNAL PX_STANDIN_CONTROL(0x905)
#define PX_STANDIN_FAIL_NEXT     PX_STANDIN_CONTROL(0x906)
#define PX_STANDIN_RESET         PX_STANDIN_CONTROL(0x907)

#define PX_STANDIN_IS_PRIVATE(code) (((uint32_t)(code) >> 16) == PX_STANDIN_DEVICE_TYPE)

/* An injected fault fails the request with this status (client error 31) and leaves
 * everything as it was; the request still goes to the journal. */
#define PX_STANDIN_FAULT_STATUS 0xC0000001u /* STATUS_UNSUCCESSFUL */

#define PX_STANDIN_JOURNAL_CAPACITY 128
#define PX_STANDIN_JOURNAL_INPUT_BYTES 48
#define PX_STANDIN_MAX_FAULTS 8

enum PX_STANDIN_FEED_ACTION {
    PX_STANDIN_TOUCH_DOWN = 1, /* finger down at X,Y (takes a pending right click) */
    PX_STANDIN_MOVE = 2,       /* new position, finger state unchanged */
    PX_STANDIN_LIFT = 3        /* finger up at the last position; X,Y ignored */
};

#pragma pack(push, 1)

typedef struct PX_STANDIN_STATE {
    PX_PARAMETER_BLOCK Block;
    PX_RBF_WINDOW_RECORD Rbf;
    PX_TOUCH_REPORT Report; /* what GET_REPORT answers now */
    int32_t OpenHandles;    /* including the asking handle */
    uint32_t RightClicks;   /* touch-downs taken as right-button actions since reset */
    uint32_t JournalLength; /* requests in the journal, repeats counted */
    uint32_t JournalDropped;
} PX_STANDIN_STATE;

/* Writes Bytes[0..Length) at Offset of the block: one field, several, or all 48. */
typedef struct PX_STANDIN_BLOCK_WRITE {
    uint8_t Offset;
    uint8_t Length;
    uint8_t Reserved[2];
    uint8_t Bytes[48];
} PX_STANDIN_BLOCK_WRITE;

typedef struct PX_STANDIN_FEED_INPUT {
    uint32_t Action;
    int16_t X;
    int16_t Y;
    uint32_t FurtherReports; /* more reports at the same place after the first */
} PX_STANDIN_FEED_INPUT;

/* Consecutive identical requests (same code, same input) share one entry, so a client
 * polling GET_REPORT does not push everything else out. */
typedef struct PX_STANDIN_JOURNAL_ENTRY {
    uint32_t Code;
    uint32_t InputLength; /* as sent; Input keeps the first 48 bytes */
    uint32_t Repeat;
    uint8_t Input[PX_STANDIN_JOURNAL_INPUT_BYTES];
} PX_STANDIN_JOURNAL_ENTRY;

typedef struct PX_STANDIN_JOURNAL {
    uint32_t Count;   /* entries used, oldest first */
    uint32_t Dropped; /* entries pushed out since the last clear */
    PX_STANDIN_JOURNAL_ENTRY Entries[PX_STANDIN_JOURNAL_CAPACITY];
} PX_STANDIN_JOURNAL;

/* Code's next Count requests fail; Count 0 disarms. */
typedef struct PX_STANDIN_FAULT {
    uint32_t Code;
    uint32_t Count;
} PX_STANDIN_FAULT;

#pragma pack(pop)

PX_STATIC_ASSERT(sizeof(PX_STANDIN_STATE) == 80, "state size");
PX_STATIC_ASSERT(sizeof(PX_STANDIN_BLOCK_WRITE) == 52, "block write size");
PX_STATIC_ASSERT(sizeof(PX_STANDIN_FEED_INPUT) == 12, "feed size");
PX_STATIC_ASSERT(sizeof(PX_STANDIN_JOURNAL_ENTRY) == 60, "journal entry size");
PX_STATIC_ASSERT(sizeof(PX_STANDIN_FAULT) == 8, "fault size");

#endif
