// The tray icon, its menu and the keeper, driven through Wine's taskbar like a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TrayIcons.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kTip[] = "Resident Shield is active";
constexpr UINT kTrayCallback = 1025;
constexpr UINT kTrayId = 160;

// The pointer goes there (a warp can be refused while the display is busy), then clicks.
bool ClickAt(POINT screen, DWORD down, DWORD up) {
    bool placed = WaitUntil(
        [&] {
            ::SetCursorPos(screen.x, screen.y);
            POINT now;
            return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        },
        3000);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    return placed && ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}

class TrayTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override {
        ::PostMessageA(PopupMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
        KillProcessesNamed("Koravant.exe");
    }

    HWND Main() const { return app.MainWindow(); }
    std::optional<POINT> IconCentre() const {
        std::optional<POINT> centre;
        WaitUntil([&] { return (centre = TrayIconCentre(kTip)).has_value(); }, 5000);
        return centre;
    }
    // The program's tracked popup menu, when one is up.
    HWND PopupMenu() const {
        for (HWND window : TopLevelWindows(app.Pid(), "#32768"))
            if (::IsWindowVisible(window)) return window;
        return nullptr;
    }
    HWND WaitForPopupMenu() const {
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = PopupMenu()) != nullptr; }, 5000);
        return menu;
    }
    bool OpenMenuFromTheIcon() const {
        std::optional<POINT> centre = IconCentre();
        return centre && ClickAt(*centre, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP) &&
               WaitForPopupMenu();
    }
    // Keys reach the menu through its thread's queue, as the menu loop reads them there.
    static void PressInMenu(HWND menu, UINT key) {
        ::PostMessageA(menu, WM_KEYDOWN, key, 0);
        ::PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
    }

    KoravantApp app{{"tray"}};
};
}  // namespace

TEST_F(TrayTest, OneIconWithItsTipAppears) {
    EXPECT_TRUE(WaitUntil([] { return CountShownTrayIcons(kTip) == 1; }, 5000));
    // The keeper adds nothing while the taskbar stays.
    ::Sleep(800);
    EXPECT_EQ(CountShownTrayIcons(kTip), 1);
}

TEST_F(TrayTest, LeftButtonOnTheIconBringsTheWindowForward) {
    std::optional<POINT> centre = IconCentre();
    ASSERT_TRUE(centre);
    ASSERT_TRUE(ClickAt(*centre, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
    ASSERT_TRUE(app.WaitUntilVisible());
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == Main(); }));

    // From the taskbar button's minimised state it comes back restored.
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(Main()) != FALSE; }));
    ::PostMessageA(Main(), kTrayCallback, kTrayId, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(Main()) && ::IsWindowVisible(Main()); }));
}

TEST_F(TrayTest, RightButtonOpensTheMenuOnReleaseOnly) {
    ::PostMessageA(Main(), kTrayCallback, kTrayId, WM_RBUTTONDOWN);
    ::Sleep(500);
    EXPECT_EQ(PopupMenu(), nullptr);

    ASSERT_TRUE(OpenMenuFromTheIcon());
    // Opening the menu does not show the hidden window.
    EXPECT_FALSE(::IsWindowVisible(Main()));
    PressInMenu(PopupMenu(), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return PopupMenu() == nullptr; }));
    EXPECT_TRUE(app.IsRunning());
    EXPECT_FALSE(::IsWindowVisible(Main()));
}

TEST_F(TrayTest, FirstMenuItemShowsTheMainWindow) {
    ASSERT_TRUE(OpenMenuFromTheIcon());
    PressInMenu(PopupMenu(), VK_DOWN);
    PressInMenu(PopupMenu(), VK_RETURN);
    EXPECT_TRUE(app.WaitUntilVisible());
    EXPECT_EQ(PopupMenu(), nullptr);
}

TEST_F(TrayTest, QuitFromTheMenuEndsTheProgramAndTakesTheIcon) {
    ASSERT_TRUE(OpenMenuFromTheIcon());
    // Up from no selection lands on the last item, Quit.
    PressInMenu(PopupMenu(), VK_UP);
    PressInMenu(PopupMenu(), VK_RETURN);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(WaitUntil([] { return CountShownTrayIcons(kTip) == 0; }, 3000));
}

TEST_F(TrayTest, MenuCommandsWithoutTheirPagesDoNoHarm) {
    for (UINT command : {32772u, 32773u, 32776u}) PostCommand(Main(), command);
    ::Sleep(600);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(CountShownTrayIcons(kTip), 1);
}

TEST_F(TrayTest, ANewTaskbarGetsTheIconBack) {
    ASSERT_TRUE(WaitUntil([] { return CountShownTrayIcons(kTip) == 1; }, 5000));
    // A new taskbar starts without icons: take the program's icon away first.
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = Main();
    icon.uID = kTrayId;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &icon));
    ASSERT_TRUE(WaitUntil([] { return CountShownTrayIcons(kTip) == 0; }, 3000));

    double restored = 0;
    {
        TaskbarOutage outage;
        ASSERT_TRUE(outage.Began());
        // Longer than the keeper's look while a taskbar exists.
        ::Sleep(400);
        EXPECT_EQ(CountShownTrayIcons(kTip), 0);
        outage.End();
        restored = NowMs();
    }
    ASSERT_TRUE(WaitUntil([] { return CountShownTrayIcons(kTip) >= 1; }, 5000));
    double delay = NowMs() - restored;
    std::printf("The keeper put the icon back %.0f ms after the taskbar returned\n", delay);
    RecordProperty("keeper_readd_ms", static_cast<int>(delay));
    ::Sleep(800);
    EXPECT_EQ(CountShownTrayIcons(kTip), 1);

    // The icon put back is the program's own: it still answers the left button.
    std::optional<POINT> centre = IconCentre();
    ASSERT_TRUE(centre);
    ASSERT_TRUE(ClickAt(*centre, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
    EXPECT_TRUE(app.WaitUntilVisible());
}
