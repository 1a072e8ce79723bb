// End-to-end tests of the installed stand-in, through the device as the programs reach it.
// Run under Wine after scripts/lib/standin.sh has installed and started PXWNTCOM.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "standin_client.hpp"
#include "standin_text.hpp"

namespace {

using px::standin::BlockFields;
using px::standin::FindBlockField;
using px::standin::ReadField;
using px::standin::StandinClient;
using px::standin::StandinError;

constexpr DWORD kErrorGenFailure = 31;

std::vector<std::uint8_t> Bytes(const PX_PARAMETER_BLOCK& block) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&block);
    return {p, p + sizeof(block)};
}

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Starts a program with its output discarded; returns the process handle.
HANDLE Start(std::string commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    Handle nul(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs = 30000) {
    Handle process(Start(commandLine));
    if (!process.get()) return 0xFFFFFFFF;
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return 0xFFFFFFFE;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

std::string SelfPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

// Child process for the several-holders test: open the device, prove it answers, hold it.
int HoldDevice(const char* readyName, const char* releaseName) {
    Handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName));
    Handle release(OpenEventA(SYNCHRONIZE, FALSE, releaseName));
    if (!ready.get() || !release.get()) return 10;
    try {
        StandinClient client;
        PX_PARAMETER_BLOCK block{};
        if (client.Request(IOCTL_TOUCH_GET_PARAMETERS, &block, sizeof(block), sizeof(block)).Error) return 11;
        if (block.PortAddress != 0x3F8) return 12;
        SetEvent(ready.get());
        if (WaitForSingleObject(release.get(), 30000) != WAIT_OBJECT_0) return 13;
        return 0;
    } catch (const StandinError&) {
        return 14;
    }
}

class StandinE2E : public ::testing::Test {
protected:
    void SetUp() override {
        client_ = std::make_unique<StandinClient>();
        client_->Reset();
    }
    void TearDown() override {
        if (!client_) client_ = std::make_unique<StandinClient>();
        client_->Reset();
    }

    PX_PARAMETER_BLOCK GetParameters() {
        PX_PARAMETER_BLOCK block{};
        const auto result = client_->Request(IOCTL_TOUCH_GET_PARAMETERS, &block, sizeof(block), sizeof(block));
        EXPECT_EQ(result.Error, 0u);
        EXPECT_EQ(result.Bytes, 48u);
        return block;
    }
    PX_TOUCH_REPORT GetReport() {
        PX_TOUCH_REPORT report{};
        EXPECT_EQ(client_->Request(IOCTL_TOUCH_GET_REPORT, &report, sizeof(report), sizeof(report)).Error, 0u);
        return report;
    }
    PX_RBF_WINDOW_RECORD GetRbf() {
        PX_RBF_WINDOW_RECORD record{};
        EXPECT_EQ(client_->Request(IOCTL_TOUCH_GET_RBF_WINDOW, &record, sizeof(record), sizeof(record)).Error, 0u);
        return record;
    }

    std::unique_ptr<StandinClient> client_;
};

TEST_F(StandinE2E, ThreeProcessesHoldTheDeviceAtOnce) {
    const int before = client_->State().OpenHandles;
    ASSERT_GE(before, 1);
    const std::string tag = std::to_string(GetCurrentProcessId());
    const std::string releaseName = "pxstandin_release_" + tag;
    Handle release(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    std::vector<std::unique_ptr<Handle>> ready, children;
    for (int i = 0; i < 2; ++i) {
        const std::string readyName = "pxstandin_ready_" + tag + "_" + std::to_string(i);
        ready.push_back(std::make_unique<Handle>(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str())));
        children.push_back(std::make_unique<Handle>(
            Start("\"" + SelfPath() + "\" --hold-device " + readyName + " " + releaseName)));
        ASSERT_NE(children.back()->get(), nullptr);
    }
    for (auto& event : ready) ASSERT_EQ(WaitForSingleObject(event->get(), 20000), WAIT_OBJECT_0);

    EXPECT_EQ(client_->State().OpenHandles, before + 2);
    EXPECT_EQ(GetParameters().PortAddress, 0x3F8);

    SetEvent(release.get());
    for (auto& child : children) {
        ASSERT_EQ(WaitForSingleObject(child->get(), 20000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(child->get(), &code);
        EXPECT_EQ(code, 0u);
    }
    EXPECT_TRUE(WaitFor([&] { return client_->State().OpenHandles == before; }))
        << "still open: " << client_->State().OpenHandles;
}

struct SettingCase {
    const char* Name;
    std::uint32_t Code;
    std::set<std::string> Fields;
};

TEST_F(StandinE2E, EachSettingRequestChangesOnlyItsFieldsAndAnswersTheBlock) {
    const SettingCase cases[] = {
        {"SET_PORT_IRQS", IOCTL_TOUCH_SET_PORT_IRQS,
         {"ComTable[1].Irq", "ComTable[2].Irq", "ComTable[3].Irq", "ComTable[4].Irq"}},
        {"SET_TOUCH_MODE", IOCTL_TOUCH_SET_TOUCH_MODE, {"TouchMode", "RightButton"}},
        {"SET_FEEDBACK_SOUND", IOCTL_TOUCH_SET_FEEDBACK_SOUND, {"FeedbackSound"}},
        {"SET_SENSITIVITY", IOCTL_TOUCH_SET_SENSITIVITY, {"Sensitivity"}},
        {"SET_MOUSE_SPEED", IOCTL_TOUCH_SET_MOUSE_SPEED, {"Bypass", "HSpeed", "VSpeed", "Acceleration"}},
        {"SET_CALIBRATION", IOCTL_TOUCH_SET_CALIBRATION, {"CalXMin", "CalXMax", "CalYMin", "CalYMax"}},
        {"SET_SCREEN_SIZE", IOCTL_TOUCH_SET_SCREEN_SIZE, {"ScreenWidth", "ScreenHeight"}},
        {"SET_POWER_DOWN", IOCTL_TOUCH_SET_POWER_DOWN, {"PowerDownTime"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        client_->Reset();
        const PX_PARAMETER_BLOCK before = GetParameters();
        PX_PARAMETER_BLOCK sent = before;
        for (const auto& field : BlockFields())
            px::standin::WriteField(sent, field, ReadField(before, field) + 7);
        PX_PARAMETER_BLOCK buffer = sent;
        const auto result = client_->Request(c.Code, &buffer, sizeof(buffer), sizeof(buffer));
        ASSERT_EQ(result.Error, 0u);
        EXPECT_EQ(result.Bytes, 48u);

        const PX_PARAMETER_BLOCK now = GetParameters();
        EXPECT_EQ(Bytes(buffer), Bytes(now));
        for (const auto& field : BlockFields()) {
            const bool listed = c.Fields.count(std::string(field.Name)) > 0;
            EXPECT_EQ(ReadField(now, field), ReadField(listed ? sent : before, field)) << field.Name;
        }
        const auto journal = client_->Journal();
        ASSERT_EQ(journal.size(), 3u);  // GET, the setting, GET
        EXPECT_EQ(journal[1].Code, c.Code);
        EXPECT_EQ(std::memcmp(journal[1].Input, &sent, sizeof(sent)), 0);
    }
}

TEST_F(StandinE2E, GetReportShowsTheFingerAndANewCountPerReport) {
    const auto idle = GetReport();
    EXPECT_EQ(idle.Status & PX_TOUCH_DOWN_BIT, 0);

    client_->Touch(300, 400);
    auto report = GetReport();
    EXPECT_NE(report.Status & PX_TOUCH_DOWN_BIT, 0);
    EXPECT_EQ(report.RawX, 300);
    EXPECT_EQ(report.RawY, 400);
    EXPECT_EQ(report.ReportCount, idle.ReportCount + 1);
    EXPECT_EQ(GetReport().ReportCount, report.ReportCount) << "no new report, no new count";

    client_->Move(310, 420, 4);
    const auto moved = GetReport();
    EXPECT_NE(moved.Status & PX_TOUCH_DOWN_BIT, 0);
    EXPECT_EQ(moved.RawX, 310);
    EXPECT_EQ(moved.ReportCount, report.ReportCount + 5);

    client_->Lift();
    const auto lifted = GetReport();
    EXPECT_EQ(lifted.Status & PX_TOUCH_DOWN_BIT, 0);
    EXPECT_EQ(lifted.RawX, 310);
    EXPECT_EQ(lifted.ReportCount, moved.ReportCount + 1);
}

TEST_F(StandinE2E, RbfRecordIsSharedAndThePendingRightClickGoesWithTheNextTouchDown) {
    auto record = GetRbf();
    EXPECT_EQ(record.RbfWindow, -1);
    EXPECT_EQ(record.RightClickPending, 0);

    PX_RBF_WINDOW_RECORD set{0x10072, 1, {0, 0}};
    ASSERT_EQ(client_->Request(IOCTL_TOUCH_SET_RBF_WINDOW, &set, sizeof(set), sizeof(set)).Error, 0u);
    StandinClient other;
    PX_RBF_WINDOW_RECORD seen{};
    ASSERT_EQ(other.Request(IOCTL_TOUCH_GET_RBF_WINDOW, &seen, sizeof(seen), sizeof(seen)).Error, 0u);
    EXPECT_EQ(seen.RbfWindow, 0x10072);
    EXPECT_EQ(seen.RightClickPending, 1);

    client_->Move(50, 50);
    EXPECT_EQ(GetRbf().RightClickPending, 1) << "a move is no touch-down";
    const auto clicksBefore = client_->State().RightClicks;
    client_->Touch(50, 50);
    record = GetRbf();
    EXPECT_EQ(record.RightClickPending, 0);
    EXPECT_EQ(record.RbfWindow, 0x10072);
    EXPECT_EQ(client_->State().RightClicks, clicksBefore + 1);
}

TEST_F(StandinE2E, JournalRecordsProductRequestsOnlyAndFaultsFailTheNextOnes) {
    for (std::int32_t code : {0, 3, 4, 5}) {
        PX_CALIBRATION_CODE record{code};
        ASSERT_EQ(client_->Request(IOCTL_TOUCH_CALIBRATION_CODE, &record, sizeof(record), sizeof(record)).Error, 0u);
        client_->State();  // private: must not show up
    }
    auto journal = client_->Journal();
    ASSERT_EQ(journal.size(), 4u);
    const std::uint8_t expected[] = {0, 3, 4, 5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(journal[i].Code, IOCTL_TOUCH_CALIBRATION_CODE);
        EXPECT_EQ(journal[i].InputLength, 4u);
        EXPECT_EQ(journal[i].Input[0], expected[i]);
    }
    client_->ClearJournal();
    EXPECT_TRUE(client_->Journal().empty());

    client_->FailNext(IOCTL_TOUCH_SET_SCREEN_SIZE, 2);
    PX_PARAMETER_BLOCK block = GetParameters();
    block.ScreenWidth = 800;
    for (int i = 0; i < 2; ++i) {
        PX_PARAMETER_BLOCK buffer = block;
        EXPECT_EQ(client_->Request(IOCTL_TOUCH_SET_SCREEN_SIZE, &buffer, sizeof(buffer), sizeof(buffer)).Error,
                  kErrorGenFailure);
        EXPECT_EQ(GetParameters().ScreenWidth, 1024);
    }
    PX_PARAMETER_BLOCK buffer = block;
    EXPECT_EQ(client_->Request(IOCTL_TOUCH_SET_SCREEN_SIZE, &buffer, sizeof(buffer), sizeof(buffer)).Error, 0u);
    EXPECT_EQ(GetParameters().ScreenWidth, 800);
}

TEST_F(StandinE2E, ShortBuffersAndUnknownCodesFailWithoutHarm) {
    struct Case {
        const char* Name;
        std::uint32_t Code;
        DWORD In, Out, Error;
    };
    const Case cases[] = {
        {"GET_PARAMETERS short", IOCTL_TOUCH_GET_PARAMETERS, 47, 47, ERROR_INSUFFICIENT_BUFFER},
        {"GET_REPORT short", IOCTL_TOUCH_GET_REPORT, 4, 4, ERROR_INSUFFICIENT_BUFFER},
        {"SET_TOUCH_MODE short", IOCTL_TOUCH_SET_TOUCH_MODE, 30, 30, ERROR_INSUFFICIENT_BUFFER},
        {"SET_CALIBRATION empty", IOCTL_TOUCH_SET_CALIBRATION, 0, 0, ERROR_INSUFFICIENT_BUFFER},
        {"CALIBRATION_CODE short", IOCTL_TOUCH_CALIBRATION_CODE, 2, 2, ERROR_INSUFFICIENT_BUFFER},
        {"SET_RBF_WINDOW short", IOCTL_TOUCH_SET_RBF_WINDOW, 6, 6, ERROR_INSUFFICIENT_BUFFER},
        {"function 0x900", PX_TOUCH_REQUEST(0x900), 48, 48, ERROR_INVALID_FUNCTION},
        {"function 0x805", PX_TOUCH_REQUEST(0x805), 48, 48, ERROR_INVALID_FUNCTION},
        {"other device type", 0x220000u | (0x804u << 2), 48, 48, ERROR_INVALID_FUNCTION},
        {"unknown private", PX_STANDIN_CONTROL(0x9FF), 48, 48, ERROR_INVALID_FUNCTION},
    };
    const PX_PARAMETER_BLOCK before = GetParameters();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::uint8_t> buffer(64, 0xA5);
        const auto result = client_->Request(c.Code, buffer.data(), c.In, c.Out);
        EXPECT_EQ(result.Error, c.Error);
        EXPECT_EQ(Bytes(GetParameters()), Bytes(before));
        EXPECT_EQ(GetRbf().RbfWindow, -1);
    }
}

TEST_F(StandinE2E, SettingsSurviveAServiceStopAndStart) {
    PX_PARAMETER_BLOCK block = GetParameters();
    block.Sensitivity = 99;
    block.CalXMin = 12;
    block.CalXMax = 1001;
    ASSERT_EQ(client_->Request(IOCTL_TOUCH_SET_SENSITIVITY, &block, sizeof(block), sizeof(block)).Error, 0u);
    ASSERT_EQ(client_->Request(IOCTL_TOUCH_SET_CALIBRATION, &block, sizeof(block), sizeof(block)).Error, 0u);
    PX_RBF_WINDOW_RECORD rbf{1234, 1, {0, 0}};
    ASSERT_EQ(client_->Request(IOCTL_TOUCH_SET_RBF_WINDOW, &rbf, sizeof(rbf), sizeof(rbf)).Error, 0u);
    const auto expected = Bytes(GetParameters());
    client_.reset();  // an open handle would keep the driver loaded

    ASSERT_EQ(RunAndWait("sc.exe stop PXWNTCOM"), 0u);
    EXPECT_TRUE(WaitFor([] {
        try {
            StandinClient probe;
            return false;
        } catch (const StandinError&) {
            return true;
        }
    })) << "the device is still there after sc stop";
    ASSERT_EQ(RunAndWait("sc.exe start PXWNTCOM"), 0u);

    ASSERT_TRUE(WaitFor([&] {
        try {
            client_ = std::make_unique<StandinClient>();
            return true;
        } catch (const StandinError&) {
            return false;
        }
    })) << "the device did not come back";
    EXPECT_EQ(Bytes(GetParameters()), expected);
    // The RBF record belongs to the running session, not to the settings.
    EXPECT_EQ(GetRbf().RbfWindow, -1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--hold-device") return HoldDevice(argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
