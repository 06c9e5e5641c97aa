// The autostart engine against the test prefix's registry and Startup folder: what it lists,
// in which order and under which Location, and what Delete removes. Wine's reg.exe checks the
// two registry views independently of the program's code.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "autostart/AutostartDelete.h"
#include "autostart/ListUpdate.h"
#include "autostart/StartupFolders.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Text.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"

void PrintTo(const AutostartEntry& entry, std::ostream* out) {
    *out << "{" << entry.name << " | " << entry.command << " | " << entry.location << "}";
}

namespace {
const std::string kVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kRun = kVersion + "Run";
const std::string kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kCu = "HKEY_CURRENT_USER\\", kLm = "HKEY_LOCAL_MACHINE\\";
const std::string kLmWow32 = kLm + "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";

std::wstring W(const std::string& text) { return Utf8ToWide(text); }

std::string SystemDirectory() {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

class AutostartTest : public testing::Test {
  protected:
    void SetUp() override { m_before = ListAutostartEntries(); }
    // The prefix's own Winlogon shell comes back after the tests that change it.
    void TearDown() override {
        planted.RemoveAll();
        for (REGSAM view : {kView64, kView32})
            WriteStringValue(HKEY_LOCAL_MACHINE, kWinlogon, view, L"Shell", L"explorer.exe");
    }

    // The entries listed now that were not there before the test.
    std::vector<AutostartEntry> NewEntries() const {
        std::vector<AutostartEntry> entries = ListAutostartEntries();
        std::erase_if(entries, [&](const AutostartEntry& entry) {
            return std::ranges::find(m_before, entry) != m_before.end();
        });
        return entries;
    }
    int CountNamed(const std::string& name) const {
        std::vector<AutostartEntry> entries = ListAutostartEntries();
        return static_cast<int>(std::ranges::count(entries, name, &AutostartEntry::name));
    }
    bool Plant(HKEY root, const std::string& key, const std::string& name, const std::string& text,
               REGSAM view = kView64) {
        return planted.AddString(root, key, view, W(name), W(text));
    }

    PlantedValues planted;
    std::vector<AutostartEntry> m_before;
};
}  // namespace

TEST(AutostartLocationText, ReadsAsRegeditShowsItAndNamesItsOwnView) {
    const struct {
        const char* text;
        int hive;
        const char* keyPath;
    } cases[] = {
        {"HKEY_CURRENT_USER\\Software\\A", 1, "Software\\A"},
        {"hkey_local_machine\\Software\\A\\B", 2, "Software\\A\\B"},
        {"HKEY_CURRENT_USER", 0, ""},
        {"HKEY_CURRENT_USER\\", 0, ""},
        {"HKEY_LOCAL_MACHINEX\\Software", 0, ""},
        {"HKEY_CLASSES_ROOT\\Software", 0, ""},
        {"C:\\users\\Startup", 0, ""},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        std::string keyPath;
        EXPECT_EQ(ParseRegistryLocation(c.text, keyPath), c.hive) << c.text;
        if (c.hive) {
            EXPECT_EQ(keyPath, c.keyPath) << c.text;
        }
    }
    // The test prefix is a 64-bit one, as the view tests below need.
    ASSERT_TRUE(IsWow64System());
    const struct {
        std::string text;
        RegistryView view;
        std::string keyPath;
    } views[] = {
        {kLm + kRun, RegistryView::kNative, kRun},
        {kLmWow32 + "Run", RegistryView::kWow32, kRun},
        {kCu + "Software\\Wow6432Node\\X", RegistryView::kNative, "Software\\Wow6432Node\\X"},
    };
    for (const auto& c : views) {
        std::optional<RegistryKeyAddress> key = ResolveRegistryLocation(c.text);
        ASSERT_TRUE(key) << c.text;
        EXPECT_EQ(key->view, c.view) << c.text;
        EXPECT_EQ(key->keyPath, c.keyPath) << c.text;
        EXPECT_EQ(FormatRegistryLocation(*key), c.text);
    }
}

TEST_F(AutostartTest, ListsEveryValueWholeInLocationOrder) {
    const std::string longData = "C:\\" + std::string(300, 'd') + ".exe";
    const std::string longName = "a3-" + std::string(297, 'n');
    const BYTE raw[] = {'r', 'a', 'w', 0, 'x'};
    const DWORD dword = 0x31;
    // Names sort as they are written, so the registry's order is the same either way.
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kVersion + "RunOnce", "b-once", "C:\\once.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "a1-first", "C:\\first.exe /s"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "a2-long data", longData));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, longName, "C:\\named.exe"));
    ASSERT_TRUE(planted.Add(HKEY_CURRENT_USER, kRun, kView64, L"a4-raw", REG_BINARY, raw, 5));
    ASSERT_TRUE(planted.Add(HKEY_CURRENT_USER, kRun, kView64, L"a5-dword", REG_DWORD, &dword, 4));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "a6-last", "C:\\Програма\\last.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kRun, "c-machine", "C:\\machine.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kVersion + "RunOnceEx\\0001", "d-step", "C:\\s.exe"));
    const std::string windows = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, windows, "load", "C:\\load.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, windows, "run", ""));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, windows, "Device", "printer"));

    EXPECT_EQ(NewEntries(), (std::vector<AutostartEntry>{
                                {"c-machine", "C:\\machine.exe", kLm + kRun},
                                {"a1-first", "C:\\first.exe /s", kCu + kRun},
                                {"a2-long data", longData, kCu + kRun},
                                {longName, "C:\\named.exe", kCu + kRun},
                                {"a4-raw", "raw", kCu + kRun},
                                {"a5-dword", "1", kCu + kRun},
                                {"a6-last", "C:\\Програма\\last.exe", kCu + kRun},
                                {"b-once", "C:\\once.exe", kCu + kVersion + "RunOnce"},
                                {"d-step", "C:\\s.exe", kLm + kVersion + "RunOnceEx\\0001"},
                                {"load", "C:\\load.exe", kCu + windows},
                            }));
}

TEST_F(AutostartTest, DeleteRemovesOnlyTheValueOfItsOwnLocation) {
    const std::string longName = std::string(300, 'L');
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, longName, "C:\\long.exe"));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "Twin", "C:\\user.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kRun, "Twin", "C:\\machine.exe"));
    ASSERT_EQ(CountNamed("Twin"), 2);

    // A name the code page cannot spell is found by its own name.
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kRun, "Фото", "C:\\photo.exe"));
    EXPECT_TRUE(DeleteAutostartEntry(longName, kCu + kRun));
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, kRun, kView64, W(longName)), L"<missing>");
    EXPECT_TRUE(DeleteAutostartEntry("Фото", kCu + kRun));
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, kRun, kView64, L"Фото"), L"<missing>");
    EXPECT_TRUE(DeleteAutostartEntry("Twin", kCu + kRun));
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, kRun, kView64, L"Twin"), L"<missing>");
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kRun, kView64, L"Twin"), L"C:\\machine.exe");
    // Gone already, a text that names no key, a value in another key: nothing done.
    EXPECT_FALSE(DeleteAutostartEntry("Twin", kCu + kRun));
    EXPECT_FALSE(DeleteAutostartEntry("Twin", "HKEY_USERS\\" + kRun));
    EXPECT_FALSE(DeleteAutostartEntry("Twin", kLmWow32 + "Run"));
    EXPECT_EQ(CountNamed("Twin"), 1);
}

TEST_F(AutostartTest, KeyThatDeniesWriteAccessStillShowsItsValues) {
    const std::string key = kVersion + "RunServices";
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, key, "Guarded", "C:\\guarded.exe"));
    ASSERT_TRUE(AllowOnlyOnRegistryKey(HKEY_CURRENT_USER, key.c_str(), KEY_READ));
    ScopedRegKey writable;
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, writable.put()),
              ERROR_SUCCESS);

    EXPECT_EQ(NewEntries(),
              (std::vector<AutostartEntry>{{"Guarded", "C:\\guarded.exe", kCu + key}}));
    EXPECT_FALSE(DeleteAutostartEntry("Guarded", kCu + key));
    EXPECT_EQ(CountNamed("Guarded"), 1);
    EXPECT_TRUE(UnlockRegistryKey(HKEY_CURRENT_USER, key.c_str()));
}

TEST_F(AutostartTest, BothViewsOfTheMachineKeysEachOnceAndDeleteInItsOwnView) {
    const std::string run = "HKLM\\" + kRun, runOnceEx = "HKLM\\" + kVersion + "RunOnceEx\\0002";
    const std::string policies = "HKLM\\" + kVersion + "Policies\\Explorer\\Run";
    ASSERT_EQ(RunRegTool("add \"" + run + "\" /v Tool64 /d C:\\x64.exe /f /reg:64"), 0);
    ASSERT_EQ(RunRegTool("add \"" + run + "\" /v Tool32 /d C:\\x86.exe /f /reg:32"), 0);
    ASSERT_EQ(RunRegTool("add \"" + runOnceEx + "\" /v Step32 /d C:\\s.exe /f /reg:32"), 0);
    // Both views share the policy key: its value is one entry.
    ASSERT_EQ(RunRegTool("add \"" + policies + "\" /v Shared /d C:\\p.exe /f /reg:32"), 0);
    ASSERT_TRUE(RegToolFindsValue(policies, "Shared", 64));
    std::vector<AutostartEntry> entries = NewEntries();
    RunRegTool("delete \"" + runOnceEx + "\" /f /reg:32");
    RunRegTool("delete \"" + policies + "\" /v Shared /f /reg:64");

    EXPECT_EQ(entries, (std::vector<AutostartEntry>{
                           {"Tool64", "C:\\x64.exe", kLm + kRun},
                           {"Tool32", "C:\\x86.exe", kLmWow32 + "Run"},
                           {"Shared", "C:\\p.exe", kLm + kVersion + "Policies\\Explorer\\Run"},
                           {"Step32", "C:\\s.exe", kLmWow32 + "RunOnceEx\\0002"},
                       }));
    EXPECT_FALSE(DeleteAutostartEntry("Tool64", kLmWow32 + "Run"));
    EXPECT_TRUE(DeleteAutostartEntry("Tool32", kLmWow32 + "Run"));
    EXPECT_FALSE(RegToolFindsValue(run, "Tool32", 32));
    EXPECT_TRUE(RegToolFindsValue(run, "Tool64", 64));
    EXPECT_TRUE(DeleteAutostartEntry("Tool64", kLm + kRun));
    EXPECT_FALSE(RegToolFindsValue(run, "Tool64", 64));
}

TEST_F(AutostartTest, WinlogonListsOnlyAChangedShellOrUserinitAndDeleteWritesTheDefault) {
    const std::string userinit = SystemDirectory() + "\\userinit.exe,";
    for (REGSAM view : {kView64, kView32}) {
        ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", "Explorer.exe", view));
        ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Userinit", userinit, view));
    }
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kWinlogon, "Other", "C:\\other.exe"));
    EXPECT_TRUE(NewEntries().empty());

    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", "explorer.exe,C:\\bad.exe"));
    ASSERT_TRUE(
        Plant(HKEY_LOCAL_MACHINE, kWinlogon, "Userinit", userinit + "C:\\bad.exe", kView32));
    const std::string wow32Winlogon =
        kLm + "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    EXPECT_EQ(NewEntries(), (std::vector<AutostartEntry>{
                                {"Shell", "explorer.exe,C:\\bad.exe", kLm + kWinlogon},
                                {"Userinit", userinit + "C:\\bad.exe", wow32Winlogon},
                            }));
    EXPECT_TRUE(DeleteAutostartEntry("Shell", kLm + kWinlogon));
    EXPECT_TRUE(DeleteAutostartEntry("Userinit", wow32Winlogon));
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kWinlogon, kView64, L"Shell"), L"explorer.exe");
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kWinlogon, kView32, L"Userinit"), W(userinit));
    EXPECT_TRUE(NewEntries().empty());
}

namespace {
bool CreateShortcut(const std::wstring& path, const std::wstring& target,
                    const std::wstring& arguments) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    bool saved =
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->SetArguments(arguments.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(path.c_str(), TRUE));
    if (file) file->Release();
    if (link) link->Release();
    return saved;
}

bool WriteWideFile(const std::wstring& path, const std::string& bytes) {
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                               nullptr);
}
}  // namespace

TEST_F(AutostartTest, StartupFolderFilesAreListedWithShortcutTargetsAndDeletedIntoQuarantine) {
    ::CoInitialize(nullptr);
    wchar_t folder[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE));
    const std::wstring base = std::wstring(folder) + L"\\";
    const std::string startup = WideToUtf8(folder);
    const std::string target = SystemDirectory() + "\\notepad.exe";
    ASSERT_TRUE(CreateShortcut(base + L"Notes.lnk", W(target), L"/p C:\\notes.txt"));
    ASSERT_TRUE(CreateShortcut(base + L"Nowhere.lnk", L"", L""));
    ASSERT_TRUE(WriteWideFile(base + L"tool.cmd", "@echo off"));
    ASSERT_TRUE(WriteWideFile(base + L"Фото.exe", "MZ"));
    ASSERT_TRUE(WriteWideFile(base + L"desktop.ini", "[.ShellClassInfo]"));
    ASSERT_TRUE(::CreateDirectoryW((base + L"Sub").c_str(), nullptr));

    std::vector<AutostartEntry> entries = NewEntries();
    std::ranges::sort(entries, {}, &AutostartEntry::name);
    EXPECT_EQ(entries, (std::vector<AutostartEntry>{
                           {"Notes.lnk", target + " /p C:\\notes.txt", startup},
                           {"Nowhere.lnk", startup + "\\Nowhere.lnk", startup},
                           {"tool.cmd", startup + "\\tool.cmd", startup},
                           {"Фото.exe", startup + "\\Фото.exe", startup},
                       }));

    char quarantine[kPathBufferSize] = {};
    ASSERT_TRUE(GetModuleDirectory(quarantine));
    const std::string copy = std::string(quarantine) + "quarantine\\tool.cmd.kv";
    const std::wstring photoCopy = W(quarantine) + L"quarantine\\Фото.exe.kv";
    ::DeleteFileA(copy.c_str());
    ::DeleteFileW(photoCopy.c_str());
    EXPECT_TRUE(DeleteAutostartEntry("tool.cmd", startup));
    EXPECT_EQ(::GetFileAttributesW((base + L"tool.cmd").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    // Only files of the Startup folders, named as they are.
    EXPECT_FALSE(DeleteAutostartEntry("Notes.lnk", startup + "\\Sub"));
    EXPECT_FALSE(DeleteAutostartEntry("..\\Startup\\Notes.lnk", startup));
    EXPECT_NE(::GetFileAttributesW((base + L"Notes.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    // A name the code page cannot spell is quarantined too.
    EXPECT_TRUE(DeleteAutostartEntry("Фото.exe", startup));
    EXPECT_EQ(::GetFileAttributesW((base + L"Фото.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    ::DeleteFileA(copy.c_str());
    EXPECT_TRUE(::DeleteFileW(photoCopy.c_str()));
    for (const wchar_t* name : {L"Notes.lnk", L"Nowhere.lnk", L"Фото.exe", L"desktop.ini"})
        ::DeleteFileW((base + name).c_str());
    ::RemoveDirectoryW((base + L"Sub").c_str());
    ::CoUninitialize();
}

TEST(AutostartListUpdate, TouchesOnlyTheRowsThatChanged) {
    auto entries = [](const std::string& names) {
        std::vector<AutostartEntry> list;
        for (char name : names) list.push_back({std::string(1, name), "C:\\x.exe", "HKEY_X\\Y"});
        return list;
    };
    const struct {
        const char* listed;
        const char* fresh;
        ListUpdate expected;
    } cases[] = {
        {"", "abc", {false, 0, 0, 3}},          {"abc", "abc", {false, 3, 0, 0}},
        {"abc", "abcde", {false, 3, 0, 2}},     {"abcde", "abde", {false, 2, 1, 0}},
        {"abcde", "abc", {false, 3, 2, 0}},     {"abcde", "e", {false, 0, 4, 0}},
        {"abc", "xbc", {true, 0, 0, 3}},        {"abc", "abxc", {true, 0, 0, 4}},
        {"abcde", "abdxe", {true, 0, 0, 5}},    {"abc", "", {false, 0, 3, 0}},
        {"abcdefghijk", "ak", {true, 0, 0, 2}},
    };
    for (const auto& c : cases) {
        ListUpdate update = PlanListUpdate(entries(c.listed), entries(c.fresh));
        EXPECT_EQ(
            std::tie(update.rebuild, update.keep, update.remove, update.append),
            std::tie(c.expected.rebuild, c.expected.keep, c.expected.remove, c.expected.append))
            << c.listed << " -> " << c.fresh;
    }
}
