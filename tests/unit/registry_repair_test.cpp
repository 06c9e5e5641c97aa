// The registry repair against the prefix's registry, checked with Wine's own reg.exe in both
// registry views.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "framework/Handles.h"
#include "repair/RegistryRepair.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/WineTools.h"

const std::string kVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kExplorer = kVersion + "Policies\\Explorer",
                  kSystem = kVersion + "Policies\\System";
const std::string kFolder = kVersion + "Explorer\\Advanced\\Folder\\";
const std::string kShowAll = kFolder + "Hidden\\SHOWALL", kFileExt = kFolder + "HiddenFileExt";
const std::string kIe = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";  // in both roots
const std::string kTxtOpen = "SOFTWARE\\CLASSES\\txtfile\\shell\\open\\command";
const char kNotepad[] = "%SystemRoot%\\system32\\NOTEPAD.EXE %1";
const std::string kHkcu = "HKCU\\", kHklm = "HKLM\\";

// `key` created in `view` and emptied of its values and subkeys.
static void MakeEmptyKey(HKEY root, const std::string& key, REGSAM view) {
    ScopedRegKey opened;
    ASSERT_EQ(::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                opened.put(), nullptr),
              ERROR_SUCCESS);
    ::RegDeleteTreeA(opened.get(), nullptr);
}

// Every value of `key` in `view` as reg.exe shows it: "name type data".
static std::set<std::string> Shown(const std::string& key, int view) {
    std::set<std::string> shown;
    for (const auto& [name, value] : RegQueryKey(key, view))
        shown.insert(name + " " + value.type + " " + value.data);
    return shown;
}

// First on keys that hold none of the table's values, then with every value it deletes set.
TEST(RegistryRepairTest, ListsEveryRowAndLeavesExactlyTheTableValuesInTheViewsTheSystemReads) {
    for (const auto& key : {kExplorer, kSystem, kIe}) MakeEmptyKey(HKEY_CURRENT_USER, key, 0);
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
        for (const std::string& key : {kShowAll, kFileExt, kIe, kTxtOpen})
            MakeEmptyKey(HKEY_LOCAL_MACHINE, key, view);
    const std::string home = kBrowserHomePage, search = kBrowserSearchPage;
    const std::set<std::string> browser = {
        "Start Page REG_SZ " + home, "default_page_url REG_SZ " + home,
        "Search Page REG_SZ " + search, "Window Title REG_SZ Microsoft Internet Explorer"};
    const std::set<std::string> checked = {"CheckedValue REG_DWORD 0x1"}, none = {};
    auto repairAndCheck = [&](const char* registry) {
        SCOPED_TRACE(registry);
        RepairRegistry([](const std::string&, UINT) { return true; });
        // The browser's machine-wide values in both views, the other machine rows only where the
        // 64-bit system reads them; classes keys are shared by both views.
        for (int view : {32, 64}) {
            const std::pair<std::string, std::set<std::string>> expected[] = {
                {kHkcu + kExplorer, {"NoDriveTypeAutoRun REG_DWORD 0x95"}},
                {kHkcu + kSystem, {"DisableRegistryTools REG_DWORD 0x0"}},
                {kHkcu + kIe, browser},
                {kHklm + kIe, browser},
                {kHklm + kShowAll, view == 64 ? checked : none},
                {kHklm + kFileExt, view == 64 ? checked : none},
                {kHklm + kTxtOpen, {"(Default) REG_EXPAND_SZ " + std::string(kNotepad)}}};
            for (const auto& [key, values] : expected)
                EXPECT_EQ(Shown(key, view), values) << key << " in view " << view;
        }
    };
    repairAndCheck("no value set");
    // Values of the first and last rows, ones deleted after a row is listed, and values set.
    for (auto [key, name] : {std::pair{kExplorer, "NoFolderOptions"},
                             {kExplorer, "RestrictRun"},
                             {kExplorer, "StartMenuLogOff"},
                             {kExplorer, "NoPrinterTabs"},
                             {kExplorer, "NoDriveTypeAutoRun"},
                             {kIe, "Links"},
                             {kSystem, "DisableRegistryTools"},
                             {kIe, "Search Page"}})
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, key.c_str(), name, 1));
    repairAndCheck("values set");

    // Text values carry zero bytes up to their fixed length; an overlong text is refused.
    for (auto [name, text, length] :
         {std::tuple{"Start Page", home, 50}, {"Search Page", search, 100}})
        EXPECT_EQ(
            ReadRegistryValue(HKEY_LOCAL_MACHINE, kIe.c_str(), name).value_or(RegistryValue{}).data,
            text + std::string(length - text.size(), '\0'));
    EXPECT_EQ(FixedLengthData("abcdef", 6), "");
}
