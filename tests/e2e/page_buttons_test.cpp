// The main window's page buttons in the real program: hover and selection pictures, the
// tooltip, and no GDI or USER objects lost by switching pages.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/GuiObjects.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr int kTaskwatch = 1010, kPlugsweep = 1006;
constexpr UINT kPlugsweepPage = 152;
constexpr char kTaskwatchTip[] =
    "Monitor memory of all executed applications in real time, and block malicious programs.";
const int kButtons[] = {1000, 1001, 1006, 1008, 1010, 1009, 1007, 1011};

using Pixels = std::vector<DWORD>;

// What the screen shows of `window` now.
Pixels Capture(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    Pixels pixels(static_cast<size_t>(width) * height);
    HDC screen = ::GetDC(nullptr);
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    {
        MemoryDC memory(screen);
        SelectedObject selected(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    }
    BITMAPINFOHEADER header = {sizeof(header), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(screen, bitmap.get(), 0, height, pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

bool PlaceCursor(POINT screen) {
    return WaitUntil(
        [&] {
            ::SetCursorPos(screen.x, screen.y);
            POINT now;
            return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        },
        3000);
}

POINT CentreOf(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class PageButtonsTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        ASSERT_TRUE(app.StartHidden());
        ASSERT_TRUE(app.BringForward());
        ASSERT_TRUE(PlaceCursor({2, 2}));
    }
    void TearDown() override { KillProcessesNamed("Koravant.exe"); }

    HWND Main() const { return app.MainWindow(); }
    HWND Button(int id) const { return ::GetDlgItem(Main(), id); }
    HWND VisibleTooltip() const {
        for (HWND window : TopLevelWindows(app.Pid(), "tooltips_class32"))
            if (::IsWindowVisible(window)) return window;
        return nullptr;
    }
    // A click as the dialog sees it, handled before this returns.
    void Click(int id) const {
        ::SendMessageTimeoutA(Main(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(Button(id)), SMTO_NORMAL, 5000, nullptr);
    }

    KoravantApp app{{"page-buttons"}};
};
}  // namespace

TEST_F(PageButtonsTest, HoverLightsAButtonWhileTheSelectedOneStaysLit) {
    // The window has just come forward; let it finish painting.
    ::Sleep(300);
    Pixels plainTaskwatch = Capture(Button(kTaskwatch));
    Pixels plainPlugsweep = Capture(Button(kPlugsweep));
    Click(kPlugsweep);
    ASSERT_EQ(app.VisiblePage(), kPlugsweepPage);
    ASSERT_TRUE(WaitUntil([&] { return Capture(Button(kPlugsweep)) != plainPlugsweep; }));
    ::Sleep(200);
    Pixels selectedPlugsweep = Capture(Button(kPlugsweep));

    ASSERT_TRUE(PlaceCursor(CentreOf(Button(kTaskwatch))));
    EXPECT_TRUE(WaitUntil([&] { return Capture(Button(kTaskwatch)) != plainTaskwatch; }));
    EXPECT_EQ(Capture(Button(kPlugsweep)), selectedPlugsweep);
    HWND tooltip = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (tooltip = VisibleTooltip()) != nullptr; }, 5000));
    if (tooltip) {
        EXPECT_EQ(WindowText(tooltip), kTaskwatchTip);
    }
    // Xvfb shows the tooltip, a layered window, as a black box that screenshots leave out.
    ::Sleep(300);
    SaveScreenshot("page-buttons-hover-and-selected", Main());

    ASSERT_TRUE(PlaceCursor({2, 2}));
    EXPECT_TRUE(WaitUntil([&] { return Capture(Button(kTaskwatch)) == plainTaskwatch; }));
    EXPECT_EQ(Capture(Button(kPlugsweep)), selectedPlugsweep);
    SaveScreenshot("page-buttons-selected", Main());
}

TEST_F(PageButtonsTest, SwitchingPagesAThousandTimesKeepsGuiObjectsLevel) {
    ScopedHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.Pid()));
    ASSERT_TRUE(process);
    auto switchPages = [&](int times) {
        for (int round = 0; round < times; ++round) Click(kButtons[round % 8]);
        ::Sleep(300);
    };
    switchPages(80);
    GuiObjectCounts before = CountProcessGuiObjects(process.get(), app.Pid());
    SIZE_T bytesBefore = ProcessPrivateBytes(process.get());
    switchPages(1000);
    GuiObjectCounts after = CountProcessGuiObjects(process.get(), app.Pid());
    SIZE_T bytesAfter = ProcessPrivateBytes(process.get());
    long long grown = static_cast<long long>(bytesAfter) - static_cast<long long>(bytesBefore);
    std::printf(
        "After 1000 page switches: GDI %ld -> %ld, USER %ld -> %ld (%s), private memory "
        "%lu -> %lu KB (%+lld KB)\n",
        before.gdi, after.gdi, before.user, after.user, after.source.c_str(),
        static_cast<unsigned long>(bytesBefore / 1024),
        static_cast<unsigned long>(bytesAfter / 1024), grown / 1024);
    EXPECT_EQ(after.user, before.user);
    if (before.gdi >= 0) {
        EXPECT_EQ(after.gdi, before.gdi);
    } else {
        // Wine keeps GDI objects out of sight of other processes; a lost page image per
        // switch would show as several megabytes here.
        ASSERT_GT(bytesBefore, 0u);
        EXPECT_LT(grown, 1024 * 1024);
    }
}
