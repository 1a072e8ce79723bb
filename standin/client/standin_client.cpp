#include "standin_client.hpp"

#include <cstring>
#include <memory>

namespace px::standin {

StandinError::StandinError(const std::string& what, DWORD error)
    : std::runtime_error(what + " (error " + std::to_string(error) + ")"), error_(error) {}

StandinClient::StandinClient() {
    SECURITY_ATTRIBUTES security{};
    device_ = CreateFileA("\\\\.\\PXWNTCOM", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device_ == INVALID_HANDLE_VALUE)
        throw StandinError("cannot open \\\\.\\PXWNTCOM: is the PXWNTCOM stand-in driver running?", GetLastError());
}

StandinClient::~StandinClient() {
    if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
}

RequestResult StandinClient::Request(std::uint32_t code, void* record, DWORD inLength, DWORD outLength) {
    RequestResult result;
    OVERLAPPED overlapped{};
    if (!DeviceIoControl(device_, code, record, inLength, record, outLength, &result.Bytes, &overlapped))
        result.Error = GetLastError();
    return result;
}

void StandinClient::Control(const char* what, std::uint32_t code, void* in, DWORD inLength, void* out,
                            DWORD outLength) {
    DWORD bytes = 0;
    OVERLAPPED overlapped{};
    if (!DeviceIoControl(device_, code, in, inLength, out, outLength, &bytes, &overlapped))
        throw StandinError(std::string("stand-in request ") + what + " failed", GetLastError());
}

PX_STANDIN_STATE StandinClient::State() {
    PX_STANDIN_STATE state{};
    Control("GET_STATE", PX_STANDIN_GET_STATE, nullptr, 0, &state, sizeof(state));
    return state;
}

void StandinClient::WriteBlock(const PX_PARAMETER_BLOCK& block) {
    PX_STANDIN_BLOCK_WRITE write{};
    write.Offset = 0;
    write.Length = sizeof(block);
    std::memcpy(write.Bytes, &block, sizeof(block));
    Control("WRITE_BLOCK", PX_STANDIN_WRITE_BLOCK, &write, sizeof(write), nullptr, 0);
}

void StandinClient::WriteBytes(std::uint8_t offset, const std::vector<std::uint8_t>& bytes) {
    PX_STANDIN_BLOCK_WRITE write{};
    write.Offset = offset;
    write.Length = static_cast<std::uint8_t>(bytes.size() < sizeof(write.Bytes) ? bytes.size() : sizeof(write.Bytes));
    std::memcpy(write.Bytes, bytes.data(), write.Length);
    Control("WRITE_BLOCK", PX_STANDIN_WRITE_BLOCK, &write, sizeof(write), nullptr, 0);
}

void StandinClient::SetRbf(const PX_RBF_WINDOW_RECORD& record) {
    PX_RBF_WINDOW_RECORD copy = record;
    Control("SET_RBF", PX_STANDIN_SET_RBF, &copy, sizeof(copy), nullptr, 0);
}

PX_TOUCH_REPORT StandinClient::Feed(std::uint32_t action, std::int16_t x, std::int16_t y,
                                    std::uint32_t furtherReports) {
    PX_STANDIN_FEED_INPUT input{action, x, y, furtherReports};
    PX_TOUCH_REPORT report{};
    Control("FEED", PX_STANDIN_FEED, &input, sizeof(input), &report, sizeof(report));
    return report;
}

PX_TOUCH_REPORT StandinClient::Touch(std::int16_t x, std::int16_t y, std::uint32_t furtherReports) {
    return Feed(PX_STANDIN_TOUCH_DOWN, x, y, furtherReports);
}

PX_TOUCH_REPORT StandinClient::Move(std::int16_t x, std::int16_t y, std::uint32_t furtherReports) {
    return Feed(PX_STANDIN_MOVE, x, y, furtherReports);
}

PX_TOUCH_REPORT StandinClient::Lift() { return Feed(PX_STANDIN_LIFT, 0, 0, 0); }

std::vector<PX_STANDIN_JOURNAL_ENTRY> StandinClient::Journal() {
    auto journal = std::make_unique<PX_STANDIN_JOURNAL>();
    Control("READ_JOURNAL", PX_STANDIN_READ_JOURNAL, nullptr, 0, journal.get(), sizeof(*journal));
    const auto count = journal->Count < PX_STANDIN_JOURNAL_CAPACITY ? journal->Count : PX_STANDIN_JOURNAL_CAPACITY;
    return {journal->Entries, journal->Entries + count};
}

void StandinClient::ClearJournal() { Control("CLEAR_JOURNAL", PX_STANDIN_CLEAR_JOURNAL, nullptr, 0, nullptr, 0); }

void StandinClient::FailNext(std::uint32_t code, std::uint32_t count) {
    PX_STANDIN_FAULT fault{code, count};
    Control("FAIL_NEXT", PX_STANDIN_FAIL_NEXT, &fault, sizeof(fault), nullptr, 0);
}

void StandinClient::Reset() { Control("RESET", PX_STANDIN_RESET, nullptr, 0, nullptr, 0); }

PollRun PollGetReport(StandinClient& client, double seconds) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG end = start.QuadPart + static_cast<LONGLONG>(seconds * frequency.QuadPart);
    PollRun run;
    do {
        PX_TOUCH_REPORT report{};
        if (client.Request(IOCTL_TOUCH_GET_REPORT, &report, sizeof report, sizeof report).Error) return {};
        ++run.Requests;
        QueryPerformanceCounter(&now);
    } while (now.QuadPart < end);
    run.Seconds = static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
    return run;
}

}  // namespace px::standin
