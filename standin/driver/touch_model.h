/* The stand-in touchscreen without the kernel: records, requests, reports, journal, faults.
 * The driver shell holds one model behind a lock and only moves bytes in and out of it, so
 * everything here runs (and is tested) natively as well. Not thread-safe by itself. */
#ifndef PX_TOUCH_MODEL_H
#define PX_TOUCH_MODEL_H

#include "standin_controls.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TM_STATUS_SUCCESS                0x00000000u
#define TM_STATUS_UNSUCCESSFUL           0xC0000001u
#define TM_STATUS_INVALID_PARAMETER      0xC000000Du
#define TM_STATUS_INVALID_DEVICE_REQUEST 0xC0000010u
#define TM_STATUS_BUFFER_TOO_SMALL       0xC0000023u

/* Magic + block: what survives a driver restart. */
#define TM_SAVED_SETTINGS_SIZE (4 + 48)

typedef struct TM_FAULT_SLOT {
    uint32_t Code;
    uint32_t Remaining;
} TM_FAULT_SLOT;

typedef struct TOUCH_MODEL {
    PX_PARAMETER_BLOCK Block;
    PX_RBF_WINDOW_RECORD Rbf;
    PX_TOUCH_REPORT Report;
    int32_t OpenHandles;
    uint32_t RightClicks;
    TM_FAULT_SLOT Faults[PX_STANDIN_MAX_FAULTS];
    PX_STANDIN_JOURNAL_ENTRY Journal[PX_STANDIN_JOURNAL_CAPACITY]; /* ring */
    uint32_t JournalFirst;
    uint32_t JournalCount;
    uint32_t JournalDropped;
} TOUCH_MODEL;

typedef struct TM_RESULT {
    uint32_t Status;
    uint32_t Information;  /* output bytes written */
    int SettingsChanged;   /* the block changed: the caller saves it */
} TM_RESULT;

void tm_default_block(PX_PARAMETER_BLOCK *block);

/* Fresh install state; OpenHandles is zero. */
void tm_init(TOUCH_MODEL *model);

/* Defaults, RBF -1/0, idle report, empty journal, no faults; open handles kept. */
void tm_reset(TOUCH_MODEL *model);

void tm_handle_opened(TOUCH_MODEL *model);
void tm_handle_closed(TOUCH_MODEL *model);

/* One device request. In and out may be the same buffer (METHOD_BUFFERED). */
TM_RESULT tm_request(TOUCH_MODEL *model, uint32_t code, const void *in, uint32_t inLength,
                     void *out, uint32_t outLength);

/* Persistent settings. tm_load_settings ignores anything not written by tm_save_settings
 * and returns 0 then, leaving the block as it was. */
uint32_t tm_save_settings(const TOUCH_MODEL *model, void *buffer, uint32_t length);
int tm_load_settings(TOUCH_MODEL *model, const void *buffer, uint32_t length);

#ifdef __cplusplus
}
#endif

#endif
