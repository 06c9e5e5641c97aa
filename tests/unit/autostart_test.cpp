// The autostart engine against the test prefix's registry and Startup folder: what it lists, in
// which order and Location, and what Delete removes; Wine's reg.exe witnesses the two views.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "autostart/AutostartDelete.h"
#include "autostart/ListUpdate.h"
#include "framework/Text.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/WineTools.h"

void PrintTo(const AutostartEntry& entry, std::ostream* out) {
    *out << "{" << entry.name << " | " << entry.command << " | " << entry.location << "}";
}

const std::string kVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\",
                  kRun = kVersion + "Run";
const std::string kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kCu = "HKEY_CURRENT_USER\\", kLm = "HKEY_LOCAL_MACHINE\\";
const std::string kLmWow32 = kLm + "Software\\Wow6432Node\\Microsoft\\";
using Entries = std::vector<AutostartEntry>;

class AutostartTest : public testing::Test {
  protected:
    // The prefix's own Winlogon shell comes back after the tests that change it.
    void TearDown() override {
        planted.RemoveAll();
        for (REGSAM view : {kView64, kView32})
            WriteStringValue(HKEY_LOCAL_MACHINE, kWinlogon, view, L"Shell", L"explorer.exe");
    }
    // The entries listed now that were not there before the test.
    Entries NewEntries() const {
        Entries entries = ListAutostartEntries();
        std::erase_if(entries, [&](const auto& e) { return std::ranges::count(m_before, e) > 0; });
        return entries;
    }
    bool Plant(HKEY root, const std::string& key, const std::string& name, const std::string& text,
               REGSAM view = kView64) {
        return planted.AddString(root, key, view, Utf8ToWide(name), Utf8ToWide(text));
    }

    PlantedValues planted;
    const Entries m_before = ListAutostartEntries();
};

// Long values and a key that denies write access hide nothing.
TEST_F(AutostartTest, ListsEveryValueWholeInLocationOrderAndDeletesALongName) {
    const std::string longData = "C:\\" + std::string(300, 'd') + ".exe";
    const std::string longName = "a3-" + std::string(297, 'n');
    const std::string windows = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    const std::string guarded = kVersion + "RunServices";
    const BYTE raw[] = {'r', 'a', 'w', 0, 'x'};
    // Names sort as they are written, so the registry's order is the same either way.
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "a2-long data", longData));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, longName, "C:\\named.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "a6-Фото", "C:\\Програма\\last.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kVersion + "RunOnceEx\\0001", "d-step", "C:\\s.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, windows, "load", "C:\\load.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, windows, "Device", "printer"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, guarded, "Guarded", "C:\\guarded.exe"));
    ASSERT_TRUE(RestrictRegistryKey(HKEY_CURRENT_USER, guarded.c_str(), KEY_READ));
    ASSERT_TRUE(planted.Add(HKEY_CURRENT_USER, kRun, kView64, L"a4-raw", REG_BINARY, raw, 5));

    EXPECT_EQ(NewEntries(), (Entries{{"a2-long data", longData, kCu + kRun},
                                     {longName, "C:\\named.exe", kCu + kRun},
                                     {"a4-raw", "raw", kCu + kRun},
                                     {"a6-Фото", "C:\\Програма\\last.exe", kCu + kRun},
                                     {"Guarded", "C:\\guarded.exe", kCu + guarded},
                                     {"d-step", "C:\\s.exe", kLm + kVersion + "RunOnceEx\\0001"},
                                     {"load", "C:\\load.exe", kCu + windows}}));
    // Found by the whole name, also one the code page cannot spell; nothing under another key.
    for (const std::string& name : {longName, std::string("a6-Фото")}) {
        EXPECT_TRUE(DeleteAutostartEntry(name, kCu + kRun)) << name;
        EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, kRun, kView64, Utf8ToWide(name)),
                  L"<missing>");
    }
    EXPECT_FALSE(DeleteAutostartEntry("Guarded", kCu + guarded));
    EXPECT_EQ(NewEntries().size(), 5u);
    EXPECT_TRUE(UnlockRegistryKey(HKEY_CURRENT_USER, guarded.c_str()));
}

// Winlogon's Shell and Userinit count only when they differ from the default in their view.
TEST_F(AutostartTest, BothViewsOfTheMachineKeysEachOnceAndDeleteInItsOwnView) {
    const std::string policies = "HKLM\\" + kVersion + "Policies\\Explorer\\Run";
    const std::string userinit = "C:\\windows\\system32\\userinit.exe,";
    const std::string wow32Winlogon = kLmWow32 + "Windows NT\\CurrentVersion\\Winlogon";
    // Both views share the policy key: its value, written in one, is one entry.
    ASSERT_EQ(RunRegTool("add \"" + policies + "\" /v Shared /d C:\\p.exe /f /reg:32"), 0);
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", "explorer.exe,C:\\bad.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", "Explorer.exe", kView32));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Userinit", userinit));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Userinit", userinit + "C:\\b.exe", kView32));
    Entries entries = NewEntries();
    RunRegTool("delete \"" + policies + "\" /v Shared /f /reg:64");

    EXPECT_EQ(entries, (Entries{{"Shared", "C:\\p.exe", kLm + kVersion + "Policies\\Explorer\\Run"},
                                {"Shell", "explorer.exe,C:\\bad.exe", kLm + kWinlogon},
                                {"Userinit", userinit + "C:\\b.exe", wow32Winlogon}}));
    // Never deleted: the default goes back.
    EXPECT_TRUE(DeleteAutostartEntry("Shell", kLm + kWinlogon));
    EXPECT_TRUE(DeleteAutostartEntry("Userinit", wow32Winlogon));
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kWinlogon, kView64, L"Shell"), L"explorer.exe");
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kWinlogon, kView32, L"Userinit"),
              Utf8ToWide(userinit));
}

// Delete into the quarantine and back is shown on the page; here what is listed and refused.
TEST_F(AutostartTest, StartupFolderFilesAreListedWithShortcutTargetsAndDeletedIntoQuarantine) {
    ::CoInitialize(nullptr);
    wchar_t folder[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE));
    const std::string startup = WideToUtf8(folder), base = startup + "\\";
    const std::wstring shortcut = Utf8ToWide(base + "Notes.lnk");
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))));
    link->SetPath(L"C:\\windows\\system32\\notepad.exe");
    link->SetArguments(L"/p C:\\n");
    EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
                SUCCEEDED(file->Save(shortcut.c_str(), TRUE)));
    if (file) file->Release();
    link->Release();
    ASSERT_TRUE(WriteFileBytes(base + "Фото.exe", "MZ") &&
                WriteFileBytes(base + "desktop.ini", "[.ShellClassInfo]"));

    Entries entries = NewEntries();
    std::ranges::sort(entries, {}, &AutostartEntry::name);
    EXPECT_EQ(entries,
              (Entries{{"Notes.lnk", "C:\\windows\\system32\\notepad.exe /p C:\\n", startup},
                       {"Фото.exe", base + "Фото.exe", startup}}));
    // Only files of the Startup folders, named as they are.
    EXPECT_FALSE(DeleteAutostartEntry("Notes.lnk", "C:\\windows\\system32"));
    EXPECT_FALSE(DeleteAutostartEntry("..\\Startup\\Notes.lnk", startup));
    EXPECT_TRUE(::DeleteFileW(shortcut.c_str()));  // the refused deletes left it
    ::DeleteFileW(Utf8ToWide(base + "Фото.exe").c_str());
    ::DeleteFileA((base + "desktop.ini").c_str());
    ::CoUninitialize();
}

// Rows compare with ==, so letters stand for them.
TEST(AutostartListUpdate, TouchesOnlyTheRowsThatChanged) {
    auto plan = [](const std::string& listed, const std::string& fresh) {
        const ListUpdate got = PlanListUpdate(std::vector<char>(listed.begin(), listed.end()),
                                              std::vector<char>(fresh.begin(), fresh.end()));
        return std::tuple(got.rebuild, got.keep, got.remove, got.append);
    };
    EXPECT_EQ(plan("", "abc"), std::tuple(false, 0u, 0u, 3u));
    EXPECT_EQ(plan("abcde", "abde"), std::tuple(false, 2u, 1u, 0u));
    EXPECT_EQ(plan("abc", "xbc"), std::tuple(true, 0u, 0u, 3u));
    EXPECT_EQ(plan("abc", ""), std::tuple(false, 0u, 3u, 0u));
}
