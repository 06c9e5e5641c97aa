// The registry repair against the prefix's registry, checked with Wine's own reg.exe in both
// registry views.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "repair/RegistryRepair.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/WineTools.h"

namespace {
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kSystem[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char kShowAll[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
const char kFileExt[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\HiddenFileExt";
const char kMachineIe[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const char kUserIe[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kTxtOpen[] = "SOFTWARE\\CLASSES\\txtfile\\shell\\open\\command";
const std::string kHkcu = "HKCU\\", kHklm = "HKLM\\";
const std::set<std::string> kBrowserValues = {"Start Page", "default_page_url", "Search Page",
                                              "Window Title"};

// `key` created in `view` and emptied of its values and subkeys.
void MakeEmptyKey(HKEY root, const char* key, REGSAM view) {
    ScopedRegKey opened;
    ASSERT_EQ(::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                opened.put(), nullptr),
              ERROR_SUCCESS);
    ::RegDeleteTreeA(opened.get(), nullptr);
}

// The bytes of a text padded with zeros to `length`.
std::string Padded(std::string text, size_t length) {
    text.resize(length, '\0');
    return text;
}

std::set<std::string> Names(const std::string& key, int view) {
    std::set<std::string> names;
    for (const auto& [name, value] : RegQueryKey(key, view)) names.insert(name);
    return names;
}

struct RegistryRepairTest : ::testing::Test {
    void SetUp() override {
        for (const char* key : {kExplorer, kSystem, kUserIe})
            MakeEmptyKey(HKEY_CURRENT_USER, key, 0);
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            for (const char* key : {kShowAll, kFileExt, kMachineIe, kTxtOpen})
                MakeEmptyKey(HKEY_LOCAL_MACHINE, key, view);
    }
    std::vector<std::string> Repair() {
        std::vector<std::string> rows;
        RepairRegistry(
            [&](const std::string& content, UINT) { return rows.push_back(content), true; });
        return rows;
    }
};
}  // namespace

TEST_F(RegistryRepairTest, ListsEveryRowAndWritesOnlyTheTableValuesInTheSystemView) {
    auto rows = Repair();
    ASSERT_EQ(rows.size(), 31u);
    // The page's test shows the rows' texts.
    EXPECT_EQ(rows[27],
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"
              "\\Folder\\Hidden\\HiddenFileExt");

    const std::set<std::string> checked = {"CheckedValue"}, none = {};
    for (int view : {32, 64}) {
        SCOPED_TRACE(view);
        auto explorer = RegQueryKey(kHkcu + kExplorer, view);
        EXPECT_EQ(explorer.size(), 1u);
        EXPECT_EQ(explorer["NoDriveTypeAutoRun"].data, "0x95");
        auto system = RegQueryKey(kHkcu + kSystem, view);
        EXPECT_EQ(system.size(), 1u);
        EXPECT_EQ(system["DisableRegistryTools"].data, "0x0");
        EXPECT_EQ(Names(kHkcu + kUserIe, view), kBrowserValues);
        // The browser's machine-wide values in both views, the other machine rows only where
        // the 64-bit system reads them; classes keys are shared by both views.
        EXPECT_EQ(Names(kHklm + kMachineIe, view), kBrowserValues);
        EXPECT_EQ(Names(kHklm + kShowAll, view), view == 64 ? checked : none);
        EXPECT_EQ(Names(kHklm + kFileExt, view), view == 64 ? checked : none);
        auto open = RegQueryKey(kHklm + kTxtOpen, view);
        EXPECT_EQ(open.size(), 1u);
        EXPECT_EQ(open["(Default)"].type, "REG_EXPAND_SZ");
    }
    // Text values carry zero bytes up to their fixed length; an overlong text is refused.
    auto raw = [](HKEY root, const char* key, const char* name) {
        return ReadRegistryValue(root, key, name).value_or(RegistryValue{}).data;
    };
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE, kMachineIe, "Start Page"), Padded(kBrowserHomePage, 50));
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE, kMachineIe, "Search Page"), Padded(kBrowserSearchPage, 100));
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE, kTxtOpen, nullptr),
              Padded("%SystemRoot%\\system32\\NOTEPAD.EXE %1", 50));
    EXPECT_EQ(raw(HKEY_CURRENT_USER, kUserIe, "Window Title"),
              Padded("Microsoft Internet Explorer", 50));
    EXPECT_EQ(FixedLengthData("abcdef", 6), "");
    EXPECT_EQ(RegQueryKey(kHklm + kShowAll, 64)["CheckedValue"].data, "0x1");
}

TEST_F(RegistryRepairTest, EveryPolicyAndBrowserValueItDeletesIsGone) {
    std::istringstream policies(
        "NoFolderOptions NoRecentDocsMenu NoRecentDocsHistory ClearRecentDocsOnExit "
        "NoFavoritesMenu NoSMHelp NoFind NoRun NoLogOff StartMenuLogOff NoClose NoSetFolders "
        "NoSetTaskbar NoWindowsUpdate NoSetActiveDesktop NoActiveDesktop NoActiveDesktopChanges "
        "NoFileMenu NoNetConnectDisconnect NoWebView Nodesktop NoNetHood NoInternetIcon "
        "NoViewContextMenu NoTrayContextMenu NoChangeStartMenu NoAddPrinter NoDeletePrinter "
        "NoPrinterTabs NoDrives RestrictRun");
    for (std::string name; policies >> name;)
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorer, name.c_str(), 1));
    for (const char* name : {"Settings", "Links", "SecAddSites"})
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserIe, name, 1));
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kSystem, "DisableRegistryTools", 1));
    EXPECT_EQ(Repair().size(), 31u);
    EXPECT_EQ(Names(kHkcu + kExplorer, 64), std::set<std::string>{"NoDriveTypeAutoRun"});
    EXPECT_EQ(Names(kHkcu + kUserIe, 64), kBrowserValues);
    EXPECT_EQ(RegQueryKey(kHkcu + kSystem, 64)["DisableRegistryTools"].data, "0x0");
}
