// The main window and its tray icon: hidden start, pages, hiding and quitting, help, About,
// the uninstall watcher, and the icon's keeper.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <utility>

#include "tests/support/KoravantApp.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
// Each page button and the page it shows.
const std::pair<int, UINT> kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152}, {1008, 155},
                                             {1010, 150}, {1009, 159}, {1007, 154}, {1011, 151}};
constexpr UINT kTrayCallback = WM_USER + 1;

// The taskbar takes a change (or a deletion) only for an icon it holds.
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

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        ResetSettingsAnswered();
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override {
        KillProcessesNamed("hh.exe");
        KillProcessesNamed("Koravant.exe");
    }

    HWND Main() const { return app.MainWindow(); }

    KoravantApp app{{"main-window"}};
};
}  // namespace

TEST_F(MainWindowTest, StartsHiddenOnTheFirstPageAndButtonsShowTheirPagesTwiceHarmlessly) {
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(app.VisiblePage(), 129u);
    ASSERT_TRUE(app.BringForward());
    for (const auto& button : kPageButtons) {
        for (int click = 0; click < 2; ++click) {
            ClickButton(Main(), button.first);
            EXPECT_TRUE(WaitUntil([&] { return app.VisiblePage() == button.second; }))
                << "button " << button.first;
        }
    }
}

TEST_F(MainWindowTest, CloseBoxHidesAndEscapeQuitsOnlyAfterOk) {
    ASSERT_TRUE(app.BringForward());
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app.WaitUntilHidden());
    ::Sleep(300);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_FALSE(AnyMessageBox(app.Pid()));

    ASSERT_TRUE(app.BringForward());
    for (int answer : {IDCANCEL, IDOK}) {
        PressKey(Main(), VK_ESCAPE);
        MessageBoxInfo box = WaitForMessageBox(app.Pid());
        ASSERT_EQ(box.text, "Do you want to quit?");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
        ASSERT_TRUE(AnswerMessageBox(box, answer));
        ::Sleep(300);
        EXPECT_EQ(app.IsRunning(), answer == IDCANCEL);
    }
    EXPECT_TRUE(app.WaitForExit());
}

TEST_F(MainWindowTest, F1OpensTheHelpFileOrSaysItIsMissing) {
    ASSERT_TRUE(app.BringForward());
    PressKey(Main(), VK_F1);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Document not found");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    app.Kill();

    KoravantApp helped{LaunchFolder("help", "Koravant.exe", /*withHelpFile=*/true)};
    ASSERT_TRUE(helped.StartHidden());
    ASSERT_TRUE(helped.BringForward());
    PressKey(helped.MainWindow(), VK_F1);
    EXPECT_TRUE(WaitUntil(
        [] { return ::IsWindowVisible(::FindWindowA(nullptr, "Brellonix Help")); }, 20000));
    // A failed open would show its message right away; give it a moment to be sure.
    ::Sleep(500);
    EXPECT_EQ(WaitForMessageBox(helped.Pid(), 200).text, "");
    SaveScreenshot("help-viewer", ::FindWindowA(nullptr, "Brellonix Help"));
    EXPECT_TRUE(helped.IsRunning());
}

TEST_F(MainWindowTest, SystemCommand0x10OpensAbout) {
    ASSERT_TRUE(app.BringForward());
    ::PostMessageA(Main(), WM_SYSCOMMAND, 0x0010, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return ::IsWindowVisible(about = FindTopLevel(app.Pid(), "#32770", "About the program"));
    }));
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    EXPECT_TRUE(app.IsRunning());
}

TEST_F(MainWindowTest, OnlyTheUninstallersExactTitleEndsTheProgram) {
    HWND lower = CreateWindowTitled("brellonix uninstall");
    HWND longer = CreateWindowTitled("Brellonix Uninstall Helper");
    ::Sleep(800);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    ::DestroyWindow(lower);
    ::DestroyWindow(longer);

    HWND uninstaller = CreateWindowTitled("Brellonix Uninstall");
    double shown = NowMs();
    MessageBoxInfo box = WaitForMessageBox(app.Pid(), 5000);
    double noticed = NowMs() - shown;
    ::DestroyWindow(uninstaller);
    ASSERT_EQ(box.text, "The Brellonix will quit!");
    EXPECT_LT(noticed, 1500.0);
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(app.WaitForExit());
}

TEST_F(MainWindowTest, TrayIconBringsTheWindowForwardAndItsMenuQuits) {
    HWND main = Main();
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(main, NIM_MODIFY); }, 5000));
    for (int round = 0; round < 2; ++round) {  // hidden, then minimised
        ::PostMessageA(main, kTrayCallback, 160, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }));
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == main; }));
        ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    ::PostMessageA(main, kTrayCallback, 160, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowVisible(menu = FindTopLevel(app.Pid(), "#32768", "")); }));
    // Up from no selection lands on the last item, Quit.
    PressKey(menu, VK_UP);
    PressKey(menu, VK_RETURN);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_FALSE(TrayIcon(main, NIM_MODIFY));
}

TEST_F(MainWindowTest, ANewTaskbarGetsTheTrayIconBack) {
    // A new taskbar starts without icons: take the program's icon away first.
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(Main(), NIM_DELETE); }, 5000));
    // Wine cannot restart the taskbar of a desktop where programs run: it leaves the top-level
    // windows for a while instead, longer than the keeper's look while one is there.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT rect;
    ::GetWindowRect(taskbar, &rect);
    HWND holder = CreateWindowTitled("");
    ::SetParent(taskbar, holder);
    EXPECT_EQ(::FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    ::Sleep(400);
    ::SetParent(taskbar, ::GetDesktopWindow());
    ::SetWindowPos(taskbar, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::DestroyWindow(holder);

    double restored = NowMs();
    ASSERT_TRUE(WaitUntil([&] { return TrayIcon(Main(), NIM_MODIFY); }, 5000));
    double delay = NowMs() - restored;
    std::printf("The keeper put the icon back %.0f ms after the taskbar returned\n", delay);
    RecordProperty("keeper_readd_ms", static_cast<int>(delay));
}
