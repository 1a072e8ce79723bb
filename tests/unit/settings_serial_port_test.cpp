#include <gtest/gtest.h>

#include "control_panel/settings/settings_pattern.hpp"
#include "settings_fixture.hpp"

namespace px {
namespace {

using forms::Form;
using testing_support::SettingsTest;

class SerialPortTest : public SettingsTest {
protected:
    Form& OpenSetup() {
        Form& serial = Open("cmdSerialPort", "frmSerialPort");
        // As delivered nothing shows this button; the test plays the one who does.
        serial["cmdSetup"].SetVisible(true);
        serial["cmdSetup"].SetEnabled(true);
        serial["cmdSetup"].UserClick();
        return *panel.Window("frmCOMxSet");
    }
    static void Choose(Form& setup, int row, const char* irq) {
        auto& box = setup("cboIRQ", row);
        const auto& list = box.List();
        box.UserSelect(static_cast<int>(std::find(list.begin(), list.end(), irq) - list.begin()));
    }
};

TEST_F(SerialPortTest, RowsShowThePortsAndOnlyTheRowInUseIsMarked) {
    struct Case {
        std::uint8_t ComPort;
        int MarkedRow;  // 0: none
    };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{4, 4}, Case{0, 0}, Case{5, 0}}) {
        SCOPED_TRACE(static_cast<int>(c.ComPort));
        stored.ComPort = c.ComPort;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, stored);
        panel.Main().Show();
        panel.Main()["cmdSerialPort"].UserClick();
        Form& serial = *panel.Window("frmSerialPort");
        EXPECT_EQ(serial("lblCOM", 1).Caption(), "COM1, Port=03F8h, IRQ=4");
        EXPECT_EQ(serial("lblCOM", 3).Caption(), "COM3, Port=03E8h, IRQ=11");
        EXPECT_EQ(serial("lblCOM", 4).Caption(), "COM4..None.");
        for (int n = 1; n <= 4; ++n) {
            const bool marked = n == c.MarkedRow;
            EXPECT_EQ(serial("lblCOM", n).ForeColor(), marked ? forms::kBlack : forms::kGrey) << n;
            EXPECT_EQ(serial("optDetected", n).Enabled(), marked) << n;
            EXPECT_EQ(serial("optDetected", n).Value(), marked ? 1 : 0) << n;
        }
        EXPECT_FALSE(serial["cmdSetup"].Visible());
        EXPECT_FALSE(serial["cmdSetup"].Enabled());
        EXPECT_EQ(serial.Caption(), panel.Main().Caption());
        serial["cmdOK"].UserClick();
        EXPECT_FALSE(serial.Loaded());
        EXPECT_TRUE(panel.Main().Visible());
        panel.Main().Unload();
    }
    for (const auto& r : device.Requests) EXPECT_EQ(r.Code, IOCTL_TOUCH_GET_PARAMETERS);
}

TEST_F(SerialPortTest, SetupShowsAddressesAndStoredIrqsWithSaveDisabled) {
    stored.ComTable[3] = {0x2E8, 9, 0};  // an IRQ the list does not offer
    Form& setup = OpenSetup();
    Form& serial = *panel.Window("frmSerialPort");
    EXPECT_TRUE(setup.Visible());
    EXPECT_FALSE(serial.Visible());
    EXPECT_TRUE(serial.Loaded());
    EXPECT_EQ(setup.Caption(), " COM Port Configuration");
    EXPECT_EQ(setup["lblOemTitle"].Caption(), "Veldrant Touch");
    const std::vector<std::string> addresses{"03F8", "02F8", "03E8", "02E8"};
    const int expectedIrq[] = {1, 0, 5, -1};  // 4, 3, 11, none
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(setup("cboPort", n).List(), addresses);
        EXPECT_EQ(setup("cboPort", n).ListIndex(), n - 1);
        EXPECT_FALSE(setup("cboPort", n).Enabled());
        EXPECT_EQ(setup("cboIRQ", n).List(), (std::vector<std::string>{"3", "4", "5", "7", "10", "11"}));
        EXPECT_EQ(setup("cboIRQ", n).ListIndex(), expectedIrq[n - 1]) << n;
    }
    EXPECT_FALSE(setup["cmdSave"].Enabled());
    Choose(setup, 3, "5");
    EXPECT_TRUE(setup["cmdSave"].Enabled());
    Choose(setup, 3, "11");
    EXPECT_FALSE(setup["cmdSave"].Enabled());
    setup["cmdOK"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_TRUE(serial.Visible());
    EXPECT_FALSE(panel.Main().Visible());  // back to the Serial Port window, not the main one
}

TEST_F(SerialPortTest, SaveChangesOnlyTheIrqsAndKeepsOnesTheListLacks) {
    stored.ComTable[2].Irq = 0;
    stored.ComTable[3] = {0x2E8, 9, 0};
    Form& setup = OpenSetup();
    DriverParameterBlock returned = stored;
    returned.ComTable[0].Irq = 10;  // the driver's word is what the rows show afterwards
    device.Reply(IOCTL_TOUCH_SET_PORT_IRQS, returned);
    Choose(setup, 1, "7");
    setup["cmdSave"].UserClick();
    DriverParameterBlock expected = stored;
    expected.ComTable[0].Irq = 7;
    EXPECT_TRUE(testing_support::SameBytes(OnlyRequest(IOCTL_TOUCH_SET_PORT_IRQS), expected));
    EXPECT_FALSE(setup["cmdSave"].Enabled());
    setup["cmdOK"].UserClick();  // Save disabled again: nothing more goes out
    EXPECT_EQ(device.Requests.size(), 1u);
    Form& serial = *panel.Window("frmSerialPort");
    EXPECT_EQ(serial("lblCOM", 1).Caption(), "COM1, Port=03F8h, IRQ=10");
    EXPECT_EQ(Summary("lblSerialPort"), "COM2, Port=02F8, IRQ=3, (19200,N,8,1)");
}

TEST_F(SerialPortTest, OkSavesPendingChoicesAndCancelDropsThem) {
    Form& setup = OpenSetup();
    Choose(setup, 2, "5");
    setup["cmdCancel"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
    panel.Window("frmSerialPort")->operator[]("cmdSetup").UserClick();
    EXPECT_EQ(setup("cboIRQ", 2).ListIndex(), 0);  // reloaded from the block: "3"
    Choose(setup, 2, "5");
    setup["cmdOK"].UserClick();
    EXPECT_EQ(OnlyRequest(IOCTL_TOUCH_SET_PORT_IRQS).ComTable[1].Irq, 5);
    EXPECT_FALSE(setup.Loaded());
}

}  // namespace
}  // namespace px
