#include <gtest/gtest.h>

#include "e2e/registry.hpp"

namespace {

const wchar_t kKey[] = L"Software\\e2e-support-registry-test";

std::optional<std::pair<DWORD, std::vector<BYTE>>> Read(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> result;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size);
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        result.emplace(type, data);
    }
    RegCloseKey(key);
    return result;
}

void Write(const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, type, data.data(), static_cast<DWORD>(data.size()));
}

TEST(SavedRegistryValues, PutsBackTypesAndBytesAndRemovesWhatWasAbsent) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    const std::vector<BYTE> big(20000, 0x5A);  // larger than any fixed buffer a reader might use
    Write(L"Text", REG_SZ, {'a', 0, 0, 0});
    Write(L"Number", REG_DWORD, {1, 2, 3, 4});
    Write(L"Big", REG_BINARY, big);
    {
        e2e::SavedRegistryValues saved(HKEY_CURRENT_USER, kKey, {L"Text", L"Number", L"Big", L"Absent"});
        EXPECT_FALSE(saved.Complete());
        Write(L"Text", REG_EXPAND_SZ, {'b', 0, 0, 0});
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Number");
        Write(L"Big", REG_SZ, {0, 0});
        Write(L"Absent", REG_SZ, {'x', 0, 0, 0});
    }
    EXPECT_EQ(Read(L"Text"), std::make_optional(std::make_pair(DWORD{REG_SZ}, std::vector<BYTE>{'a', 0, 0, 0})));
    EXPECT_EQ(Read(L"Number"), std::make_optional(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{1, 2, 3, 4})));
    EXPECT_EQ(Read(L"Big"), std::make_optional(std::make_pair(DWORD{REG_BINARY}, big)));
    EXPECT_EQ(Read(L"Absent"), std::nullopt);

    // The key itself gone during the test comes back too.
    {
        e2e::SavedRegistryValues saved(HKEY_CURRENT_USER, kKey, {L"Text"});
        EXPECT_TRUE(saved.Complete());
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    EXPECT_EQ(Read(L"Text"), std::make_optional(std::make_pair(DWORD{REG_SZ}, std::vector<BYTE>{'a', 0, 0, 0})));
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

}  // namespace
