// Start-up: one running copy per program name, the settings key and the first-run AutoRun
// question, and the skin library.
#include <gtest/gtest.h>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

class StartupTest : public testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("KoravantTwin.exe");
        UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);
        ResetSettingsAnswered();
    }
};
}  // namespace

// A second start brings its namesake forward, or the question that namesake shows.
TEST_F(StartupTest, ASecondStartBringsItsNamesakeForwardAndLeaves) {
    KoravantApp first({"single"}), twin({"pair", "KoravantTwin.exe"}), second({"single"});
    ASSERT_TRUE(first.StartHidden() && twin.StartHidden());
    EXPECT_TRUE(second.Start() && second.WaitForExit());
    EXPECT_TRUE(first.WaitUntilVisible() && ::GetForegroundWindow() == first.MainWindow());
    EXPECT_TRUE(!::IsWindowVisible(twin.MainWindow()) && twin.IsRunning());

    PressKey(first.MainWindow(), VK_ESCAPE);
    MessageBoxInfo question = WaitForMessageBox(first.Pid());
    ASSERT_EQ(question.text, "Do you want to quit?");
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] { return ::SetForegroundWindow(other) && ::GetForegroundWindow() == other; }));
    KoravantApp third({"single"});
    EXPECT_TRUE(third.Start() && third.WaitForExit());
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == question.window; }));
    EXPECT_TRUE(AnswerMessageBox(question, IDCANCEL) && first.Answers() && first.IsRunning());
    ::DestroyWindow(other);
}

// An unreachable key stops the start. Either answer is recorded, so the question comes once.
TEST_F(StartupTest, SettingsKeyAndFirstRunQuestion) {
    ASSERT_TRUE(LockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey));
    KoravantApp locked({"locked-settings"});
    ASSERT_TRUE(locked.Start());
    MessageBoxInfo box = WaitForMessageBox(locked.Pid());
    EXPECT_EQ(box.text.rfind("Koravant failed in accessing the registry.", 0), 0u) << box.text;
    EXPECT_EQ(locked.MainWindow(), nullptr) << "the start stops before the window";
    EXPECT_TRUE(AnswerMessageBox(box, IDOK) && locked.WaitForExit());
    UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);

    // Cancel leaves the policy as it was, OK sets it; the key missing is the unit tests' case.
    for (auto [answer, expected] : {std::pair{IDCANCEL, '\x91'}, {IDOK, '\x9F'}}) {
        SCOPED_TRACE(answer);
        ResetSettingsFirstRun();
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun", 0x91));
        KoravantApp app({"firstrun"});
        ASSERT_TRUE(app.Start());
        box = WaitForMessageBox(app.Pid());
        EXPECT_EQ(box.text.rfind("AUTORUN of USB drive is potentially unsafe.", 0), 0u);
        ASSERT_TRUE(AnswerMessageBox(box, answer) && app.WaitUntilHidden());
        app.Kill();
        auto policy = ReadRegistryValue(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun");
        EXPECT_TRUE(policy && policy->type == REG_DWORD && policy->data[0] == expected);
        ASSERT_TRUE(app.StartHidden());
        EXPECT_FALSE(AnyMessageBox(app.Pid()));
    }
}

// The library learns the UI thread and the skin file, and is told to exit and freed at the
// end; one lacking LoadSkin is not initialised but still freed.
TEST_F(StartupTest, SkinLibraryCallsComeInOrder) {
    for (bool complete : {true, false}) {
        KoravantApp app({complete ? "skinned" : "half-skinned", "Koravant.exe", false,
                         complete ? "SkinLoad.dll" : "SkinLoadNoLoadSkin.dll"});
        ASSERT_TRUE(app.StartHidden());
        DWORD uiThread = ::GetWindowThreadProcessId(app.MainWindow(), nullptr);
        PostCommand(app.MainWindow(), 1062);  // Quit
        ASSERT_TRUE(app.WaitForExit());
        std::string skin = "InitSkinLoad " + std::to_string(uiThread) + "\r\nLoadSkin " +
                           app.Folder() + "\\xp_normal.skin\r\n";
        EXPECT_EQ(ReadFileBytes(app.Folder() + "\\skinload.log"),
                  (complete ? skin : "") + "ExitSkin\r\nUnloaded\r\n");
    }
}
