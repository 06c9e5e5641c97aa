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

TEST_F(StartupTest, ASecondStartBringsItsNamesakeForwardAndLeaves) {
    KoravantApp first({"single"}), twin({"pair", "KoravantTwin.exe"}), second({"single"});
    ASSERT_TRUE(first.StartHidden() && twin.StartHidden());
    EXPECT_NE(first.MainWindow(), twin.MainWindow());
    EXPECT_TRUE(second.Start() && second.WaitForExit());
    EXPECT_TRUE(first.WaitUntilVisible() && !::IsIconic(first.MainWindow()));
    EXPECT_EQ(::GetForegroundWindow(), first.MainWindow());
    EXPECT_TRUE(!::IsWindowVisible(twin.MainWindow()) && first.IsRunning() && twin.IsRunning());

    // A question of the first copy's comes forward over its window.
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
    EXPECT_TRUE(AnswerMessageBox(question, IDCANCEL));
    EXPECT_TRUE(first.Answers() && first.IsRunning());
    ::DestroyWindow(other);
}

// An unreachable key stops the start. Either answer to the question is recorded, so it comes
// once; OK sets the policy only where its key already exists.
TEST_F(StartupTest, SettingsKeyAndFirstRunQuestion) {
    ASSERT_TRUE(LockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey));
    KoravantApp locked({"locked-settings"});
    ASSERT_TRUE(locked.Start());
    MessageBoxInfo box = WaitForMessageBox(locked.Pid());
    EXPECT_EQ(box.text.rfind("Koravant failed in accessing the registry.", 0), 0u) << box.text;
    EXPECT_EQ(locked.MainWindow(), nullptr) << "the start stops before the window";
    EXPECT_TRUE(AnswerMessageBox(box, IDOK) && locked.WaitForExit());
    UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);

    const struct {
        int answer;
        bool policyKey;  // the key exists beforehand, with NoDriveTypeAutoRun 0x91
        char expected;   // the value's low byte afterwards
    } cases[] = {{IDOK, false, 0}, {IDCANCEL, true, '\x91'}, {IDOK, true, '\x9F'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", key " << c.policyKey);
        ResetSettingsFirstRun();
        DeleteRegistryTree(HKEY_CURRENT_USER, kPolicyKey);
        if (c.policyKey)
            WriteRegistryDword(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun", 0x91);
        KoravantApp app({"firstrun"});
        ASSERT_TRUE(app.Start());
        box = WaitForMessageBox(app.Pid());
        EXPECT_EQ(box.text.rfind("AUTORUN of USB drive is potentially unsafe.", 0), 0u);
        ASSERT_TRUE(AnswerMessageBox(box, c.answer) && app.WaitUntilHidden());
        app.Kill();
        auto answered = ReadRegistryValue(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun");
        EXPECT_TRUE(answered && answered->type == REG_SZ &&
                    answered->data == std::string("1\0", 2));
        RegistryValue policy =
            ReadRegistryValue(HKEY_CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun")
                .value_or(RegistryValue{});
        EXPECT_EQ(policy.type, static_cast<DWORD>(c.policyKey ? REG_DWORD : REG_NONE));
        EXPECT_EQ(policy.data, c.policyKey ? c.expected + std::string(3, 0) : "");
        EXPECT_EQ(RegistryKeyExists(HKEY_CURRENT_USER, kPolicyKey), c.policyKey);
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
