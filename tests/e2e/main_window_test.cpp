// Start-up and the main window: one copy per program name, the settings key and the first-run
// question, the skin library; hidden start, the information page, About, hiding and
// quitting; the tray icon's keeper and menu (with immunity and safe removal's first question:
// tests/removal goes further) and Enter on every control. The uninstaller's window: installer.
#include <windows.h>
#include <shellapi.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"
#include "usb/AutorunPolicy.h"
#include "usb/Immunity.h"

namespace {
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr char kImmune[] = "Your computer and USB storage are immune from virus";

bool TrayIcon(HWND owner, DWORD message) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = owner;
    icon.uID = 160;
    return ::Shell_NotifyIconA(message, &icon) != FALSE;
}

HWND CreateWindowTitled(const char* title) {
    return ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

class MainWindowTest : public ProgramTest {
  protected:
    MainWindowTest() : ProgramTest("main-window") {}
    void TearDown() override {
        ProgramTest::TearDown();
        KillProcessesNamed("KoravantTwin.exe");
        UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);
        RemoveDriveImmunity("C:\\", nullptr);
    }
};
}  // namespace

// One run: the tray icon comes back on a new taskbar; its clicks and menu items, none of which
// may change the default button (the callback number is DM_SETDEFID in a dialog); the
// information page, About, Enter on every control, Esc, then immunity and safe removal's first
// question from the tray while the window is hidden, and Quit. Look-alike titles of the
// uninstaller's window are up all along, ending nothing.
TEST_F(MainWindowTest, TrayInformationPageAboutEnterEverywhereImmunityAndQuit) {
    HWND lookalikes[] = {CreateWindowTitled("brellonix uninstall"),
                         CreateWindowTitled("Brellonix Uninstall Helper")};
    // A recycle bin that a button empties is the test's own.
    app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    ASSERT_TRUE(app.StartHidden());
    HWND main = Main();
    EXPECT_EQ(app.VisiblePage(), 129u);
    // Opens the tray menu (or the menu `message` opens) and presses `key` `times` times from no
    // selection, then Enter.
    auto pickMenuItem = [&](UINT key, int times, UINT message = kTrayCallback, WPARAM w = 160,
                            LPARAM l = WM_RBUTTONUP) {
        ::PostMessageA(main, message, w, l);
        HWND menu = WaitForWindow(app.Pid(), "", "#32768");
        for (int i = 0; i < times; ++i) PressKey(menu, key);
        PressKey(menu, VK_RETURN);
        return menu != nullptr;
    };
    // A new taskbar starts without icons: take the program's icon away first.
    LRESULT defaultButton = ::SendMessageA(main, DM_GETDEFID, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(main, NIM_DELETE); }, 5000));
    // Wine cannot restart the taskbar of a desktop where programs run: it leaves the top-level
    // windows for a while instead, longer than the keeper's look while one is there.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr), holder = CreateWindowTitled("");
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(taskbar, &rect));
    ::SetParent(taskbar, holder);
    ::Sleep(2000);  // away for many of the keeper's looks
    ::SetParent(taskbar, ::GetDesktopWindow());
    ::SetWindowPos(taskbar, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::DestroyWindow(holder);
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(main, NIM_MODIFY); }, 5000));
    for (int round = 0; round < 2; ++round) {  // hidden, then minimised
        ::PostMessageA(main, kTrayCallback, 160, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] {
            return ::IsWindowVisible(main) && !::IsIconic(main) && ::GetForegroundWindow() == main;
        }));
        // Start-up leaves the focus unset; the keyboard must still reach a control.
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof(gui);
        EXPECT_TRUE(WaitUntil([&] {
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &gui) &&
                   ::IsChild(main, gui.hwndFocus);
        }));
        ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    // Under Wine the first monitor pass lists Wine's own unversioned services and brings the
    // window forward on page 5, five seconds after start: let that come first.
    ASSERT_TRUE(WaitUntil([&] { return app.VisiblePage() == 150; }, 20000));
    // Minimised, the window stays so until "Show main window" restores it.
    ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(pickMenuItem(VK_DOWN, 1) && WaitUntil([&] { return !::IsIconic(main); }));
    EXPECT_EQ(::SendMessageA(main, DM_GETDEFID, 0, 0), defaultButton);

    HWND info = app.Page(129);
    ClickButton(main, 1000);
    ClickButton(info, 1005);  // Help, without the help file
    EXPECT_EQ(Answer(), "Document not found");
    // The links open the site and a mail to support through whatever the system has for them:
    // here a recorder stands in for the browser and the mailer.
    const std::string folder = app.Folder() + "\\handler", handler = folder + "\\Quorrel.exe";
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\Quorrel.exe", handler));
    for (auto [link, text, scheme] : {std::tuple{1049, "https://www.brellonix.com", "https"},
                                      {1050, "support@brellonix.com", "mailto"}}) {
        std::string key = scheme + std::string("\\shell\\open\\command"), log;
        auto saved = ReadRegistryValue(HKEY_CLASSES_ROOT, key.c_str(), nullptr);
        ASSERT_TRUE(WriteRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr,
                                        "\"" + handler + "\" \"%1\""));
        ::DeleteFileA((folder + "\\quorrel.log").c_str());
        EXPECT_EQ(WindowText(::GetDlgItem(info, link)), text);
        ClickButton(info, link);  // a static's click notification has the same code
        EXPECT_TRUE(
            WaitUntil([&] { return !(log = ReadFileBytes(folder + "\\quorrel.log")).empty(); }));
        std::string url = link == 1049 ? text : "mailto:" + std::string(text);
        EXPECT_NE(log.find("\r\n" + url + "\r\n"), std::string::npos) << log;
        if (saved)
            WriteRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, saved->data.c_str());
    }
    // About is the system menu's last entry.
    ASSERT_TRUE(pickMenuItem(VK_UP, 1, WM_SYSCOMMAND, SC_KEYMENU, ' '));
    HWND about = WaitForWindow(app.Pid(), "About the program");
    ClickButton(about, IDOK);
    EXPECT_TRUE(about && WaitUntil([&] { return !::IsWindow(about); }));

    // Enter on whatever holds the focus, on every page: lists, buttons, the features text and the
    // page buttons. The dialog manager turns it into a click of a focused button or into IDOK for
    // the main window; neither may end the resident program. Questions get Cancel.
    for (const auto& [button, page] : kPageButtons) {
        ClickButton(main, button);
        ASSERT_TRUE(WaitUntil([&, page = page] { return app.VisiblePage() == page; }));
        std::vector<HWND> controls;
        for (HWND c : ChildWindows(app.Page(page)))
            if ((::GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) && ::IsWindowVisible(c) &&
                ::IsWindowEnabled(c))
                controls.push_back(c);
        controls.push_back(::GetDlgItem(main, button));
        for (HWND control : controls) {
            ::PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
            PressKey(control, VK_RETURN);
            bool handled = app.WaitForPostedMessages();
            if (AnyMessageBox(app.Pid())) Answer(IDCANCEL);
            ASSERT_TRUE(handled && app.IsRunning() && ::IsWindow(main))
                << "Enter on " << WindowClass(control) << " " << ::GetDlgCtrlID(control);
        }
        if (app.VisiblePage() != page) ClickButton(main, button);
    }
    PressKey(main, VK_ESCAPE);  // OK: the second start's test
    EXPECT_EQ(Answer(IDCANCEL), "Do you want to quit?");
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app.WaitUntilHidden() && app.Answers() && app.IsRunning());
    for (HWND lookalike : lookalikes) ::DestroyWindow(lookalike);

    // Safely remove's first question and Acquire Immunity from the tray, the window hidden; a
    // stick pulled out while Acquire warns about the AutoRun file it deleted there.
    ASSERT_EQ(::GetLogicalDrives(), 1u << 2) << "immunity reaches every drive";
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), stick.Path("tools\\app.exe")));
    RunningProgram onStick(stick.Path("tools\\app.exe"));
    ASSERT_TRUE(pickMenuItem(VK_DOWN, 2));
    EXPECT_EQ(Answer(IDCANCEL), "Have you exited all the programs that are using USB disk?");
    // Cancel changes nothing.
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid()) && onStick.Running() &&
                !ProcessIdsNamed("explorer.exe").empty() && (::GetLogicalDrives() & (1u << 4)));
    onStick.Kill();
    ASSERT_TRUE(pickMenuItem(VK_DOWN, 3));
    MessageBoxInfo warning = WaitForMessageBox(app.Pid());
    EXPECT_TRUE(warning.text.starts_with("There may be virus on the root directory: E:\\ "));
    ASSERT_TRUE(stick.Remove() && AnswerMessageBox(warning, IDOK));
    EXPECT_EQ(Answer(), kImmune);
    ASSERT_TRUE(SendDriveRemoval(main, 'E') && app.Answers());
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"tools"}) << "nothing half made";
    EXPECT_FALSE(::IsWindowVisible(main));
    // Then the page's buttons; what they do to the drives is the unit tests'.
    PageView kit{app, 155, 0};
    ASSERT_TRUE(kit.Open(1008));
    EXPECT_EQ(ClickAndAnswer(kit, 1030), kImmune);
    EXPECT_EQ(ClickAndAnswer(kit, 1031),
              "Your computer and USB storage device are not immune away from virus!");
    ASSERT_TRUE(pickMenuItem(VK_UP, 1) && app.WaitForExit());  // Quit
}

TEST_F(MainWindowTest, ASecondStartBringsItsNamesakeForwardAndLeaves) {
    KoravantApp first({"single"}), twin({.name = "pair", .exeName = "KoravantTwin.exe"}),
        second({"single"}), third({"single"});
    ASSERT_TRUE(first.StartHidden() && twin.StartHidden());
    EXPECT_TRUE(second.Start() && second.WaitForExit());
    EXPECT_TRUE(first.WaitUntilVisible() && ::GetForegroundWindow() == first.MainWindow());
    EXPECT_TRUE(!::IsWindowVisible(twin.MainWindow()) && twin.IsRunning());
    // While it asks a question, the question comes forward; OK ends the program.
    PressKey(first.MainWindow(), VK_ESCAPE);
    MessageBoxInfo question = WaitForMessageBox(first.Pid());
    ASSERT_EQ(question.text, "Do you want to quit?");
    HWND other = CreateWindowTitled("other");
    ::ShowWindow(other, SW_SHOW);
    ASSERT_TRUE(WaitUntil(
        [&] { return ::SetForegroundWindow(other) && ::GetForegroundWindow() == other; }));
    EXPECT_TRUE(third.Start() && third.WaitForExit());
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == question.window; }));
    EXPECT_TRUE(AnswerMessageBox(question, IDOK) && first.WaitForExit());
    ::DestroyWindow(other);
}

// An unreachable key stops the start before the window. A first run asks about AutoRun: Cancel
// leaves the policy as it was, OK sets it, and either answer is recorded, so it comes once. The
// skin library learns the UI thread and the skin file, and is told to exit and freed at the end;
// one lacking LoadSkin is not initialised but still freed.
TEST_F(MainWindowTest, SettingsKeyFirstRunQuestionAndSkinLibrary) {
    ASSERT_TRUE(RestrictRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey, 0));
    KoravantApp locked({"locked-settings"});
    MessageBoxInfo box = locked.Start() ? WaitForMessageBox(locked.Pid()) : MessageBoxInfo{};
    EXPECT_TRUE(box.text.starts_with("Koravant failed in accessing the registry.")) << box.text;
    EXPECT_TRUE(!locked.MainWindow() && AnswerMessageBox(box, IDOK) && locked.WaitForExit());
    UnlockRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey);
    for (auto [answer, expected, skinned] :
         {std::tuple{IDCANCEL, '\x91', true}, {IDOK, '\x9F', false}}) {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey);  // never ran here
        ASSERT_TRUE(
            WriteRegistryDword(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun, 0x91));
        KoravantApp app(
            {"firstrun", "Koravant.exe", skinned ? "SkinLoad.dll" : "SkinLoadNoLoadSkin.dll"});
        box = app.Start() ? WaitForMessageBox(app.Pid()) : MessageBoxInfo{};
        EXPECT_TRUE(box.text.starts_with("AUTORUN of USB drive is potentially unsafe."));
        ASSERT_TRUE(AnswerMessageBox(box, answer) && app.WaitUntilHidden());
        DWORD uiThread = ::GetWindowThreadProcessId(app.MainWindow(), nullptr);
        PostCommand(app.MainWindow(), 1062);  // Quit
        ASSERT_TRUE(app.WaitForExit());
        std::string skin = "InitSkinLoad " + std::to_string(uiThread) + "\r\nLoadSkin " +
                           app.Folder() + "\\xp_normal.skin\r\n";
        EXPECT_EQ(ReadFileBytes(app.Folder() + "\\skinload.log"),
                  (skinned ? skin : "") + "ExitSkin\r\nUnloaded\r\n");
        auto policy = ReadRegistryValue(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun);
        EXPECT_TRUE(policy && policy->type == REG_DWORD && policy->data[0] == expected) << answer;
        EXPECT_TRUE(app.StartHidden() && !AnyMessageBox(app.Pid())) << answer;
    }
}
