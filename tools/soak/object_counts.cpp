#include "object_counts.hpp"

#include <winternl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace soak {
namespace {

constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr ULONG kSystemHandleInformation = 16;

// One entry of the GDI handle table the PEB points to. Windows and Wine agree on where the
// owner's process id and the type are; a type of 0 marks a free entry.
#pragma pack(push, 1)
struct GdiEntry {
    std::uint64_t Object;
    std::uint16_t OwnerId;
    std::uint16_t Lock;
    std::uint16_t Unique;
    std::uint8_t Type;
    std::uint8_t Flags;
    std::uint64_t User;
};
#pragma pack(pop)
static_assert(sizeof(GdiEntry) == 24);
constexpr std::size_t kGdiEntries = 0x10000;
constexpr std::size_t kPebGdiTable = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit

void* PebOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return nullptr;
    return basic.PebBaseAddress;
}

template <typename T>
bool Read(HANDLE process, const void* address, T* out, std::size_t count = 1) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, out, sizeof(T) * count, &got) && got == sizeof(T) * count;
}

struct WindowCount {
    DWORD Pid;
    long Count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->Count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != count->Pid) return TRUE;
    ++count->Count;
    EnumChildWindows(window, CountChild, data);  // all descendants, not only direct children
    return TRUE;
}

}  // namespace

long CountHandles(HANDLE process) {
    DWORD reported = 0;
    if (GetProcessHandleCount(process, &reported) && reported != 0) return static_cast<long>(reported);

    const DWORD pid = GetProcessId(process);
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        const LONG status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation),
                                                     buffer.data(), static_cast<ULONG>(buffer.size()), nullptr);
        if (status == kInfoLengthMismatch && buffer.size() < (64u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    const auto* info = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < info->Count; ++i)
        if (info->Handle[i].OwnerPid == pid) ++count;
    return count;
}

long CountGdiObjects(HANDLE process) {
    if (const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<long>(reported);

    const auto* peb = static_cast<const std::uint8_t*>(PebOf(process));
    std::uint64_t table = 0;
    if (!peb || !Read(process, peb + kPebGdiTable, &table) || table == 0) return -1;
    std::vector<GdiEntry> entries(kGdiEntries);
    if (!Read(process, reinterpret_cast<const void*>(table), entries.data(), entries.size())) return -1;
    // Windows shares one table among all processes and marks each entry with its owner; Wine
    // gives every process a table of its own and leaves the owner 0.
    const auto pid = static_cast<std::uint16_t>(GetProcessId(process));
    long owned = 0, all = 0;
    for (const auto& entry : entries) {
        if (entry.Type == 0) continue;
        ++all;
        if (entry.OwnerId == pid) ++owned;
    }
    return owned != 0 ? owned : all;
}

long CountUserObjects(HANDLE process, bool* onlyWindows) {
    if (onlyWindows) *onlyWindows = false;
    if (const DWORD reported = GetGuiResources(process, GR_USEROBJECTS)) return static_cast<long>(reported);
    if (onlyWindows) *onlyWindows = true;
    WindowCount count{GetProcessId(process), 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
    return count.Count;
}

ObjectCounts CountObjects(HANDLE process) {
    ObjectCounts counts;
    counts.Handles = CountHandles(process);
    counts.Gdi = CountGdiObjects(process);
    counts.User = CountUserObjects(process, &counts.UserAreWindows);
    return counts;
}

}  // namespace soak
