// The main window and its tray icon: hidden start, the information page, About, help, hiding
// and quitting, the uninstall watcher, the icon's keeper and Enter on every control.
#include <windows.h>
#include <shellapi.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
const std::pair<int, UINT> kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152}, {1008, 155},
                                             {1010, 150}, {1009, 159}, {1007, 154}, {1011, 151}};
constexpr UINT kTrayCallback = WM_USER + 1;

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
    }
};
}  // namespace

// Look-alike titles are up all along, ending nothing; the uninstaller's window ends a new start.
TEST_F(MainWindowTest, InformationPageAboutHelpHidingAndQuitting) {
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
    ASSERT_TRUE(
        CreateFolders(folder) &&
        ::CopyFileA((BuildFolder() + "\\testbin\\Quorrel.exe").c_str(), handler.c_str(), FALSE));
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
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return ::IsWindowVisible(about = FindTopLevel(app.Pid(), "#32770", "About the program"));
    }));
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    ASSERT_TRUE(::CopyFileA((BuildFolder() + "\\Koravant.chm").c_str(),
                            (app.Folder() + "\\Koravant.chm").c_str(), FALSE));
    PressKey(Main(), VK_F1);
    EXPECT_TRUE(WaitUntil(
        [] { return ::IsWindowVisible(::FindWindowA(nullptr, "Brellonix Help")); }, 20000));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));

    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app.WaitUntilHidden() && app.Answers());
    EXPECT_TRUE(app.IsRunning() && !AnyMessageBox(app.Pid()));
    for (HWND lookalike : lookalikes) ::DestroyWindow(lookalike);
    ASSERT_TRUE(app.BringForward());
    PressKey(Main(), VK_ESCAPE);
    EXPECT_EQ(Answer(IDCANCEL), "Do you want to quit?");
    EXPECT_TRUE(app.Answers() && app.IsRunning());
    PressKey(Main(), VK_ESCAPE);
    EXPECT_EQ(Answer(IDOK), "Do you want to quit?");
    ASSERT_TRUE(app.WaitForExit() && app.StartHidden());
    HWND uninstaller = CreateWindowTitled("Brellonix Uninstall");
    EXPECT_EQ(Answer(), "The Brellonix will quit!");
    ::DestroyWindow(uninstaller);
    EXPECT_TRUE(app.WaitForExit());
}

// The icon's callback number is DM_SETDEFID in a dialog: tray events must leave the default
// button as it was.
TEST_F(MainWindowTest, TrayIconReturnsWithANewTaskbarBringsTheWindowUpAndItsMenuQuits) {
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
    // Down from no selection lands on the first item, "Show main window"; up on the last, Quit.
    // Minimised, the window stays so until the item restores it.
    ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (UINT key : {VK_DOWN, VK_UP}) {
        ::PostMessageA(main, kTrayCallback, 160, WM_RBUTTONUP);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return ::IsWindowVisible(menu = FindTopLevel(app.Pid(), "#32768", "")); }));
        PressKey(menu, key);
        PressKey(menu, VK_RETURN);
        EXPECT_TRUE(key != VK_DOWN || WaitUntil([&] { return !::IsIconic(main); }));
        EXPECT_TRUE(key != VK_DOWN || ::SendMessageA(main, DM_GETDEFID, 0, 0) == defaultButton);
    }
    ASSERT_TRUE(app.WaitForExit());
}

// Enter on whatever holds the focus, on every page: lists, buttons, the features text and the
// page buttons. The dialog manager turns it into a click of a focused button or into IDOK for
// the main window; neither may end the resident program. Questions are answered with Cancel
// where they offer it.
TEST_F(MainWindowTest, EnterOnEveryControlOfEveryPageLeavesTheProgramRunning) {
    HWND main = Main();
    ASSERT_TRUE(app.BringForward());
    for (const auto& [button, page] : kPageButtons) {
        ClickButton(main, button);
        ASSERT_TRUE(WaitUntil([&, page = page] { return app.VisiblePage() == page; }));
        HWND pageButton = ::GetDlgItem(main, button);
        std::vector<HWND> controls = FocusableControls(app.Page(page));
        controls.push_back(pageButton);
        for (HWND control : controls) {
            std::string name = WindowClass(control) + std::to_string(::GetDlgCtrlID(control));
            ::PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
            PressKey(control, VK_RETURN);
            // Posted after the key: once the focus is back on the page button, Enter was handled.
            HWND settle = control == pageButton ? ::GetDlgItem(main, 1000) : pageButton;
            ::PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(settle), TRUE);
            ASSERT_TRUE(WaitUntil([&] {
                return FocusOf(main) == settle || AnyMessageBox(app.Pid()) || !app.IsRunning();
            })) << name;
            if (AnyMessageBox(app.Pid())) {
                MessageBoxInfo box = WaitForMessageBox(app.Pid());
                bool cancel = std::ranges::count(box.buttons, IDCANCEL) > 0;
                AnswerMessageBox(box, cancel ? IDCANCEL : box.buttons.front());
            }
            ASSERT_TRUE(app.IsRunning() && ::IsWindow(main)) << "Enter on " << name;
        }
        if (app.VisiblePage() != page) ClickButton(main, button);
    }
}
