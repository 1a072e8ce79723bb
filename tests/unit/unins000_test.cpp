// unins000: which pieces of the package go, in which order, and what is left when one is held.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "removal.hpp"

namespace px::unins {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const ProductPlaces kPlaces{"C:\\Program Files\\TouchScreen", "C:\\windows", "C:\\windows\\system32",
                            "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"};

// Records every request as one line; a target listed in Held/Stuck/Present behaves accordingly.
class FakeRemoval final : public MachinePort {
public:
    std::vector<std::string> Calls;
    std::set<std::string> Held;        // DeleteFile / DeleteKey / DeleteValue / RemoveService fail
    std::set<std::string> Stuck;       // DeleteAtRestart fails
    std::set<std::string> Missing;     // already gone
    std::set<std::string> NotEmpty;    // KeyIsEmpty says no

    Outcome Answer(const std::string& target) {
        if (Held.count(target)) return Outcome::Failed;
        return Missing.count(target) ? Outcome::Absent : Outcome::Removed;
    }
    Outcome RemoveService(const std::string& name) override {
        Calls.push_back("service " + name);
        return Answer(name);
    }
    Outcome RemoveFile(const std::string& path) override {
        Calls.push_back("delete " + path);
        return Answer(path);
    }
    bool DeleteAtRestart(const std::string& path) override {
        Calls.push_back("restart " + path);
        return !Stuck.count(path);
    }
    Outcome DeleteValue(const std::string& key, const std::string& name) override {
        Calls.push_back("value " + key + " " + name);
        return Answer(name);
    }
    Outcome DeleteKey(const std::string& key) override {
        Calls.push_back("key " + key);
        return Answer(key);
    }
    bool KeyIsEmpty(const std::string& key) override { return !NotEmpty.count(key) && !Missing.count(key); }
};

class FakeDialog final : public DialogPort {
public:
    bool Answer = true;
    std::vector<std::string> Questions;
    std::vector<std::pair<std::string, bool>> Told;
    bool AskYesNo(const std::string& text) override {
        Questions.push_back(text);
        return Answer;
    }
    void Tell(const std::string& text, bool warning) override { Told.emplace_back(text, warning); }
};

// Programs that end when asked, unless listed in Stubborn; each wait lets its time pass.
class FakePrograms final : public ProgramsPort {
public:
    std::optional<std::int32_t> Registered;
    std::map<std::string, std::vector<std::uint32_t>> Processes;
    std::set<std::uint32_t> Stubborn, Ended;
    std::vector<std::string> Calls;
    std::uint64_t Now = 0;

    std::optional<std::int32_t> RegisteredRightButton() override { return Registered; }
    void SendRightButtonClose(std::int32_t window) override { Calls.push_back("4110 to " + std::to_string(window)); }
    std::vector<std::uint32_t> Running(const std::string& exeName) override { return Processes[exeName]; }
    void SignalClose(bool set) override { Calls.push_back(set ? "signal" : "signal off"); }
    void AskToClose(std::uint32_t id) override {
        Calls.push_back("close " + std::to_string(id));
        if (!Stubborn.count(id)) Ended.insert(id);
    }
    bool WaitForEnd(std::uint32_t id, unsigned ms) override {
        if (Ended.count(id)) return true;
        if (ms) Calls.push_back("wait " + std::to_string(id) + " " + std::to_string(ms));
        Now += ms;
        return false;
    }
    std::uint64_t NowMs() override { return Now; }
};

std::ptrdiff_t IndexOf(const std::vector<std::string>& calls, const std::string& call) {
    const auto it = std::find(calls.begin(), calls.end(), call);
    return it == calls.end() ? -1 : it - calls.begin();
}

TEST(Unins000Steps, RemoveEverythingThePackageInstalledAndNothingElse) {
    FakeRemoval port;
    EXPECT_THAT(RunRemoval(RemovalSteps(kPlaces, true), port), IsEmpty());
    const std::string folder = kPlaces.Folder + "\\";
    // What installer.nsi puts in place, besides PXwNTcde.exe in the Windows folder.
    const std::vector<std::string> installed = {
        "service PXWNTCOM",
        "delete C:\\windows\\system32\\drivers\\PXWNTCOM.sys",
        "delete " + folder + "PXwNTccp.exe",
        "delete " + folder + "PXwNTcao.exe",
        "delete " + folder + "PXwNTcrb.exe",
        "delete " + folder + "PXwNTcdi.exe",
        "delete " + folder + "PXwNTcde.exe",
        "delete " + folder + "setup.oem",
        "delete " + folder + "PXVender.Bmp",
        "delete " + folder + "PXVender.Cut",
        "delete " + kPlaces.StartMenuFolder + "\\TouchScreen.lnk",
        "value Software\\Microsoft\\Windows\\CurrentVersion\\Run PXwNTcao",
        "key SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM",
        "key Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen PX-K17-COM",
        "restart " + folder + "unins000.exe",
        "restart " + kPlaces.Folder,
    };
    for (const auto& call : installed) EXPECT_GE(IndexOf(port.Calls, call), 0) << call;
    EXPECT_EQ(IndexOf(port.Calls, "delete C:\\windows\\PXwNTcde.exe"), -1)
        << "PXwNTcde marks its own copy for deletion";
    for (const auto& call : port.Calls) {
        const bool ours = call.find("TouchScreen") != std::string::npos || call.find("PXWNTCOM") != std::string::npos ||
                          call.find("PXwNTcao") != std::string::npos || call.find("Veldrant") != std::string::npos;
        EXPECT_TRUE(ours) << "not the package's: " << call;
    }
}

TEST(Unins000Steps, OrderLetsHeldThingsGo) {
    FakeRemoval port;
    RunRemoval(RemovalSteps(kPlaces, true), port);
    const auto& calls = port.Calls;
    // The driver holds its file until its service has stopped.
    EXPECT_LT(IndexOf(calls, "service PXWNTCOM"), IndexOf(calls, "delete C:\\windows\\system32\\drivers\\PXWNTCOM.sys"));
    // The folder can only go after every file in it, unins000.exe last of all.
    EXPECT_EQ(calls.back(), "restart " + kPlaces.Folder);
    EXPECT_EQ(calls[calls.size() - 2], "restart " + kPlaces.Folder + "\\unins000.exe");
    // Parent keys are looked at only once the product key is gone.
    EXPECT_LT(IndexOf(calls, "key SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM"),
              IndexOf(calls, "key SOFTWARE\\Veldrant\\TouchScreen"));
    EXPECT_LT(IndexOf(calls, "key SOFTWARE\\Veldrant\\TouchScreen"), IndexOf(calls, "key SOFTWARE\\Veldrant"));
}

TEST(Unins000Steps, ARunByTheUserAlsoRemovesTheUninstallerInTheWindowsFolder) {
    FakeRemoval port;
    RunRemoval(RemovalSteps(kPlaces, false), port);
    EXPECT_GE(IndexOf(port.Calls, "delete C:\\windows\\PXwNTcde.exe"), 0);
}

TEST(Unins000Run, WhatCannotGoIsScheduledOrReported) {
    struct Case {
        const char* name;
        std::set<std::string> held, stuck, missing, notEmpty;
        std::vector<std::string> left;
    };
    const std::string cp = kPlaces.Folder + "\\PXwNTccp.exe";
    const std::string driver = "C:\\windows\\system32\\drivers\\PXWNTCOM.sys";
    const std::vector<Case> cases = {
        {"held program file goes at restart", {cp}, {}, {}, {}, {}},
        {"held and unschedulable is left", {cp}, {cp}, {}, {}, {cp}},
        {"driver held after a failed stop", {"PXWNTCOM", driver}, {driver}, {}, {}, {"service PXWNTCOM", driver}},
        {"already removed pieces are no failure", {}, {}, {cp, "PXWNTCOM", "PXwNTcao", kOemKey}, {}, {}},
        {"logon entry that cannot be deleted", {"PXwNTcao"}, {}, {}, {}, {std::string("HKLM\\") + kRunKey + " PXwNTcao"}},
        {"own folder cannot be scheduled", {}, {kPlaces.Folder}, {}, {}, {kPlaces.Folder}},
        {"another product's vendor key stays", {}, {}, {}, {"SOFTWARE\\Veldrant"}, {}},
    };
    for (const auto& c : cases) {
        FakeRemoval port;
        port.Held = c.held;
        port.Stuck = c.stuck;
        port.Missing = c.missing;
        port.NotEmpty = c.notEmpty;
        EXPECT_EQ(RunRemoval(RemovalSteps(kPlaces, true), port), c.left) << c.name;
        // Every step is tried whatever failed before it.
        EXPECT_EQ(port.Calls.back(), "restart " + kPlaces.Folder) << c.name;
        const bool vendorKeyDeleted = IndexOf(port.Calls, "key SOFTWARE\\Veldrant") >= 0;
        EXPECT_EQ(vendorKeyDeleted, !c.notEmpty.count("SOFTWARE\\Veldrant")) << c.name;
    }
}

TEST(Unins000Run, SilentArgument) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"/SILENT", true},      {"/silent", true},    {"  /Silent  ", true}, {"/X /SILENT", true},
        {"\"/SILENT\"", true},  {"", false},          {"/SILENTLY", false},  {"a/SILENT", false},
        {"/VERYSILENT", false}, {"SILENT", false},
    };
    for (const auto& [line, silent] : cases) EXPECT_EQ(IsSilent(line), silent) << '"' << line << '"';
}

TEST(Unins000Run, FolderOfTheProgram) {
    EXPECT_EQ(FolderOf("C:\\Program Files\\TouchScreen\\unins000.exe"), "C:\\Program Files\\TouchScreen");
    EXPECT_EQ(FolderOf("unins000.exe"), "");
}

TEST(Unins000Run, QuietRemovalClosesTheProgramsTellsNothingAndAsksForTheRestart) {
    FakeRemoval port;
    FakeDialog dialog;
    FakePrograms programs;
    programs.Registered = 0x1234;
    EXPECT_EQ(RunUninstall("/QUIET", kPlaces, port, dialog, programs), 3010);  // unins000.exe itself
    EXPECT_THAT(dialog.Questions, IsEmpty());
    EXPECT_THAT(dialog.Told, IsEmpty());
    EXPECT_THAT(programs.Calls, ElementsAre("4110 to 4660", "signal", "signal off"));
    EXPECT_GE(IndexOf(port.Calls, "delete C:\\windows\\PXwNTcde.exe"), 0);

    FakeRemoval held;
    held.Held = {"PXWNTCOM"};
    EXPECT_EQ(RunUninstall("/quiet", kPlaces, held, dialog, programs), 1603);
}

TEST(Unins000Run, SilentRemovesWithoutAskingOrTelling) {
    FakeRemoval port;
    FakeDialog dialog;
    FakePrograms programs;
    programs.Registered = 0x1234;
    EXPECT_EQ(RunUninstall("/SILENT", kPlaces, port, dialog, programs), 0);
    EXPECT_THAT(programs.Calls, IsEmpty()) << "PXwNTcde has closed the right-button program";
    EXPECT_THAT(dialog.Questions, IsEmpty());
    EXPECT_THAT(dialog.Told, IsEmpty());
    EXPECT_EQ(port.Calls.front(), "service PXWNTCOM");
}

TEST(Unins000Run, SilentFailureShowsInTheExitCodeOnly) {
    FakeRemoval port;
    FakeDialog dialog;
    FakePrograms programs;
    port.Held = {"PXWNTCOM"};
    EXPECT_EQ(RunUninstall("/SILENT", kPlaces, port, dialog, programs), 1603);
    EXPECT_THAT(dialog.Told, IsEmpty());
}

TEST(Unins000Run, AskedFirstAndNoChangesNothing) {
    FakeRemoval port;
    FakeDialog dialog;
    FakePrograms programs;
    programs.Registered = 77;
    dialog.Answer = false;
    EXPECT_EQ(RunUninstall("", kPlaces, port, dialog, programs), 1602);
    EXPECT_EQ(dialog.Questions.size(), 1u);
    EXPECT_THAT(port.Calls, IsEmpty());
    EXPECT_THAT(programs.Calls, IsEmpty()) << "the right-button program closed although the answer was No";
    EXPECT_THAT(dialog.Told, IsEmpty());
}

TEST(Unins000Run, AskedYesReportsWhatWasLeft) {
    FakeRemoval port;
    FakeDialog dialog;
    FakePrograms programs;
    const std::string cp = kPlaces.Folder + "\\PXwNTccp.exe";
    port.Held = {cp};
    port.Stuck = {cp};
    EXPECT_EQ(RunUninstall("", kPlaces, port, dialog, programs), 1603);
    ASSERT_EQ(dialog.Told.size(), 1u);
    EXPECT_TRUE(dialog.Told[0].second);
    EXPECT_NE(dialog.Told[0].first.find("\r\n" + cp), std::string::npos) << dialog.Told[0].first;

    FakeRemoval clean;
    FakeDialog asked;
    EXPECT_EQ(RunUninstall("", kPlaces, clean, asked, programs), 0);
    ASSERT_EQ(asked.Told.size(), 1u);
    EXPECT_FALSE(asked.Told[0].second);
}

TEST(Unins000Close, RightButtonByItsCloseMessageOthersAskedAndWaitedForNeverEnded) {
    FakePrograms programs;
    programs.Registered = 77;
    programs.Processes["PXwNTcrb.exe"] = {10};
    programs.Processes["PXwNTccp.exe"] = {20, 21};
    programs.Processes["PXwNTcao.exe"] = {30};
    programs.Ended = {10};  // gone after its close message
    programs.Stubborn = {21, 30};
    const ClosedPrograms closed = ClosePrograms(programs);
    EXPECT_TRUE(closed.RightButtonRan);
    // One wait of ten seconds shared by all: the second stubborn one gets what is left.
    EXPECT_THAT(closed.StillRunning, ElementsAre("PXwNTccp.exe", "PXwNTcao.exe"));
    EXPECT_THAT(programs.Calls, ElementsAre("4110 to 77", "signal", "close 20", "close 21", "close 30",
                                            "wait 21 10000", "signal off"));
    EXPECT_EQ(PrepareExitCode(closed), 3);

    FakePrograms quick;
    quick.Processes["PXwNTccp.exe"] = {40};
    EXPECT_EQ(PrepareExitCode(ClosePrograms(quick)), 0);
    EXPECT_THAT(quick.Calls, ElementsAre("signal", "close 40", "signal off"));
}

TEST(Unins000Prepare, OnlyDeletionsOfWhatIsWrittenAgainAreCancelled) {
    const struct {
        const char *Source, *Target;
        bool Cancelled;
    } cases[] = {
        {"\\??\\C:\\Program Files\\TouchScreen\\unins000.exe", "", true},
        {"\\??\\c:\\program files\\touchscreen\\", "", true},
        // Another program's entries in our folder, and ours in another's, are not ours to drop.
        {"\\??\\C:\\Program Files\\TouchScreen\\quarantined.dll", "", false},
        {"\\??\\C:\\Program Files\\TouchScreen\\Logs", "", false},
        {"\\??\\C:\\Program Files\\Other\\PXwNTccp.exe", "", false},
        {"\\??\\C:\\windows\\PXWNTCde.exe", "", true},
        {"\\??\\C:\\windows\\system32\\drivers\\PXWNTCOM.sys", "", true},
        {"\\??\\C:\\Program Files\\TouchScreen2\\other.exe", "", false},
        {"\\??\\C:\\Program Files\\TouchScreen\\PXwNTccp.exe.new", "!\\??\\C:\\Program Files\\TouchScreen\\PXwNTccp.exe", false},
        {"\\??\\C:\\windows\\other.exe", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(DeletionOfReinstalledFile(c.Source, c.Target, kPlaces), c.Cancelled) << c.Source;
}

TEST(Unins000Prepare, FolderArgument) {
    EXPECT_EQ(FolderAfter("/PREPARE \"C:\\Program Files\\Touch Écran\\\"", "/PREPARE"), "C:\\Program Files\\Touch Écran");
    EXPECT_EQ(FolderAfter("/rightbutton C:\\TS", "/RIGHTBUTTON"), "C:\\TS");
    EXPECT_EQ(FolderAfter("/PREPARE", "/PREPARE"), "");
}

TEST(Unins000Protect, FolderOfItsOwnOutsideProgramFilesGetsItsAccess) {
    const std::vector<std::string> programs = {"C:\\Program Files", "C:\\Program Files (x86)"};
    const FolderFacts fresh{}, foreign{true, false, false}, ours{true, false, true};
    const struct {
        const char* Folder;
        FolderFacts Facts;
        FolderProtection Wanted;
    } cases[] = {
        {"C:\\Program Files\\TouchScreen", foreign, FolderProtection::Inherited},
        {"D:\\Kiosk\\TouchScreen", fresh, FolderProtection::Protect},
        {"D:\\Kiosk\\TouchScreen\\", ours, FolderProtection::Protect},
        {"D:\\Tools", foreign, FolderProtection::Refuse},
        {"D:\\", fresh, FolderProtection::Refuse},
        {"\\\\server\\share", fresh, FolderProtection::Refuse},
        {"C:\\Windows\\TouchScreen", fresh, FolderProtection::Refuse},
        {"C:\\Program Files", foreign, FolderProtection::Refuse},
    };
    for (const auto& c : cases) EXPECT_EQ(ProtectionFor(c.Folder, programs, "C:\\WINDOWS", c.Facts), c.Wanted) << c.Folder;
}

}  // namespace
}  // namespace px::unins
