// The registry repair against the prefix's registry, checked with Wine's own reg.exe in both
// registry views.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "repair/RegistryRepair.h"
#include "res/resource.h"
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

const std::vector<std::string> kDeletedPolicies = {"NoFolderOptions",
                                                   "NoRecentDocsMenu",
                                                   "NoRecentDocsHistory",
                                                   "ClearRecentDocsOnExit",
                                                   "NoFavoritesMenu",
                                                   "NoSMHelp",
                                                   "NoFind",
                                                   "NoRun",
                                                   "NoLogOff",
                                                   "StartMenuLogOff",
                                                   "NoClose",
                                                   "NoSetFolders",
                                                   "NoSetTaskbar",
                                                   "NoWindowsUpdate",
                                                   "NoSetActiveDesktop",
                                                   "NoActiveDesktop",
                                                   "NoActiveDesktopChanges",
                                                   "NoFileMenu",
                                                   "NoNetConnectDisconnect",
                                                   "NoWebView",
                                                   "Nodesktop",
                                                   "NoNetHood",
                                                   "NoInternetIcon",
                                                   "NoViewContextMenu",
                                                   "NoTrayContextMenu",
                                                   "NoChangeStartMenu",
                                                   "NoAddPrinter",
                                                   "NoDeletePrinter",
                                                   "NoPrinterTabs",
                                                   "NoDrives",
                                                   "RestrictRun"};

// `key` created in `view` and emptied of its values and subkeys.
void MakeEmptyKey(HKEY root, const char* key, REGSAM view) {
    ScopedRegKey opened;
    ASSERT_EQ(::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                opened.put(), nullptr),
              ERROR_SUCCESS);
    ::RegDeleteTreeA(opened.get(), nullptr);
}

void SetDword(HKEY root, const char* key, const std::string& name, DWORD value) {
    ScopedRegKey opened;
    ASSERT_EQ(::RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, opened.put()), ERROR_SUCCESS);
    ::RegSetValueExA(opened.get(), name.c_str(), 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

// The raw bytes of a value as the A functions read them, in `view`.
std::string RawValue(HKEY root, const char* key, const char* name, REGSAM view) {
    ScopedRegKey opened;
    char data[512];
    DWORD size = sizeof(data);
    if (::RegOpenKeyExA(root, key, 0, KEY_READ | view, opened.put()) != ERROR_SUCCESS ||
        ::RegQueryValueExA(opened.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS)
        return "<absent>";
    return std::string(data, size);
}

std::string Padded(const std::string& text, size_t length) {
    std::string data = text;
    data.resize(length, '\0');
    return data;
}

std::set<std::string> Names(const std::map<std::string, RegShownValue>& values) {
    std::set<std::string> names;
    for (const auto& [name, value] : values) names.insert(name);
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
    std::vector<std::pair<std::string, UINT>> Repair() {
        std::vector<std::pair<std::string, UINT>> rows;
        RepairRegistry([&](const std::string& content, UINT state) {
            rows.emplace_back(content, state);
            return true;
        });
        return rows;
    }
};
}  // namespace

TEST(RegistryRepairData, TextsArePaddedToTheirFixedLengthOrRefused) {
    EXPECT_EQ(FixedLengthData("abc", 6), std::string("abc\0\0\0", 6));
    EXPECT_EQ(FixedLengthData("abcde", 6), std::string("abcde\0", 6));
    EXPECT_EQ(FixedLengthData("abcdef", 6), "");
    for (const RepairRow& row : RepairTable())
        for (const auto* steps : {&row.before, &row.after})
            for (const RegistryStep& step : *steps) {
                if (step.action != RepairAction::SetText) continue;
                EXPECT_EQ(FixedLengthData(step.text, step.dataLength).size(), step.dataLength)
                    << step.name;
            }
}

TEST(RegistryRepairData, MachineKeysAreWrittenWhereTheSystemReadsThem) {
    const std::vector<REGSAM> native = {0}, system = {KEY_WOW64_64KEY},
                              both = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    EXPECT_EQ(RegistryViewsFor(RepairHive::CurrentUser, true), native);
    EXPECT_EQ(RegistryViewsFor(RepairHive::Machine, true), system);
    EXPECT_EQ(RegistryViewsFor(RepairHive::MachineEveryView, true), both);
    for (RepairHive hive :
         {RepairHive::CurrentUser, RepairHive::Machine, RepairHive::MachineEveryView})
        EXPECT_EQ(RegistryViewsFor(hive, false), native);
    // The test prefix is a 64-bit one.
    EXPECT_TRUE(IsSixtyFourBitSystem());
}

TEST_F(RegistryRepairTest, ListsEveryRowAndWritesOnlyTheTableValuesInTheSystemView) {
    auto rows = Repair();
    ASSERT_EQ(rows.size(), 31u);
    for (size_t i = 0; i < 29; ++i) EXPECT_EQ(rows[i].second, IDS_REPAIR_ROW_FIRST + i) << i;
    EXPECT_EQ(rows[29].second, IDS_REPAIR_ROW_FIRST + 28);
    EXPECT_EQ(rows[30].second, IDS_REPAIR_ROW_LAST);
    EXPECT_EQ(
        rows[0].first,
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
    EXPECT_EQ(rows[27].first,
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"
              "\\Folder\\Hidden\\HiddenFileExt");
    EXPECT_EQ(rows[28].first, "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\");
    EXPECT_EQ(rows[29].first, "HKEY_LOCAL_MACHINE\\Microsoft\\Internet Explorer\\");

    const std::string hkcu = "HKCU\\", hklm = "HKLM\\";
    const std::set<std::string> browser = {"Start Page", "default_page_url", "Search Page",
                                           "Window Title"};
    for (int view : {32, 64}) {
        SCOPED_TRACE(view);
        auto explorer = RegQueryKey(hkcu + kExplorer, view);
        EXPECT_EQ(Names(explorer), std::set<std::string>{"NoDriveTypeAutoRun"});
        EXPECT_EQ(explorer["NoDriveTypeAutoRun"].data, "0x95");
        auto system = RegQueryKey(hkcu + kSystem, view);
        EXPECT_EQ(Names(system), std::set<std::string>{"DisableRegistryTools"});
        EXPECT_EQ(system["DisableRegistryTools"].data, "0x0");
        EXPECT_EQ(Names(RegQueryKey(hkcu + kUserIe, view)), browser);
        // The browser's machine-wide values in both views, the other machine rows only where
        // the 64-bit system reads them.
        auto machineIe = RegQueryKey(hklm + kMachineIe, view);
        EXPECT_EQ(Names(machineIe), browser);
        EXPECT_EQ(machineIe["Search Page"].data, kBrowserSearchPage);
        EXPECT_EQ(machineIe["Window Title"].data, "Microsoft Internet Explorer");
        const std::set<std::string> checked = {"CheckedValue"}, none = {}, text = {"(Default)"};
        EXPECT_EQ(Names(RegQueryKey(hklm + kShowAll, view)), view == 64 ? checked : none);
        EXPECT_EQ(Names(RegQueryKey(hklm + kFileExt, view)), view == 64 ? checked : none);
        // Classes keys are shared by both views on a 64-bit system.
        auto open = RegQueryKey(hklm + kTxtOpen, view);
        EXPECT_EQ(Names(open), text);
        if (view == 64) {
            EXPECT_EQ(open["(Default)"].type, "REG_EXPAND_SZ");
            EXPECT_EQ(open["(Default)"].data, "%SystemRoot%\\system32\\NOTEPAD.EXE %1");
            EXPECT_EQ(RegQueryKey(hklm + kShowAll, view)["CheckedValue"].data, "0x1");
        }
    }
    // Text values carry zero bytes up to their fixed length.
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_EQ(RawValue(HKEY_LOCAL_MACHINE, kMachineIe, "Start Page", view),
                  Padded(kBrowserHomePage, 50));
        EXPECT_EQ(RawValue(HKEY_LOCAL_MACHINE, kMachineIe, "Search Page", view),
                  Padded(kBrowserSearchPage, 100));
    }
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, kUserIe, "Window Title", 0),
              Padded("Microsoft Internet Explorer", 50));
    EXPECT_EQ(RawValue(HKEY_LOCAL_MACHINE, kTxtOpen, "", KEY_WOW64_64KEY),
              Padded("%SystemRoot%\\system32\\NOTEPAD.EXE %1", 50));
}

TEST_F(RegistryRepairTest, EveryPolicyAndBrowserValueItDeletesIsGone) {
    for (const std::string& name : kDeletedPolicies)
        SetDword(HKEY_CURRENT_USER, kExplorer, name, 1);
    for (const char* name : {"Settings", "Links", "SecAddSites"})
        SetDword(HKEY_CURRENT_USER, kUserIe, name, 1);
    SetDword(HKEY_CURRENT_USER, kSystem, "DisableRegistryTools", 1);
    EXPECT_EQ(Repair().size(), 31u);
    auto explorer = RegQueryKey(std::string("HKCU\\") + kExplorer, 64);
    EXPECT_EQ(Names(explorer), std::set<std::string>{"NoDriveTypeAutoRun"});
    EXPECT_EQ(
        Names(RegQueryKey(std::string("HKCU\\") + kUserIe, 64)),
        (std::set<std::string>{"Start Page", "default_page_url", "Search Page", "Window Title"}));
    EXPECT_EQ(RegQueryKey(std::string("HKCU\\") + kSystem, 64)["DisableRegistryTools"].data, "0x0");
}

TEST_F(RegistryRepairTest, MissingKeysStillListEveryRowAndCreateNothing) {
    for (const char* key : {kExplorer, kUserIe}) ::RegDeleteTreeA(HKEY_CURRENT_USER, key);
    EXPECT_EQ(Repair().size(), 31u);
    EXPECT_TRUE(RegQueryKey(std::string("HKCU\\") + kExplorer, 64).empty());
    EXPECT_TRUE(RegQueryKey(std::string("HKCU\\") + kUserIe, 64).empty());
    // The policy key exists on a real system and other tests expect it.
    MakeEmptyKey(HKEY_CURRENT_USER, kExplorer, 0);
}
