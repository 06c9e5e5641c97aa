// Skin buttons on the main window's template, shown as a top-level window of the test and
// driven by the messages the system would send.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>

#include "app/PageTable.h"
#include "controls/SkinButton.h"
#include "controls/SkinButtonLayout.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tests/support/GuiObjects.h"
#include "tests/support/Wait.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);

class ButtonTestDialog : public CDialog {
  public:
    ButtonTestDialog() : CDialog(IDD_MAIN) {}
    int Clicks(UINT id) { return m_clicks[id]; }

  protected:
    bool OnCommand(UINT id, UINT code, HWND) override {
        if (code == BN_CLICKED) ++m_clicks[id];
        return true;
    }

  private:
    std::map<UINT, int> m_clicks;
};

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
            PumpMessages();
            return condition();
        },
        3000, 10);
}

// Under Wine a warp of the pointer can be refused while the display is busy: try again.
bool PlaceCursor(POINT screen) {
    return PumpUntil([&] {
        ::SetCursorPos(screen.x, screen.y);
        POINT now;
        return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    });
}

POINT Centre(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    return {client.right / 2, client.bottom / 2};
}
LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }

// The pointer really goes there, and the button hears of it.
void MoveOnto(HWND button) {
    POINT centre = Centre(button), screen = centre;
    ::ClientToScreen(button, &screen);
    EXPECT_TRUE(PlaceCursor(screen));
    ::SendMessageA(button, WM_MOUSEMOVE, 0, At(centre));
}

void DrawNow(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool SameCorner(const RECT& a, const RECT& b, int shift = 0) {
    return a.left == b.left + shift && a.top == b.top + shift;
}

class SkinButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dialog.Create(IDD_MAIN));
        ::SetWindowPos(m_dialog.m_hWnd, HWND_TOP, 60, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_dialog.m_hWnd);
        for (int index = 1; index <= kPageCount; ++index) {
            const PageInfo& page = PageByIndex(index);
            ASSERT_TRUE(m_buttons[index - 1].SubclassDlgItem(page.buttonId, &m_dialog));
            m_buttons[index - 1].LoadBitmapImages(page.hoverBitmap, kWhite, page.plainBitmap,
                                                  kWhite);
            m_buttons[index - 1].SetImageAlignment(kImageAboveCaption, TRUE);
        }
        PumpMessages();
    }
    void TearDown() override {
        m_dialog.DestroyWindow();
        PumpMessages();
    }

    CSkinButton& Button(int index) { return m_buttons[index - 1]; }
    int Clicks(int index) { return m_dialog.Clicks(PageByIndex(index).buttonId); }

    ButtonTestDialog m_dialog;
    CSkinButton m_buttons[kPageCount];
};
}  // namespace

TEST_F(SkinButtonTest, TwoImagesShowThePlainOneUnlessHoveredOrPressed) {
    CSkinButton& button = Button(kPagePlugwatch);
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), kPlainImage);
    RECT plain = button.LastDrawnImageRect();

    MoveOnto(button);
    EXPECT_TRUE(button.IsHovered());
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), kHoverImage);
    // The leave notification asked for on entering ends the hover once the pointer goes.
    ASSERT_TRUE(PlaceCursor({2, 2}));
    EXPECT_TRUE(PumpUntil([&] { return !button.IsHovered(); }));
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), kPlainImage);

    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(button)));
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), kHoverImage);
    EXPECT_TRUE(SameCorner(button.LastDrawnImageRect(), plain, 1));
    ::SendMessageA(button, WM_LBUTTONUP, 0, At(Centre(button)));
    EXPECT_EQ(Clicks(kPagePlugwatch), 1);
}

TEST_F(SkinButtonTest, OneImageShowsWhetherHoveredOrNotAndAlignmentThreeIsRefused) {
    CSkinButton& single = Button(kPageTaskwatch);
    single.LoadBitmapImages(IDB_PAGE_TASKWATCH_HOT, kWhite, 0, kWhite);
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);
    RECT before = single.LastDrawnImageRect();
    MoveOnto(single);
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);
    EXPECT_TRUE(PlaceCursor({2, 2}));
    ::SendMessageA(single, WM_MOUSEMOVE, 0, At({-2, -2}));
    EXPECT_FALSE(single.IsHovered());
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);

    EXPECT_EQ(single.SetImageAlignment(3, TRUE), 4u);
    DrawNow(single);
    EXPECT_TRUE(SameCorner(single.LastDrawnImageRect(), before));
}

TEST_F(SkinButtonTest, DraggingOntoTheButtonDoesNotLightIt) {
    CSkinButton& button = Button(kPageQuarantine);
    ASSERT_TRUE(PlaceCursor({2, 2}));
    ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(Centre(button)));
    EXPECT_FALSE(button.IsHovered());
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), kPlainImage);
    // Once hovered, a held button keeps the hover.
    MoveOnto(button);
    ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(Centre(button)));
    EXPECT_TRUE(button.IsHovered());
}

TEST_F(SkinButtonTest, ADoubleClickIsTwoClicks) {
    HWND button = Button(kPageAutostart);
    LPARAM centre = At(Centre(button));
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageA(button, WM_LBUTTONUP, 0, centre);
    ::SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, centre);
    ::SendMessageA(button, WM_LBUTTONUP, 0, centre);
    EXPECT_EQ(Clicks(kPageAutostart), 2);
    EXPECT_EQ(::GetFocus(), button);
}

TEST_F(SkinButtonTest, TabMovesTheDefaultAndKeepsEveryButtonOwnerDrawn) {
    ::SetFocus(Button(kPageInformation));
    for (int step = 0; step < kPageCount + 2; ++step) {
        HWND before = ::GetFocus();
        MSG tab = {before, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        ::IsDialogMessageA(m_dialog.m_hWnd, &tab);
        PumpMessages();
        HWND focused = ::GetFocus();
        ASSERT_NE(focused, before);
        ASSERT_NE(CWnd::FromHandlePermanent(focused), nullptr);
        for (int index = 1; index <= kPageCount; ++index) {
            LONG_PTR style = ::GetWindowLongPtrA(Button(index), GWL_STYLE);
            EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
            EXPECT_EQ(Button(index).IsDefault(), Button(index).m_hWnd == focused);
        }
    }
}

TEST_F(SkinButtonTest, ReplacingImagesAThousandTimesLeaksNothing) {
    CSkinButton& button = Button(kPageRepairSystem);
    auto replaceAll = [&](int times) {
        for (int round = 0; round < times; ++round) {
            button.LoadIconImages(IDI_HELP_BOOK, IDI_APP);
            DrawNow(button);
            button.LoadBitmapImages(IDB_PAGE_REPAIR_HOT, kWhite, IDB_PAGE_REPAIR, kWhite);
            DrawNow(button);
            button.LoadHoverCursor(IDC_HAND_CURSOR, TRUE);
            button.SetTipText(round % 2 ? "odd" : "even", TRUE);
        }
        PumpMessages();
    };
    replaceAll(5);
    GuiObjectCounts before = CountOwnGuiObjects();
    replaceAll(1000);
    GuiObjectCounts after = CountOwnGuiObjects();
    std::printf("GDI objects %ld -> %ld, USER objects %ld -> %ld (%s)\n", before.gdi, after.gdi,
                before.user, after.user, after.source.c_str());
    EXPECT_GT(before.gdi, 0);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}
