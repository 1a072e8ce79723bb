#include "touch_model.h"

#include <string.h>

typedef struct FIELD_RANGE {
    uint8_t Offset;
    uint8_t Length;
} FIELD_RANGE;

typedef struct SETTING_REQUEST {
    uint32_t Code;
    FIELD_RANGE Fields[4];
} SETTING_REQUEST;

#define FIELD(name) {offsetof(PX_PARAMETER_BLOCK, name), sizeof(((PX_PARAMETER_BLOCK *)0)->name)}

/* A setting request takes only these fields from its input; the rest of the input is
 * whatever the client's copy of the block held. */
static const SETTING_REQUEST kSettingRequests[] = {
    {IOCTL_TOUCH_SET_PORT_IRQS,
     {FIELD(ComTable[0].Irq), FIELD(ComTable[1].Irq), FIELD(ComTable[2].Irq), FIELD(ComTable[3].Irq)}},
    {IOCTL_TOUCH_SET_TOUCH_MODE, {FIELD(TouchMode), FIELD(RightButton)}},
    {IOCTL_TOUCH_SET_FEEDBACK_SOUND, {FIELD(FeedbackSound)}},
    {IOCTL_TOUCH_SET_SENSITIVITY, {FIELD(Sensitivity)}},
    {IOCTL_TOUCH_SET_MOUSE_SPEED, {FIELD(Bypass), FIELD(HSpeed), FIELD(VSpeed), FIELD(Acceleration)}},
    {IOCTL_TOUCH_SET_CALIBRATION, {FIELD(CalXMin), FIELD(CalXMax), FIELD(CalYMin), FIELD(CalYMax)}},
    {IOCTL_TOUCH_SET_SCREEN_SIZE, {FIELD(ScreenWidth), FIELD(ScreenHeight)}},
    {IOCTL_TOUCH_SET_POWER_DOWN, {FIELD(PowerDownTime)}},
};

static const uint8_t kSettingsMagic[4] = {'P', 'X', 'S', '1'};

static const SETTING_REQUEST *find_setting_request(uint32_t code)
{
    size_t i;
    for (i = 0; i < sizeof(kSettingRequests) / sizeof(kSettingRequests[0]); ++i)
        if (kSettingRequests[i].Code == code) return &kSettingRequests[i];
    return NULL;
}

void tm_default_block(PX_PARAMETER_BLOCK *block)
{
    static const uint8_t mcuCode[4] = {0x4B, 0x17, 0x03, 0x01};
    memset(block, 0, sizeof(*block));
    block->PortAddress = 0x3F8;
    block->PortIrq = 4;
    block->ComPort = 1;
    block->ComTable[0].IoAddress = 0x3F8;
    block->ComTable[0].Irq = 4;
    block->ComTable[1].IoAddress = 0x2F8;
    block->ComTable[1].Irq = 3;
    block->TouchMode = 1;
    block->FeedbackSound = 2;
    block->Sensitivity = 63; /* level 64 of 0..127 */
    block->Bypass = 0;
    block->HSpeed = 20; /* 100 % */
    block->VSpeed = 20;
    block->Acceleration = 2;
    block->PowerDownTime = 0;
    block->BaudCode = 4; /* 9600 */
    block->RightButton = 0;
    block->CalXMin = 0;
    block->CalXMax = 1023;
    block->CalYMin = 0;
    block->CalYMax = 1023;
    block->ScreenWidth = 1024;
    block->ScreenHeight = 768;
    block->McuMode = 1;
    block->McuVersion = 0x12;
    memcpy(block->McuCode, mcuCode, sizeof(mcuCode));
}

void tm_reset(TOUCH_MODEL *model)
{
    int32_t openHandles = model->OpenHandles;
    memset(model, 0, sizeof(*model));
    model->OpenHandles = openHandles;
    tm_default_block(&model->Block);
    model->Rbf.RbfWindow = -1;
}

void tm_init(TOUCH_MODEL *model)
{
    model->OpenHandles = 0;
    tm_reset(model);
}

void tm_handle_opened(TOUCH_MODEL *model) { ++model->OpenHandles; }

void tm_handle_closed(TOUCH_MODEL *model)
{
    if (model->OpenHandles > 0) --model->OpenHandles;
}

static uint32_t journal_length(const TOUCH_MODEL *model)
{
    uint32_t i, total = 0;
    for (i = 0; i < model->JournalCount; ++i)
        total += model->Journal[(model->JournalFirst + i) % PX_STANDIN_JOURNAL_CAPACITY].Repeat;
    return total;
}

static void journal_add(TOUCH_MODEL *model, uint32_t code, const uint8_t *in, uint32_t inLength)
{
    uint32_t kept = inLength < PX_STANDIN_JOURNAL_INPUT_BYTES ? inLength : PX_STANDIN_JOURNAL_INPUT_BYTES;
    PX_STANDIN_JOURNAL_ENTRY *entry;
    if (model->JournalCount > 0) {
        entry = &model->Journal[(model->JournalFirst + model->JournalCount - 1) % PX_STANDIN_JOURNAL_CAPACITY];
        if (entry->Code == code && entry->InputLength == inLength && entry->Repeat < 0xFFFFFFFFu &&
            memcmp(entry->Input, in, kept) == 0) {
            ++entry->Repeat;
            return;
        }
    }
    if (model->JournalCount == PX_STANDIN_JOURNAL_CAPACITY) {
        model->JournalFirst = (model->JournalFirst + 1) % PX_STANDIN_JOURNAL_CAPACITY;
        --model->JournalCount;
        ++model->JournalDropped;
    }
    entry = &model->Journal[(model->JournalFirst + model->JournalCount) % PX_STANDIN_JOURNAL_CAPACITY];
    ++model->JournalCount;
    memset(entry, 0, sizeof(*entry));
    entry->Code = code;
    entry->InputLength = inLength;
    entry->Repeat = 1;
    if (kept) memcpy(entry->Input, in, kept);
}

/* Consumes one armed failure of the code, if any. */
static int take_fault(TOUCH_MODEL *model, uint32_t code)
{
    int i;
    for (i = 0; i < PX_STANDIN_MAX_FAULTS; ++i) {
        TM_FAULT_SLOT *slot = &model->Faults[i];
        if (slot->Remaining && slot->Code == code) {
            --slot->Remaining;
            return 1;
        }
    }
    return 0;
}

static uint32_t arm_fault(TOUCH_MODEL *model, uint32_t code, uint32_t count)
{
    TM_FAULT_SLOT *free_slot = NULL;
    int i;
    for (i = 0; i < PX_STANDIN_MAX_FAULTS; ++i) {
        TM_FAULT_SLOT *slot = &model->Faults[i];
        if (slot->Remaining && slot->Code == code) {
            slot->Remaining = count;
            return TM_STATUS_SUCCESS;
        }
        if (!slot->Remaining && !free_slot) free_slot = slot;
    }
    if (count == 0) return TM_STATUS_SUCCESS;
    if (!free_slot) return TM_STATUS_INVALID_PARAMETER;
    free_slot->Code = code;
    free_slot->Remaining = count;
    return TM_STATUS_SUCCESS;
}

static void emit_reports(TOUCH_MODEL *model, uint32_t count)
{
    /* ReportCount wraps like the controller's 16-bit counter. */
    model->Report.ReportCount = (int16_t)(uint16_t)((uint16_t)model->Report.ReportCount + (uint16_t)count);
}

static uint32_t feed(TOUCH_MODEL *model, const PX_STANDIN_FEED_INPUT *input)
{
    switch (input->Action) {
    case PX_STANDIN_TOUCH_DOWN:
        if (model->Rbf.RightClickPending == 1) {
            model->Rbf.RightClickPending = 0;
            ++model->RightClicks;
        }
        model->Report.Status |= PX_TOUCH_DOWN_BIT;
        model->Report.RawX = input->X;
        model->Report.RawY = input->Y;
        break;
    case PX_STANDIN_MOVE:
        model->Report.RawX = input->X;
        model->Report.RawY = input->Y;
        break;
    case PX_STANDIN_LIFT:
        model->Report.Status &= (uint8_t)~PX_TOUCH_DOWN_BIT;
        break;
    default:
        return TM_STATUS_INVALID_PARAMETER;
    }
    emit_reports(model, 1 + (input->FurtherReports > 0xFFFF ? 0xFFFF : input->FurtherReports));
    return TM_STATUS_SUCCESS;
}

static TM_RESULT result(uint32_t status, uint32_t information, int changed)
{
    TM_RESULT r;
    r.Status = status;
    r.Information = information;
    r.SettingsChanged = changed;
    return r;
}

/* Answers with a record if the output buffer holds it. */
static TM_RESULT answer(void *out, uint32_t outLength, const void *record, uint32_t size, int changed)
{
    if (outLength < size) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, changed);
    memcpy(out, record, size);
    return result(TM_STATUS_SUCCESS, size, changed);
}

static TM_RESULT private_request(TOUCH_MODEL *model, uint32_t code, const uint8_t *in, uint32_t inLength,
                                 void *out, uint32_t outLength)
{
    switch (code) {
    case PX_STANDIN_GET_STATE: {
        PX_STANDIN_STATE state;
        memset(&state, 0, sizeof(state));
        state.Block = model->Block;
        state.Rbf = model->Rbf;
        state.Report = model->Report;
        state.OpenHandles = model->OpenHandles;
        state.RightClicks = model->RightClicks;
        state.JournalLength = journal_length(model);
        state.JournalDropped = model->JournalDropped;
        return answer(out, outLength, &state, sizeof(state), 0);
    }
    case PX_STANDIN_WRITE_BLOCK: {
        PX_STANDIN_BLOCK_WRITE write;
        if (inLength < sizeof(write)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memcpy(&write, in, sizeof(write));
        if ((uint32_t)write.Offset + write.Length > sizeof(model->Block))
            return result(TM_STATUS_INVALID_PARAMETER, 0, 0);
        memcpy((uint8_t *)&model->Block + write.Offset, write.Bytes, write.Length);
        if (outLength < sizeof(model->Block)) return result(TM_STATUS_SUCCESS, 0, 1);
        return answer(out, outLength, &model->Block, sizeof(model->Block), 1);
    }
    case PX_STANDIN_SET_RBF:
        if (inLength < sizeof(model->Rbf)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memcpy(&model->Rbf, in, sizeof(model->Rbf));
        if (outLength < sizeof(model->Rbf)) return result(TM_STATUS_SUCCESS, 0, 0);
        return answer(out, outLength, &model->Rbf, sizeof(model->Rbf), 0);
    case PX_STANDIN_FEED: {
        PX_STANDIN_FEED_INPUT input;
        uint32_t status;
        if (inLength < sizeof(input)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memcpy(&input, in, sizeof(input));
        status = feed(model, &input);
        if (status != TM_STATUS_SUCCESS) return result(status, 0, 0);
        if (outLength < sizeof(model->Report)) return result(TM_STATUS_SUCCESS, 0, 0);
        return answer(out, outLength, &model->Report, sizeof(model->Report), 0);
    }
    case PX_STANDIN_READ_JOURNAL: {
        PX_STANDIN_JOURNAL *journal = (PX_STANDIN_JOURNAL *)out;
        uint32_t i;
        if (outLength < sizeof(PX_STANDIN_JOURNAL)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memset(journal, 0, sizeof(*journal));
        journal->Count = model->JournalCount;
        journal->Dropped = model->JournalDropped;
        for (i = 0; i < model->JournalCount; ++i)
            journal->Entries[i] = model->Journal[(model->JournalFirst + i) % PX_STANDIN_JOURNAL_CAPACITY];
        return result(TM_STATUS_SUCCESS, sizeof(*journal), 0);
    }
    case PX_STANDIN_CLEAR_JOURNAL:
        model->JournalFirst = model->JournalCount = model->JournalDropped = 0;
        return result(TM_STATUS_SUCCESS, 0, 0);
    case PX_STANDIN_FAIL_NEXT: {
        PX_STANDIN_FAULT fault;
        if (inLength < sizeof(fault)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memcpy(&fault, in, sizeof(fault));
        if (PX_STANDIN_IS_PRIVATE(fault.Code)) return result(TM_STATUS_INVALID_PARAMETER, 0, 0);
        return result(arm_fault(model, fault.Code, fault.Count), 0, 0);
    }
    case PX_STANDIN_RESET:
        tm_reset(model);
        if (outLength < sizeof(model->Block)) return result(TM_STATUS_SUCCESS, 0, 1);
        return answer(out, outLength, &model->Block, sizeof(model->Block), 1);
    default:
        return result(TM_STATUS_INVALID_DEVICE_REQUEST, 0, 0);
    }
}

TM_RESULT tm_request(TOUCH_MODEL *model, uint32_t code, const void *in, uint32_t inLength,
                     void *out, uint32_t outLength)
{
    /* METHOD_BUFFERED hands us one buffer for both directions: read all input first. */
    uint8_t input[sizeof(PX_STANDIN_BLOCK_WRITE)];
    uint32_t kept = inLength < sizeof(input) ? inLength : (uint32_t)sizeof(input);
    const SETTING_REQUEST *setting;

    if (!in) inLength = kept = 0;
    if (!out) outLength = 0;
    memset(input, 0, sizeof(input));
    if (kept) memcpy(input, in, kept);

    if (PX_STANDIN_IS_PRIVATE(code)) return private_request(model, code, input, inLength, out, outLength);

    journal_add(model, code, input, inLength);
    if (take_fault(model, code)) return result(PX_STANDIN_FAULT_STATUS, 0, 0);

    setting = find_setting_request(code);
    if (setting) {
        size_t i;
        if (inLength < sizeof(PX_PARAMETER_BLOCK) || outLength < sizeof(PX_PARAMETER_BLOCK))
            return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        for (i = 0; i < 4 && setting->Fields[i].Length; ++i)
            memcpy((uint8_t *)&model->Block + setting->Fields[i].Offset, input + setting->Fields[i].Offset,
                   setting->Fields[i].Length);
        return answer(out, outLength, &model->Block, sizeof(model->Block), 1);
    }

    switch (code) {
    case IOCTL_TOUCH_GET_PARAMETERS:
        return answer(out, outLength, &model->Block, sizeof(model->Block), 0);
    case IOCTL_TOUCH_GET_REPORT:
        return answer(out, outLength, &model->Report, sizeof(model->Report), 0);
    case IOCTL_TOUCH_CALIBRATION_CODE:
        /* The code only steers the real controller's calibration; nothing to read back. */
        if (inLength < sizeof(PX_CALIBRATION_CODE)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        return result(TM_STATUS_SUCCESS, 0, 0);
    case IOCTL_TOUCH_GET_RBF_WINDOW:
        return answer(out, outLength, &model->Rbf, sizeof(model->Rbf), 0);
    case IOCTL_TOUCH_SET_RBF_WINDOW:
        if (inLength < sizeof(model->Rbf)) return result(TM_STATUS_BUFFER_TOO_SMALL, 0, 0);
        memcpy(&model->Rbf, input, sizeof(model->Rbf));
        if (outLength < sizeof(model->Rbf)) return result(TM_STATUS_SUCCESS, 0, 0);
        return answer(out, outLength, &model->Rbf, sizeof(model->Rbf), 0);
    default:
        return result(TM_STATUS_INVALID_DEVICE_REQUEST, 0, 0);
    }
}

uint32_t tm_save_settings(const TOUCH_MODEL *model, void *buffer, uint32_t length)
{
    if (length < TM_SAVED_SETTINGS_SIZE) return 0;
    memcpy(buffer, kSettingsMagic, sizeof(kSettingsMagic));
    memcpy((uint8_t *)buffer + sizeof(kSettingsMagic), &model->Block, sizeof(model->Block));
    return TM_SAVED_SETTINGS_SIZE;
}

int tm_load_settings(TOUCH_MODEL *model, const void *buffer, uint32_t length)
{
    if (!buffer || length != TM_SAVED_SETTINGS_SIZE) return 0;
    if (memcmp(buffer, kSettingsMagic, sizeof(kSettingsMagic)) != 0) return 0;
    memcpy(&model->Block, (const uint8_t *)buffer + sizeof(kSettingsMagic), sizeof(model->Block));
    return 1;
}
