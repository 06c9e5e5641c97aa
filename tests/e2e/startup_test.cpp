// Start-up: single instance, the first-run AutoRun question, the skin library.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr char kAutorunQuestion[] =
    "AUTORUN of USB drive is potentially unsafe.\r\nDo you want to disable AUTORUN of USB drive?";

class StartupTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("KoravantTwin.exe");
        ResetSettingsAnswered();
    }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("KoravantTwin.exe");
        UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);
        ResetSettingsAnswered();
    }
};

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool QuitThroughTrayCommand(KoravantApp& app) {
    PostCommand(app.MainWindow(), 1062);
    return app.WaitForExit();
}
}  // namespace

TEST_F(StartupTest, SecondStartBringsTheFirstForwardAndLeaves) {
    KoravantApp first({"single"});
    ASSERT_TRUE(first.StartHidden());
    KoravantApp second({"single"});
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(10000));
    EXPECT_TRUE(TopLevelWindows(second.Pid()).empty() || !second.IsRunning());
    EXPECT_TRUE(first.WaitUntilVisible());
    EXPECT_FALSE(::IsIconic(first.MainWindow()));
    EXPECT_EQ(::GetForegroundWindow(), first.MainWindow());
    EXPECT_TRUE(first.IsRunning());
}

TEST_F(StartupTest, CopiesUnderDifferentNamesRunSideBySide) {
    KoravantApp original({"pair"});
    KoravantApp twin({"pair", "KoravantTwin.exe"});
    ASSERT_TRUE(original.StartHidden());
    ASSERT_TRUE(twin.StartHidden());
    EXPECT_TRUE(original.IsRunning());
    EXPECT_TRUE(twin.IsRunning());
    EXPECT_NE(original.MainWindow(), twin.MainWindow());
}

TEST_F(StartupTest, FirstRunAsksOnceAndCancelStillRecordsTheAnswer) {
    ResetSettingsFirstRun();
    DeleteRegistryValue(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun");
    {
        KoravantApp app({"firstrun"});
        ASSERT_TRUE(app.Start());
        MessageBoxInfo box = WaitForMessageBox(app.Pid());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kAutorunQuestion);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
        ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
        ASSERT_TRUE(app.WaitUntilHidden());
        auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun");
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value->data, std::string("1\0", 2));
        EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun"));
    }
    KoravantApp again({"firstrun"});
    ASSERT_TRUE(again.StartHidden());
    EXPECT_FALSE(AnyMessageBox(again.Pid()));
}

TEST_F(StartupTest, FirstRunOkDisablesAutoRunWhereThePolicyKeyExists) {
    ResetSettingsFirstRun();
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun", 0x91));
    KoravantApp app({"firstrun-ok"});
    ASSERT_TRUE(app.Start());
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    ASSERT_EQ(box.text, kAutorunQuestion);
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(app.WaitUntilHidden());
    auto policy = ReadRegistryValue(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun");
    ASSERT_TRUE(policy.has_value());
    EXPECT_EQ(policy->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(policy->data, std::string("\x9F\0\0\0", 4));
    EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun"));
}

TEST_F(StartupTest, FirstRunOkNeverCreatesAMissingPolicyKey) {
    ResetSettingsFirstRun();
    DeleteRegistryTree(HKEY_CURRENT_USER, kPolicyKey);
    KoravantApp app({"firstrun-nokey"});
    ASSERT_TRUE(app.Start());
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(app.WaitUntilHidden());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kPolicyKey));
    ScopedRegKey restored;
    ::RegCreateKeyA(HKEY_CURRENT_USER, kPolicyKey, restored.put());
}

TEST_F(StartupTest, UnreachableSettingsKeyIsReportedAndNothingElseStarts) {
    ASSERT_TRUE(LockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey));
    KoravantApp app({"locked-settings"});
    ASSERT_TRUE(app.Start());
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text,
              "Koravant failed in accessing the registry.\r\nPlease check if the current user "
              "has right to access the registry.");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(app.MainWindow(), nullptr);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_TRUE(UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey));
}

TEST_F(StartupTest, SkinLibraryIsToldTheUiThreadThenTheSkinFileThenExit) {
    KoravantApp app({"skinned", "Koravant.exe", false, "SkinLoad.dll"});
    ASSERT_TRUE(app.StartHidden());
    DWORD uiThread = ::GetWindowThreadProcessId(app.MainWindow(), nullptr);
    ASSERT_TRUE(QuitThroughTrayCommand(app));
    auto lines = ReadLines(app.Folder() + "\\skinload.log");
    std::vector<std::string> expected = {"InitSkinLoad " + std::to_string(uiThread),
                                         "LoadSkin " + app.Folder() + "\\xp_normal.skin",
                                         "ExitSkin", "Unloaded"};
    EXPECT_EQ(lines, expected);
}

TEST_F(StartupTest, SkinLibraryWithoutLoadSkinIsNotInitialisedButFreed) {
    KoravantApp app({"half-skinned", "Koravant.exe", false, "SkinLoadNoLoadSkin.dll"});
    ASSERT_TRUE(app.StartHidden());
    ASSERT_TRUE(QuitThroughTrayCommand(app));
    auto lines = ReadLines(app.Folder() + "\\skinload.log");
    EXPECT_EQ(lines, (std::vector<std::string>{"ExitSkin", "Unloaded"}));
}

TEST_F(StartupTest, WithoutSkinLibraryTheProgramRunsUnskinned) {
    KoravantApp app({"unskinned"});
    ASSERT_TRUE(app.StartHidden());
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(QuitThroughTrayCommand(app));
}
