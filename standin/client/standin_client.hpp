// Client side of the stand-in's private requests, for pxsim and the tests. Opens the device
// exactly as the product's programs do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "../driver/standin_controls.h"

namespace px::standin {

class StandinError : public std::runtime_error {
public:
    StandinError(const std::string& what, DWORD error);
    DWORD Error() const { return error_; }

private:
    DWORD error_;
};

struct RequestResult {
    DWORD Error = 0;  // GetLastError() after a failed DeviceIoControl, 0 on success
    DWORD Bytes = 0;
};

class StandinClient {
public:
    // Throws StandinError when the device cannot be opened.
    StandinClient();
    ~StandinClient();
    StandinClient(const StandinClient&) = delete;
    StandinClient& operator=(const StandinClient&) = delete;

    // Any request, product or private, with one buffer as input and output (as the product does).
    RequestResult Request(std::uint32_t code, void* record, DWORD inLength, DWORD outLength);

    PX_STANDIN_STATE State();
    PX_PARAMETER_BLOCK Block() { return State().Block; }
    void WriteBlock(const PX_PARAMETER_BLOCK& block);
    void WriteBytes(std::uint8_t offset, const std::vector<std::uint8_t>& bytes);
    void SetRbf(const PX_RBF_WINDOW_RECORD& record);
    PX_TOUCH_REPORT Touch(std::int16_t x, std::int16_t y, std::uint32_t furtherReports = 0);
    PX_TOUCH_REPORT Move(std::int16_t x, std::int16_t y, std::uint32_t furtherReports = 0);
    PX_TOUCH_REPORT Lift();
    std::vector<PX_STANDIN_JOURNAL_ENTRY> Journal();
    void ClearJournal();
    void FailNext(std::uint32_t code, std::uint32_t count);
    void Reset();

private:
    void Control(const char* what, std::uint32_t code, void* in, DWORD inLength, void* out, DWORD outLength);
    PX_TOUCH_REPORT Feed(std::uint32_t action, std::int16_t x, std::int16_t y, std::uint32_t furtherReports);

    HANDLE device_ = INVALID_HANDLE_VALUE;
};

// GET_REPORT back to back for about `seconds`, as fast as the stand-in answers: the floor any
// polling program is measured against. No requests when one failed.
struct PollRun {
    long Requests = 0;
    double Seconds = 0;
};
PollRun PollGetReport(StandinClient& client, double seconds);

}  // namespace px::standin
