#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "standin_text.hpp"
#include "touch_model.h"

namespace {

using px::standin::FindBlockField;
using px::standin::ReadField;

struct Model {
    Model() : model(std::make_unique<TOUCH_MODEL>()) { tm_init(model.get()); }
    TOUCH_MODEL* operator->() { return model.get(); }
    TOUCH_MODEL* get() { return model.get(); }
    std::unique_ptr<TOUCH_MODEL> model;
};

TM_RESULT Send(TOUCH_MODEL* model, std::uint32_t code, void* record, std::uint32_t size) {
    return tm_request(model, code, record, size, record, size);
}

PX_TOUCH_REPORT Feed(TOUCH_MODEL* model, std::uint32_t action, std::int16_t x, std::int16_t y,
                     std::uint32_t further = 0) {
    PX_STANDIN_FEED_INPUT input{action, x, y, further};
    PX_TOUCH_REPORT report{};
    EXPECT_EQ(tm_request(model, PX_STANDIN_FEED, &input, sizeof(input), &report, sizeof(report)).Status,
              TM_STATUS_SUCCESS);
    return report;
}

PX_TOUCH_REPORT GetReport(TOUCH_MODEL* model) {
    PX_TOUCH_REPORT report{};
    EXPECT_EQ(Send(model, IOCTL_TOUCH_GET_REPORT, &report, sizeof(report)).Status, TM_STATUS_SUCCESS);
    return report;
}

std::vector<std::uint8_t> Bytes(const PX_PARAMETER_BLOCK& block) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&block);
    return {p, p + sizeof(block)};
}

TEST(TouchModel, FreshInstallLooksLikeARealController) {
    struct Expected {
        const char* Field;
        int Value;
    };
    const Expected cases[] = {
        {"PortAddress", 0x3F8}, {"PortIrq", 4}, {"ComPort", 1},
        {"ComTable[1].IoAddress", 0x3F8}, {"ComTable[1].Irq", 4},
        {"ComTable[2].IoAddress", 0x2F8}, {"ComTable[2].Irq", 3},
        {"ComTable[3].IoAddress", 0}, {"ComTable[3].Irq", 0},
        {"ComTable[4].IoAddress", 0}, {"ComTable[4].Irq", 0},
        {"TouchMode", 1}, {"FeedbackSound", 2}, {"Sensitivity", 63}, {"Bypass", 0},
        {"HSpeed", 20}, {"VSpeed", 20}, {"Acceleration", 2}, {"PowerDownTime", 0},
        {"BaudCode", 4}, {"RightButton", 0},
        {"CalXMin", 0}, {"CalXMax", 1023}, {"CalYMin", 0}, {"CalYMax", 1023},
        {"ScreenWidth", 1024}, {"ScreenHeight", 768}, {"McuMode", 1}, {"McuVersion", 0x12},
    };
    Model model;
    PX_PARAMETER_BLOCK block{};
    ASSERT_EQ(Send(model.get(), IOCTL_TOUCH_GET_PARAMETERS, &block, sizeof(block)).Information, 48u);
    for (const auto& c : cases) {
        const auto* field = FindBlockField(c.Field);
        ASSERT_NE(field, nullptr) << c.Field;
        EXPECT_EQ(ReadField(block, *field), c.Value) << c.Field;
    }
    EXPECT_EQ(model->Rbf.RbfWindow, -1);
    EXPECT_EQ(model->Rbf.RightClickPending, 0);
}

struct SettingCase {
    const char* Name;
    std::uint32_t Code;
    std::vector<const char*> Fields;
};

const SettingCase kSettingCases[] = {
    {"PortIrqs", IOCTL_TOUCH_SET_PORT_IRQS,
     {"ComTable[1].Irq", "ComTable[2].Irq", "ComTable[3].Irq", "ComTable[4].Irq"}},
    {"TouchMode", IOCTL_TOUCH_SET_TOUCH_MODE, {"TouchMode", "RightButton"}},
    {"FeedbackSound", IOCTL_TOUCH_SET_FEEDBACK_SOUND, {"FeedbackSound"}},
    {"Sensitivity", IOCTL_TOUCH_SET_SENSITIVITY, {"Sensitivity"}},
    {"MouseSpeed", IOCTL_TOUCH_SET_MOUSE_SPEED, {"Bypass", "HSpeed", "VSpeed", "Acceleration"}},
    {"Calibration", IOCTL_TOUCH_SET_CALIBRATION, {"CalXMin", "CalXMax", "CalYMin", "CalYMax"}},
    {"ScreenSize", IOCTL_TOUCH_SET_SCREEN_SIZE, {"ScreenWidth", "ScreenHeight"}},
    {"PowerDown", IOCTL_TOUCH_SET_POWER_DOWN, {"PowerDownTime"}},
};

TEST(TouchModel, EachSettingRequestTakesOnlyItsFieldsAndAnswersTheWholeBlock) {
    for (const auto& c : kSettingCases) {
        SCOPED_TRACE(c.Name);
        Model model;
        const PX_PARAMETER_BLOCK before = model->Block;
        PX_PARAMETER_BLOCK sent = before;
        auto* raw = reinterpret_cast<std::uint8_t*>(&sent);
        for (std::size_t i = 0; i < sizeof(sent); ++i) raw[i] = static_cast<std::uint8_t>(raw[i] ^ 0x5A);
        PX_PARAMETER_BLOCK buffer = sent;

        const TM_RESULT r = Send(model.get(), c.Code, &buffer, sizeof(buffer));
        ASSERT_EQ(r.Status, TM_STATUS_SUCCESS);
        EXPECT_EQ(r.Information, 48u);
        EXPECT_TRUE(r.SettingsChanged);

        std::set<std::string> listed(c.Fields.begin(), c.Fields.end());
        for (const auto& field : px::standin::BlockFields()) {
            const auto expected = listed.count(std::string(field.Name)) ? ReadField(sent, field) : ReadField(before, field);
            EXPECT_EQ(ReadField(model->Block, field), expected) << field.Name;
        }
        EXPECT_EQ(Bytes(buffer), Bytes(model->Block));
    }
}

TEST(TouchModel, ShortBuffersFailWithoutChangingAnything) {
    struct Case {
        std::uint32_t Code;
        std::uint32_t In, Out;
    };
    const Case cases[] = {
        {IOCTL_TOUCH_GET_PARAMETERS, 48, 47},  {IOCTL_TOUCH_GET_REPORT, 8, 7},
        {IOCTL_TOUCH_CALIBRATION_CODE, 3, 3},  {IOCTL_TOUCH_SET_PORT_IRQS, 47, 48},
        {IOCTL_TOUCH_SET_TOUCH_MODE, 48, 47},  {IOCTL_TOUCH_SET_FEEDBACK_SOUND, 0, 0},
        {IOCTL_TOUCH_SET_SENSITIVITY, 21, 21}, {IOCTL_TOUCH_SET_MOUSE_SPEED, 30, 48},
        {IOCTL_TOUCH_SET_CALIBRATION, 40, 40}, {IOCTL_TOUCH_SET_SCREEN_SIZE, 47, 47},
        {IOCTL_TOUCH_SET_POWER_DOWN, 1, 1},    {IOCTL_TOUCH_GET_RBF_WINDOW, 8, 7},
        {IOCTL_TOUCH_SET_RBF_WINDOW, 7, 8},    {PX_STANDIN_GET_STATE, 0, 79},
        {PX_STANDIN_WRITE_BLOCK, 51, 48},      {PX_STANDIN_FEED, 11, 8},
        {PX_STANDIN_READ_JOURNAL, 0, 100},     {PX_STANDIN_FAIL_NEXT, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(px::standin::RequestName(c.Code));
        Model model;
        std::vector<std::uint8_t> buffer(128, 0x33);
        const auto before = Bytes(model->Block);
        const TM_RESULT r = tm_request(model.get(), c.Code, buffer.data(), c.In, buffer.data(), c.Out);
        EXPECT_EQ(r.Status, TM_STATUS_BUFFER_TOO_SMALL);
        EXPECT_EQ(r.Information, 0u);
        EXPECT_FALSE(r.SettingsChanged);
        EXPECT_EQ(Bytes(model->Block), before);
        EXPECT_EQ(model->Rbf.RbfWindow, -1);
    }
}

TEST(TouchModel, UnknownCodesAreRefused) {
    const std::uint32_t codes[] = {0, PX_TOUCH_REQUEST(0x800), PX_TOUCH_REQUEST(0x900), 0xF2014, 0x220000,
                                   PX_STANDIN_CONTROL(0x908), 0xFFFFFFFF};
    for (auto code : codes) {
        Model model;
        PX_PARAMETER_BLOCK block{};
        EXPECT_EQ(Send(model.get(), code, &block, sizeof(block)).Status, TM_STATUS_INVALID_DEVICE_REQUEST) << code;
    }
}

TEST(TouchModel, ArbitraryRequestsNeverOverrunTheBuffers) {
    // Under the sanitizers this catches any read or write past the lengths given.
    Model model;
    const std::uint32_t lengths[] = {0, 1, 4, 7, 8, 11, 12, 47, 48, 51, 52, 80, sizeof(PX_STANDIN_JOURNAL)};
    for (std::uint32_t type : {0x0Fu, PX_STANDIN_DEVICE_TYPE, 0x22u})
        for (std::uint32_t function = 0x800; function < 0xC10; ++function)
            for (auto in : lengths)
                for (auto out : lengths) {
                    std::vector<std::uint8_t> input(in ? in : 1, 0x01), output(out ? out : 1, 0x02);
                    const std::uint32_t code = (type << 16) | (function << 2);
                    if (code == PX_STANDIN_RESET) continue;
                    const TM_RESULT r = tm_request(model.get(), code, input.data(), in, output.data(), out);
                    ASSERT_LE(r.Information, out);
                }
    PX_PARAMETER_BLOCK block{};
    EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_GET_PARAMETERS, &block, sizeof(block)).Status, TM_STATUS_SUCCESS);
}

TEST(TouchModel, ReportsFollowTheFinger) {
    struct Step {
        const char* Name;
        std::uint32_t Action;
        std::int16_t X, Y;
        std::uint32_t Further;
        std::int16_t ExpectX, ExpectY;
        bool Down;
        int NewReports;
    };
    const Step steps[] = {
        {"down", PX_STANDIN_TOUCH_DOWN, 100, 200, 0, 100, 200, true, 1},
        {"hold", PX_STANDIN_MOVE, 100, 200, 3, 100, 200, true, 4},
        {"move", PX_STANDIN_MOVE, 512, 700, 0, 512, 700, true, 1},
        {"lift", PX_STANDIN_LIFT, 9, 9, 0, 512, 700, false, 1},
        {"idle move", PX_STANDIN_MOVE, 1, 2, 0, 1, 2, false, 1},
        {"down again", PX_STANDIN_TOUCH_DOWN, 1023, 0, 2, 1023, 0, true, 3},
    };
    Model model;
    PX_TOUCH_REPORT previous = GetReport(model.get());
    EXPECT_EQ(previous.Status & PX_TOUCH_DOWN_BIT, 0);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.Name);
        const PX_TOUCH_REPORT fed = Feed(model.get(), s.Action, s.X, s.Y, s.Further);
        const PX_TOUCH_REPORT now = GetReport(model.get());
        EXPECT_EQ(std::memcmp(&fed, &now, sizeof(now)), 0);
        EXPECT_EQ(now.RawX, s.ExpectX);
        EXPECT_EQ(now.RawY, s.ExpectY);
        EXPECT_EQ((now.Status & PX_TOUCH_DOWN_BIT) != 0, s.Down);
        EXPECT_EQ(now.ReportCount, previous.ReportCount + s.NewReports);
        // Asking again without a new report changes nothing.
        const PX_TOUCH_REPORT again = GetReport(model.get());
        EXPECT_EQ(std::memcmp(&again, &now, sizeof(now)), 0);
        previous = now;
    }
}

TEST(TouchModel, ReportCountWrapsAtSixteenBits) {
    Model model;
    Feed(model.get(), PX_STANDIN_TOUCH_DOWN, 5, 5, 32766);
    EXPECT_EQ(GetReport(model.get()).ReportCount, 32767);
    Feed(model.get(), PX_STANDIN_MOVE, 5, 5);
    EXPECT_EQ(GetReport(model.get()).ReportCount, -32768);
}

TEST(TouchModel, PendingRightClickIsTakenByTheNextTouchDownOnly) {
    Model model;
    PX_RBF_WINDOW_RECORD rbf{0x1234, 1, {0, 0}};
    ASSERT_EQ(Send(model.get(), IOCTL_TOUCH_SET_RBF_WINDOW, &rbf, sizeof(rbf)).Status, TM_STATUS_SUCCESS);

    Feed(model.get(), PX_STANDIN_MOVE, 10, 10);
    Feed(model.get(), PX_STANDIN_LIFT, 0, 0);
    PX_RBF_WINDOW_RECORD read{};
    Send(model.get(), IOCTL_TOUCH_GET_RBF_WINDOW, &read, sizeof(read));
    EXPECT_EQ(read.RightClickPending, 1);
    EXPECT_EQ(model->RightClicks, 0u);

    Feed(model.get(), PX_STANDIN_TOUCH_DOWN, 10, 10);
    Send(model.get(), IOCTL_TOUCH_GET_RBF_WINDOW, &read, sizeof(read));
    EXPECT_EQ(read.RbfWindow, 0x1234);
    EXPECT_EQ(read.RightClickPending, 0);
    EXPECT_EQ(model->RightClicks, 1u);

    Feed(model.get(), PX_STANDIN_LIFT, 0, 0);
    Feed(model.get(), PX_STANDIN_TOUCH_DOWN, 10, 10);
    EXPECT_EQ(model->RightClicks, 1u);
}

TEST(TouchModel, SetRbfWindowReplacesTheWholeRecord) {
    Model model;
    PX_RBF_WINDOW_RECORD rbf{77, 1, {9, 9}};
    ASSERT_EQ(Send(model.get(), IOCTL_TOUCH_SET_RBF_WINDOW, &rbf, sizeof(rbf)).Status, TM_STATUS_SUCCESS);
    rbf = PX_RBF_WINDOW_RECORD{-1, 0, {0, 0}};
    ASSERT_EQ(Send(model.get(), IOCTL_TOUCH_SET_RBF_WINDOW, &rbf, sizeof(rbf)).Status, TM_STATUS_SUCCESS);
    PX_RBF_WINDOW_RECORD read{1, 1, {1, 1}};
    ASSERT_EQ(Send(model.get(), IOCTL_TOUCH_GET_RBF_WINDOW, &read, sizeof(read)).Information, 8u);
    EXPECT_EQ(read.RbfWindow, -1);
    EXPECT_EQ(read.RightClickPending, 0);
}

std::vector<PX_STANDIN_JOURNAL_ENTRY> ReadJournal(TOUCH_MODEL* model) {
    auto journal = std::make_unique<PX_STANDIN_JOURNAL>();
    EXPECT_EQ(tm_request(model, PX_STANDIN_READ_JOURNAL, nullptr, 0, journal.get(), sizeof(*journal)).Status,
              TM_STATUS_SUCCESS);
    return {journal->Entries, journal->Entries + journal->Count};
}

TEST(TouchModel, JournalKeepsProductRequestsInOrderWithTheirInput) {
    Model model;
    PX_CALIBRATION_CODE code{3};
    Send(model.get(), IOCTL_TOUCH_CALIBRATION_CODE, &code, sizeof(code));
    PX_STANDIN_STATE state{};
    tm_request(model.get(), PX_STANDIN_GET_STATE, nullptr, 0, &state, sizeof(state));
    PX_PARAMETER_BLOCK block = model->Block;
    block.TouchMode = 3;
    Send(model.get(), IOCTL_TOUCH_SET_TOUCH_MODE, &block, sizeof(block));
    std::uint32_t junk = 0xAABBCCDD;
    Send(model.get(), 0xF2F00, &junk, sizeof(junk));
    PX_TOUCH_REPORT report{};
    for (int i = 0; i < 5; ++i) Send(model.get(), IOCTL_TOUCH_GET_REPORT, &report, sizeof(report));

    const auto journal = ReadJournal(model.get());
    ASSERT_EQ(journal.size(), 4u);
    EXPECT_EQ(journal[0].Code, IOCTL_TOUCH_CALIBRATION_CODE);
    EXPECT_EQ(journal[0].InputLength, 4u);
    EXPECT_EQ(journal[0].Input[0], 3);
    EXPECT_EQ(journal[1].Code, IOCTL_TOUCH_SET_TOUCH_MODE);
    EXPECT_EQ(std::memcmp(journal[1].Input, &block, sizeof(block)), 0);
    EXPECT_EQ(journal[2].Code, 0xF2F00u);
    EXPECT_EQ(journal[3].Code, IOCTL_TOUCH_GET_REPORT);
    EXPECT_EQ(journal[3].Repeat, 5u);

    tm_request(model.get(), PX_STANDIN_GET_STATE, nullptr, 0, &state, sizeof(state));
    EXPECT_EQ(state.JournalLength, 8u);
    tm_request(model.get(), PX_STANDIN_CLEAR_JOURNAL, nullptr, 0, nullptr, 0);
    EXPECT_TRUE(ReadJournal(model.get()).empty());
}

TEST(TouchModel, FullJournalDropsTheOldest) {
    Model model;
    for (std::int32_t i = 0; i < PX_STANDIN_JOURNAL_CAPACITY + 3; ++i) {
        PX_CALIBRATION_CODE code{i};
        Send(model.get(), IOCTL_TOUCH_CALIBRATION_CODE, &code, sizeof(code));
    }
    const auto journal = ReadJournal(model.get());
    ASSERT_EQ(journal.size(), static_cast<std::size_t>(PX_STANDIN_JOURNAL_CAPACITY));
    EXPECT_EQ(journal.front().Input[0], 3);
    EXPECT_EQ(journal.back().Input[0], PX_STANDIN_JOURNAL_CAPACITY + 2);
    EXPECT_EQ(model->JournalDropped, 3u);
}

TEST(TouchModel, InjectedFaultsFailTheNextRequestsOfThatCodeOnly) {
    Model model;
    PX_STANDIN_FAULT fault{IOCTL_TOUCH_SET_SENSITIVITY, 2};
    ASSERT_EQ(tm_request(model.get(), PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0).Status,
              TM_STATUS_SUCCESS);
    PX_PARAMETER_BLOCK block = model->Block;
    block.Sensitivity = 10;
    for (int i = 0; i < 2; ++i) {
        PX_PARAMETER_BLOCK buffer = block;
        EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_SET_SENSITIVITY, &buffer, sizeof(buffer)).Status,
                  PX_STANDIN_FAULT_STATUS);
        EXPECT_EQ(model->Block.Sensitivity, 63);
        EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_GET_PARAMETERS, &buffer, sizeof(buffer)).Status, TM_STATUS_SUCCESS);
    }
    PX_PARAMETER_BLOCK buffer = block;
    EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_SET_SENSITIVITY, &buffer, sizeof(buffer)).Status, TM_STATUS_SUCCESS);
    EXPECT_EQ(model->Block.Sensitivity, 10);
    // The failed attempts are in the journal too.
    EXPECT_EQ(ReadJournal(model.get()).size(), 5u);

    fault = PX_STANDIN_FAULT{IOCTL_TOUCH_GET_REPORT, 5};
    tm_request(model.get(), PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0);
    fault.Count = 0;
    tm_request(model.get(), PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0);
    PX_TOUCH_REPORT report{};
    EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_GET_REPORT, &report, sizeof(report)).Status, TM_STATUS_SUCCESS);

    fault = PX_STANDIN_FAULT{PX_STANDIN_GET_STATE, 1};
    EXPECT_EQ(tm_request(model.get(), PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0).Status,
              TM_STATUS_INVALID_PARAMETER);
}

TEST(TouchModel, WriteBlockPutsBytesAtTheOffsetAndRejectsOverruns) {
    Model model;
    PX_STANDIN_BLOCK_WRITE write{};
    write.Offset = offsetof(PX_PARAMETER_BLOCK, ScreenWidth);
    write.Length = 2;
    write.Bytes[0] = 0x00;
    write.Bytes[1] = 0x05;
    TM_RESULT r = tm_request(model.get(), PX_STANDIN_WRITE_BLOCK, &write, sizeof(write), nullptr, 0);
    EXPECT_EQ(r.Status, TM_STATUS_SUCCESS);
    EXPECT_TRUE(r.SettingsChanged);
    EXPECT_EQ(model->Block.ScreenWidth, 1280);
    EXPECT_EQ(model->Block.ScreenHeight, 768);

    write.Offset = 47;
    write.Length = 2;
    r = tm_request(model.get(), PX_STANDIN_WRITE_BLOCK, &write, sizeof(write), nullptr, 0);
    EXPECT_EQ(r.Status, TM_STATUS_INVALID_PARAMETER);
    EXPECT_FALSE(r.SettingsChanged);
    EXPECT_TRUE(ReadJournal(model.get()).empty());
}

TEST(TouchModel, ResetRestoresTheFreshStateButKeepsOpenHandles) {
    Model model;
    tm_handle_opened(model.get());
    tm_handle_opened(model.get());
    model->Block.TouchMode = 4;
    PX_RBF_WINDOW_RECORD rbf{5, 1, {0, 0}};
    Send(model.get(), IOCTL_TOUCH_SET_RBF_WINDOW, &rbf, sizeof(rbf));
    Feed(model.get(), PX_STANDIN_TOUCH_DOWN, 1, 1);
    PX_STANDIN_FAULT fault{IOCTL_TOUCH_GET_PARAMETERS, 1};
    tm_request(model.get(), PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0);

    PX_PARAMETER_BLOCK answered{};
    const TM_RESULT r = tm_request(model.get(), PX_STANDIN_RESET, nullptr, 0, &answered, sizeof(answered));
    EXPECT_TRUE(r.SettingsChanged);
    PX_PARAMETER_BLOCK defaults;
    tm_default_block(&defaults);
    EXPECT_EQ(Bytes(answered), Bytes(defaults));
    EXPECT_EQ(model->Rbf.RbfWindow, -1);
    EXPECT_EQ(model->Rbf.RightClickPending, 0);
    EXPECT_EQ(model->Report.Status, 0);
    EXPECT_EQ(model->RightClicks, 0u);
    EXPECT_EQ(model->OpenHandles, 2);
    EXPECT_TRUE(ReadJournal(model.get()).empty());
    PX_PARAMETER_BLOCK block{};
    EXPECT_EQ(Send(model.get(), IOCTL_TOUCH_GET_PARAMETERS, &block, sizeof(block)).Status, TM_STATUS_SUCCESS);

    tm_handle_closed(model.get());
    tm_handle_closed(model.get());
    tm_handle_closed(model.get());
    EXPECT_EQ(model->OpenHandles, 0);
}

TEST(TouchModel, SavedSettingsRoundTripAndForeignDataIsIgnored) {
    Model saved;
    saved->Block.Sensitivity = 100;
    saved->Block.CalXMax = 900;
    std::uint8_t data[TM_SAVED_SETTINGS_SIZE + 4];
    ASSERT_EQ(tm_save_settings(saved.get(), data, sizeof(data)), TM_SAVED_SETTINGS_SIZE);
    EXPECT_EQ(tm_save_settings(saved.get(), data, TM_SAVED_SETTINGS_SIZE - 1), 0u);

    Model loaded;
    ASSERT_TRUE(tm_load_settings(loaded.get(), data, TM_SAVED_SETTINGS_SIZE));
    EXPECT_EQ(Bytes(loaded->Block), Bytes(saved->Block));

    Model fresh;
    const auto defaults = Bytes(fresh->Block);
    EXPECT_FALSE(tm_load_settings(fresh.get(), data, TM_SAVED_SETTINGS_SIZE - 1));
    data[0] ^= 1;
    EXPECT_FALSE(tm_load_settings(fresh.get(), data, TM_SAVED_SETTINGS_SIZE));
    EXPECT_FALSE(tm_load_settings(fresh.get(), nullptr, TM_SAVED_SETTINGS_SIZE));
    EXPECT_EQ(Bytes(fresh->Block), defaults);
}

}  // namespace
