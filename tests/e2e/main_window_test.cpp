// Start-up and the main window: one copy per program name, the settings key and the first-run
// question, the skin library; hidden start, the information page, About, help, hiding and
// quitting; the tray icon's keeper and menu (with immunity and safe removal's first question:
// tests/removal goes further) and Enter on every control. The uninstaller's window: installer.
#include <windows.h>
#include <shellapi.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"
#include "usb/Immunity.h"

namespace {
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr char kImmune[] = "Your computer and USB storage are immune from virus";
constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

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

std::vector<HWND> FocusableControls(HWND parent) {
    std::vector<HWND> found;
    for (HWND child : ChildWindows(parent)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) && ::IsWindowVisible(child) &&
            ::IsWindowEnabled(child))
            found.push_back(child);
        std::ranges::copy(FocusableControls(child), std::back_inserter(found));
    }
    return found;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

class MainWindowTest : public ProgramTest {
  protected:
    MainWindowTest() : ProgramTest("main-window") {}
    void SetUp() override {
        ProgramTest::SetUp();
        // A recycle bin that a button empties is the test's own.
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override {
        KillProcessesNamed("hh.exe");
        ProgramTest::TearDown();
        RemoveDriveImmunity("C:\\", nullptr);
    }

    // Opens the tray menu and presses `key` `times` times from no selection, then Enter.
    void PickTrayItem(UINT key, int times) const {
        ::PostMessageA(Main(), kTrayCallback, 160, WM_RBUTTONUP);
        HWND menu = WaitForWindow(app.Pid(), "", "#32768");
        ASSERT_TRUE(menu);
        for (int i = 0; i < times; ++i) PressKey(menu, key);
        PressKey(menu, VK_RETURN);
    }
};

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

// Look-alike titles of the uninstaller's window are up all along, ending nothing.
TEST_F(MainWindowTest, InformationPageAboutHelpEnterEverywhereHidingAndQuitting) {
    HWND lookalikes[] = {CreateWindowTitled("brellonix uninstall"),
                         CreateWindowTitled("Brellonix Uninstall Helper")};
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(app.VisiblePage(), 129u);
    ASSERT_TRUE(app.BringForward());
    HWND info = app.Page(129);
    ClickButton(info, 1005);  // Help, without the help file
    EXPECT_EQ(Answer(), "Document not found");
    // The links open the site and a mail to support through whatever the system has for them:
    // here a recorder stands in for the browser and the mailer.
    const std::string folder = app.Folder() + "\\handler", handler = folder + "\\Quorrel.exe";
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\Quorrel.exe", handler));
    for (auto [link, text, prefix] : {std::tuple{1049, "https://www.brellonix.com", ""},
                                      {1050, "support@brellonix.com", "mailto:"}}) {
        std::string url = prefix + std::string(text), scheme = url.substr(0, url.find(':'));
        std::string key = scheme + "\\shell\\open\\command";
        auto saved = ReadRegistryValue(HKEY_CLASSES_ROOT, key.c_str(), nullptr);
        ASSERT_TRUE(WriteRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr,
                                        "\"" + handler + "\" \"%1\""));
        ::DeleteFileA((folder + "\\quorrel.log").c_str());
        EXPECT_EQ(WindowText(::GetDlgItem(info, link)), text);
        ClickButton(info, link);  // a static's click notification has the same code
        std::string log;
        EXPECT_TRUE(
            WaitUntil([&] { return !(log = ReadFileBytes(folder + "\\quorrel.log")).empty(); }));
        EXPECT_NE(log.find("\r\n" + url + "\r\n"), std::string::npos) << log;
        if (saved)
            WriteRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, saved->data.c_str());
    }
    ::PostMessageA(Main(), WM_SYSCOMMAND, 0x0010, 0);
    HWND about = WaitForWindow(app.Pid(), "About the program");
    ASSERT_TRUE(about);
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\Koravant.chm", app.Folder() + "\\Koravant.chm"));
    PressKey(Main(), VK_F1);
    EXPECT_TRUE(WaitForWindow(0, "Brellonix Help", ""));  // the help viewer's
    EXPECT_FALSE(AnyMessageBox(app.Pid()));

    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app.WaitUntilHidden() && app.Answers());
    EXPECT_TRUE(app.IsRunning() && !AnyMessageBox(app.Pid()));
    for (HWND lookalike : lookalikes) ::DestroyWindow(lookalike);

    // Enter on whatever holds the focus, on every page: lists, buttons, the features text and the
    // page buttons. The dialog manager turns it into a click of a focused button or into IDOK for
    // the main window; neither may end the resident program. Questions get Cancel where offered.
    ASSERT_TRUE(app.BringForward());
    for (const auto& [button, page] : kPageButtons) {
        ClickButton(Main(), button);
        ASSERT_TRUE(WaitUntil([&, page = page] { return app.VisiblePage() == page; }));
        HWND pageButton = ::GetDlgItem(Main(), button);
        std::vector<HWND> controls = FocusableControls(app.Page(page));
        controls.push_back(pageButton);
        for (HWND control : controls) {
            std::string name = WindowClass(control) + std::to_string(::GetDlgCtrlID(control));
            ::PostMessageA(Main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
            PressKey(control, VK_RETURN);
            // Posted after the key: once the focus is back on the page button, Enter was handled.
            HWND settle = control == pageButton ? ::GetDlgItem(Main(), 1000) : pageButton;
            ::PostMessageA(Main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(settle), TRUE);
            ASSERT_TRUE(WaitUntil([&] {
                return FocusOf(Main()) == settle || AnyMessageBox(app.Pid()) || !app.IsRunning();
            })) << name;
            if (AnyMessageBox(app.Pid())) {
                MessageBoxInfo box = WaitForMessageBox(app.Pid());
                bool cancel = std::ranges::count(box.buttons, IDCANCEL) > 0;
                AnswerMessageBox(box, cancel ? IDCANCEL : box.buttons.front());
            }
            ASSERT_TRUE(app.IsRunning() && ::IsWindow(Main())) << "Enter on " << name;
        }
        if (app.VisiblePage() != page) ClickButton(Main(), button);
    }
    PressKey(Main(), VK_ESCAPE);
    EXPECT_EQ(Answer(IDCANCEL), "Do you want to quit?");
    EXPECT_TRUE(app.Answers() && app.IsRunning());
    PressKey(Main(), VK_ESCAPE);
    EXPECT_EQ(Answer(IDOK), "Do you want to quit?");
    EXPECT_TRUE(app.WaitForExit());
}

// The icon comes back on a new taskbar; its clicks and menu items, none of which may change the
// default button: the callback number is DM_SETDEFID in a dialog.
TEST_F(MainWindowTest, TrayIconReturnsWithANewTaskbarAndItsItemsWorkWhileTheWindowIsHidden) {
    // A new taskbar starts without icons: take the program's icon away first.
    HWND main = Main();
    LRESULT defaultButton = ::SendMessageA(main, DM_GETDEFID, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(main, NIM_DELETE); }, 5000));
    // Wine cannot restart the taskbar of a desktop where programs run: it leaves the top-level
    // windows for a while instead, longer than the keeper's look while one is there.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr), holder = CreateWindowTitled("");
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(taskbar, &rect));
    ::SetParent(taskbar, holder);
    EXPECT_EQ(::FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    ::Sleep(2000);  // away for many of the keeper's looks
    ::SetParent(taskbar, ::GetDesktopWindow());
    ::SetWindowPos(taskbar, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::DestroyWindow(holder);
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(main, NIM_MODIFY); }, 5000));

    for (int round = 0; round < 2; ++round) {  // hidden, then minimised
        ::PostMessageA(main, kTrayCallback, 160, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }));
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == main; }));
        ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    // Under Wine the first monitor pass lists Wine's own unversioned services and brings the
    // window forward on page 5, five seconds after start: let that come first.
    ASSERT_TRUE(WaitUntil([&] { return app.VisiblePage() == 150; }, 20000));
    // Minimised, the window stays so until "Show main window" restores it.
    ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PickTrayItem(VK_DOWN, 1);
    EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(main); }));
    EXPECT_EQ(::SendMessageA(main, DM_GETDEFID, 0, 0), defaultButton);

    // Safely remove's first question and Acquire Immunity from the tray, the window hidden; a
    // stick pulled out while Acquire warns about the AutoRun file it deleted there.
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitUntilHidden());
    ASSERT_EQ(::GetLogicalDrives(), 1u << 2) << "immunity reaches every drive";
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), stick.Path("tools\\app.exe")));
    RunningProgram onStick(stick.Path("tools\\app.exe"));
    PickTrayItem(VK_DOWN, 2);
    EXPECT_EQ(Answer(IDCANCEL), "Have you exited all the programs that are using USB disk?");
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid()));
    EXPECT_TRUE(onStick.Running() && !ProcessIdsNamed("explorer.exe").empty() &&
                (::GetLogicalDrives() & (1u << 4)))
        << "Cancel changes nothing";
    onStick.Kill();
    PickTrayItem(VK_DOWN, 3);
    MessageBoxInfo warning = WaitForMessageBox(app.Pid());
    EXPECT_EQ(warning.text,
              "There may be virus on the root directory: E:\\ \r\nPlease use Antivirus software "
              "to scan your computer!");
    ASSERT_TRUE(stick.Remove() && AnswerMessageBox(warning, IDOK));
    EXPECT_EQ(Answer(), kImmune);
    ASSERT_TRUE(SendDriveRemoval(main, 'E') && app.Answers());
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"tools"}) << "nothing half made";
    EXPECT_FALSE(::IsWindowVisible(main));
    // Then the page's buttons.
    ASSERT_TRUE(stick.Plug());
    PageView kit{app, 155, 0};
    ASSERT_TRUE(kit.Open(1008));
    EXPECT_EQ(ClickAndAnswer(kit, 1030), kImmune);
    EXPECT_TRUE(stick.Exists("AUTORUN.INF\\ReadMe.txt"));
    EXPECT_EQ(ClickAndAnswer(kit, 1031),
              "Your computer and USB storage device are not immune away from virus!");
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"tools"});

    PickTrayItem(VK_UP, 1);  // Quit
    ASSERT_TRUE(app.WaitForExit());
}

TEST_F(StartupTest, ASecondStartBringsItsNamesakeForwardAndLeaves) {
    KoravantApp first({"single"}), twin({.name = "pair", .exeName = "KoravantTwin.exe"}),
        second({"single"});
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
    ASSERT_TRUE(RestrictRegistryKey(HKEY_LOCAL_MACHINE, kTestSettingsKey, 0));
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
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey);  // never ran here
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
        KoravantApp app({complete ? "skinned" : "half-skinned", "Koravant.exe",
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
