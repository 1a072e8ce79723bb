#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "standin_text.hpp"
#include "touch_model.h"

namespace {

using namespace px::standin;

TEST(StandinText, ParsesDecimalHexAndNegativeNumbers) {
    struct Case {
        const char* Text;
        std::optional<std::int64_t> Value;
    };
    const Case cases[] = {
        {"0", 0},      {"1023", 1023}, {"-1", -1},       {"0x3F8", 0x3F8},     {"0X12", 0x12},
        {"-0x10", -16}, {"", {}},      {"x", {}},        {"12a", {}},          {"0x", {}},
        {"--1", {}},    {" 1", {}},    {"1 ", {}},       {"9999999999999", {}}, {"+5", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.Text), c.Value) << '"' << c.Text << '"';
}

TEST(StandinText, FieldTableMatchesTheBlockLayout) {
    const auto fields = BlockFields();
    ASSERT_EQ(fields.size(), 33u);
    // Layout order, no gaps except the reserved byte of each ComTable entry.
    std::vector<bool> covered(48, false);
    for (const auto& field : fields)
        for (int i = 0; i < field.Size; ++i) {
            EXPECT_FALSE(covered[field.Offset + i]) << field.Name;
            covered[field.Offset + i] = true;
        }
    for (int i = 0; i < 48; ++i) EXPECT_EQ(covered[i], !(i >= 4 && i < 20 && i % 4 == 3)) << "byte " << i;
    EXPECT_EQ(FindBlockField("ComTable[3].Irq")->Offset, 14);
    EXPECT_EQ(FindBlockField("McuCode[3]")->Offset, 47);
    EXPECT_EQ(FindBlockField("Nope"), nullptr);
}

TEST(StandinText, FieldValuesRoundTripWithinTheirWidth) {
    struct Case {
        const char* Field;
        std::int64_t Value;
        bool Fits;
        std::int32_t ReadBack;
    };
    const Case cases[] = {
        {"CalXMin", -5, true, -5},        {"CalXMax", 65535, true, -1}, {"CalXMax", 65536, false, 0},
        {"PortAddress", 0x3F8, true, 0x3F8}, {"TouchMode", 255, true, 255}, {"TouchMode", 256, false, 0},
        {"Sensitivity", -1, true, 255},   {"Sensitivity", -129, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + "=" + std::to_string(c.Value));
        const auto* field = FindBlockField(c.Field);
        const auto bytes = FieldBytes(*field, c.Value);
        ASSERT_EQ(bytes.has_value(), c.Fits);
        if (!c.Fits) continue;
        PX_PARAMETER_BLOCK block{};
        std::memcpy(reinterpret_cast<std::uint8_t*>(&block) + field->Offset, bytes->data(), bytes->size());
        EXPECT_EQ(ReadField(block, *field), c.ReadBack);
        PX_PARAMETER_BLOCK written{};
        WriteField(written, *field, static_cast<std::int32_t>(c.Value));
        EXPECT_EQ(std::memcmp(&block, &written, sizeof(block)), 0);
    }
}

TEST(StandinText, RequestNamesAndCodesRoundTrip) {
    const std::uint32_t codes[] = {IOCTL_TOUCH_GET_PARAMETERS, IOCTL_TOUCH_GET_REPORT, IOCTL_TOUCH_CALIBRATION_CODE,
                                   IOCTL_TOUCH_SET_PORT_IRQS, IOCTL_TOUCH_SET_TOUCH_MODE,
                                   IOCTL_TOUCH_SET_FEEDBACK_SOUND, IOCTL_TOUCH_SET_SENSITIVITY,
                                   IOCTL_TOUCH_SET_MOUSE_SPEED, IOCTL_TOUCH_SET_CALIBRATION,
                                   IOCTL_TOUCH_SET_SCREEN_SIZE, IOCTL_TOUCH_SET_POWER_DOWN,
                                   IOCTL_TOUCH_GET_RBF_WINDOW, IOCTL_TOUCH_SET_RBF_WINDOW};
    for (auto code : codes) {
        const auto name = RequestName(code);
        EXPECT_EQ(name.rfind("IOCTL_TOUCH_", 0), 0u) << name;
        EXPECT_EQ(RequestCode(name), code);
    }
    EXPECT_EQ(RequestName(IOCTL_TOUCH_SET_TOUCH_MODE), "IOCTL_TOUCH_SET_TOUCH_MODE");
    EXPECT_EQ(RequestName(0xF2400), "0x000F2400");
    EXPECT_EQ(RequestCode("0x000F2400"), 0xF2400u);
    EXPECT_EQ(RequestCode("IOCTL_TOUCH_NOTHING"), std::nullopt);
}

TEST(StandinText, ShowListsEveryFieldThenTheRbfRecordAndHandles) {
    PX_STANDIN_STATE state{};
    tm_default_block(&state.Block);
    state.Rbf.RbfWindow = -1;
    state.OpenHandles = 3;
    std::istringstream lines(FormatState(state));
    std::vector<std::string> names;
    std::string line;
    while (std::getline(lines, line)) names.push_back(line);
    ASSERT_EQ(names.size(), 36u);
    EXPECT_EQ(names[0], "PortAddress=1016");
    EXPECT_EQ(names[3], "ComTable[1].IoAddress=1016");
    EXPECT_EQ(names[22], "CalXMax=1023");
    EXPECT_EQ(names[28], "McuVersion=18");
    EXPECT_EQ(names[33], "RbfWindow=-1");
    EXPECT_EQ(names[34], "RightClickPending=0");
    EXPECT_EQ(names[35], "OpenHandles=3");
}

TEST(StandinText, JournalLineShowsNameAndTheBytesSent) {
    PX_STANDIN_JOURNAL_ENTRY entry{};
    entry.Code = IOCTL_TOUCH_CALIBRATION_CODE;
    entry.InputLength = 4;
    entry.Repeat = 1;
    entry.Input[0] = 0x05;
    entry.Input[4] = 0xEE;  // beyond what was sent
    EXPECT_EQ(JournalLine(entry), "IOCTL_TOUCH_CALIBRATION_CODE 05 00 00 00");
    entry.InputLength = 0;
    EXPECT_EQ(JournalLine(entry), "IOCTL_TOUCH_CALIBRATION_CODE");
    entry.InputLength = 100;
    EXPECT_EQ(JournalLine(entry).size(), std::string("IOCTL_TOUCH_CALIBRATION_CODE").size() + 48 * 3);
}

}  // namespace
