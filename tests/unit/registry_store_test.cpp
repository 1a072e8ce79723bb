#include <gtest/gtest.h>

#include "fakes.hpp"
#include "shared/registry_store.hpp"

namespace px {
namespace {

const std::string kOemKey = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";

class RegistryStoreTest : public ::testing::Test {
protected:
    fakes::FakeRegistry registry;
    RegistryStore store{registry};
};

TEST_F(RegistryStoreTest, LeadingBackslashIsTakenOffTheCallersSubPath) {
    std::string sub = "\\PX-K17-COM";
    RegKey key = 0;
    ASSERT_TRUE(store.OpenRegistryKey(kHkeyLocalMachine, "SOFTWARE\\Veldrant\\TouchScreen", sub, key));
    EXPECT_EQ(sub, "PX-K17-COM");
    std::string plain = "PX-K17-COM";
    RegKey other = 0;
    ASSERT_TRUE(store.OpenRegistryKey(kHkeyLocalMachine, "SOFTWARE\\Veldrant\\TouchScreen", plain, other));
    EXPECT_EQ(registry.CreatedPaths[0], registry.CreatedPaths[1]);
    EXPECT_EQ(registry.CreatedPaths[0], "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM");
}

TEST_F(RegistryStoreTest, EmptySubPathOpensTheBaseAndEmptyBaseTouchesNothing) {
    std::string sub;
    RegKey key = 0;
    ASSERT_TRUE(store.OpenRegistryKey(kHkeyCurrentUser, "Control Panel\\Mouse", sub, key));
    EXPECT_EQ(registry.CreatedPaths.back(), "Control Panel\\Mouse");
    std::string some = "\\X";
    EXPECT_FALSE(store.OpenRegistryKey(kHkeyCurrentUser, "", some, key));
    EXPECT_EQ(registry.CreatedPaths.size(), 1u);
    EXPECT_EQ(some, "\\X");
}

TEST_F(RegistryStoreTest, ReadsCutAtNulAndCountOnlyRegSz) {
    const std::string path = "HKCU\\T";
    registry.Set(path, "Embedded", kRegSz, {'a', 'b', 0, 'c', 'd', 0});
    registry.SetString(path, "Empty", "");
    registry.Set(path, "NoNul", kRegSz, {'x', 'y'});
    registry.Set(path, "Zero", kRegSz, {});
    registry.Set(path, "Expand", kRegExpandSz, {'%', 'a', '%', 0});
    registry.Set(path, "Number", kRegDword, {1, 0, 0, 0});
    std::string sub;
    RegKey key = 0;
    ASSERT_TRUE(store.OpenRegistryKey(kHkeyCurrentUser, "T", sub, key));

    struct Case {
        const char* Name;
        bool Ok;
        std::string Text;
    } cases[] = {
        {"Embedded", true, "ab"}, {"Empty", true, ""},        {"NoNul", true, "xy"},        {"Zero", true, ""},
        {"Expand", false, "kept"}, {"Number", false, "kept"}, {"Missing", false, "kept"},
    };
    for (const auto& c : cases) {
        std::string text = "kept";
        EXPECT_EQ(store.ReadRegistryString(key, c.Name, text), c.Ok) << c.Name;
        EXPECT_EQ(text, c.Text) << c.Name;
    }
}

TEST_F(RegistryStoreTest, WriteStoresTextWithItsNulAndRefusesKeyZero) {
    std::string sub;
    RegKey key = 0;
    ASSERT_TRUE(store.OpenRegistryKey(kHkeyCurrentUser, "Control Panel\\Mouse", sub, key));
    ASSERT_TRUE(store.WriteRegistryString(key, "DoubleClickWidth", "32"));
    const auto* value = registry.Get("HKCU\\Control Panel\\Mouse", "DoubleClickWidth");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->Type, kRegSz);
    EXPECT_EQ(value->Data, (std::vector<std::uint8_t>{'3', '2', 0}));
    EXPECT_FALSE(store.WriteRegistryString(0, "DoubleClickWidth", "1"));
}

class OemRecordTest : public ::testing::Test {
protected:
    void Fill() {
        registry.SetString(kOemKey, "VenderName", "Acme Touch");
        registry.SetString(kOemKey, "InstallPath", "C:\\Program Files\\TouchScreen");
        registry.SetString(kOemKey, "WindowsPath", "C:\\windows");
        registry.SetString(kOemKey, "SystemPath", "C:\\windows\\system32");
        registry.SetString(kOemKey, "HardwareID", "SERIAL\\PX");
    }
    fakes::FakeRegistry registry;
    OemRecord oem{registry};
};

TEST_F(OemRecordTest, LoadsAllFiveFromTheFixedKeyAndClosesIt) {
    Fill();
    ASSERT_TRUE(oem.LoadOemData());
    EXPECT_EQ(oem.VenderName, "Acme Touch");
    EXPECT_EQ(oem.InstallPath, "C:\\Program Files\\TouchScreen");
    EXPECT_EQ(oem.WindowsPath, "C:\\windows");
    EXPECT_EQ(oem.SystemPath, "C:\\windows\\system32");
    EXPECT_EQ(oem.HardwareID, "SERIAL\\PX");
    EXPECT_EQ(registry.CreatedPaths, (std::vector<std::string>{"SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM"}));
    EXPECT_EQ(registry.OpenKeys, 0);
}

TEST_F(OemRecordTest, OneMissingValueFailsButEveryValueIsStillRead) {
    Fill();
    registry.Set(kOemKey, "HardwareID", kRegExpandSz, {'x', 0});
    registry.Set(kOemKey, "VenderName", kRegDword, {1, 0, 0, 0});
    EXPECT_FALSE(oem.LoadOemData());
    EXPECT_EQ(oem.InstallPath, "C:\\Program Files\\TouchScreen");
    EXPECT_EQ(oem.SystemPath, "C:\\windows\\system32");
    EXPECT_EQ(oem.VenderName, "");
    // Two queries per value that exists as REG_SZ, one for the others; every name in order.
    std::vector<std::string> asked;
    for (const auto& q : registry.Queries)
        if (asked.empty() || asked.back() != q) asked.push_back(q);
    EXPECT_EQ(asked, (std::vector<std::string>{"VenderName", "InstallPath", "WindowsPath", "SystemPath",
                                               "HardwareID"}));
    EXPECT_EQ(registry.OpenKeys, 0);
}

TEST_F(OemRecordTest, MissingKeyIsCreatedEmptyAndLoadFails) {
    EXPECT_FALSE(oem.LoadOemData());
    EXPECT_TRUE(registry.HasKey(kOemKey));
    EXPECT_EQ(registry.Queries.size(), 5u);
}

TEST_F(OemRecordTest, SaveVenderNameWritesToTheLoadedLocation) {
    Fill();
    ASSERT_TRUE(oem.LoadOemData());
    oem.VenderName = "  New Vendor";
    ASSERT_TRUE(oem.SaveVenderName());
    const auto* value = registry.Get(kOemKey, "VenderName");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(value->Data.begin(), value->Data.end()), std::string("  New Vendor\0", 13));
    EXPECT_EQ(registry.OpenKeys, 0);
}

TEST_F(OemRecordTest, SaveWithoutAnyLocationFails) {
    oem.VenderName = "x";
    EXPECT_FALSE(oem.SaveVenderName());
    EXPECT_TRUE(registry.CreatedPaths.empty());
}

}  // namespace
}  // namespace px
