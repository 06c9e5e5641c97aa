// Skin buttons on the main window's template, driven by the messages the system would send;
// images replaced on every page switch leak nothing (the endurance tests count).
#include <gtest/gtest.h>
#include <windows.h>

#include <span>

#include "app/PageTable.h"
#include "controls/SkinButton.h"
#include "framework/Dialog.h"
#include "res/resource.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);

static int Drawn(CSkinButton& button) {
    ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return button.LastDrawnImage();
}

TEST(SkinButtonTest, PressShowsTheHoverImageEveryClickCountsAndTabKeepsThemOwnerDrawn) {
    struct ClickCountingDialog : CDialog {
        ClickCountingDialog() : CDialog(IDD_MAIN) {}
        bool OnCommand(UINT, UINT code, HWND) override {
            clicks += code == BN_CLICKED;
            return true;
        }
        int clicks = 0;
    };
    ClickCountingDialog dialog;           // destroyed after the buttons have let go of its children
    CSkinButton buttons[kPageCount + 1];  // the main window's page buttons, by page index
    ASSERT_TRUE(dialog.Create(IDD_MAIN));
    ::SetWindowPos(dialog.m_hWnd, HWND_TOP, 60, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(dialog.m_hWnd);
    for (int index = 1; index <= kPageCount; ++index) {
        const PageInfo& page = PageByIndex(index);
        ASSERT_TRUE(buttons[index].SubclassDlgItem(page.buttonId, &dialog));
        buttons[index].LoadBitmapImages(page.hoverBitmap, kWhite, page.plainBitmap, kWhite);
    }
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    CSkinButton& button = buttons[kPagePlugwatch];
    EXPECT_EQ(Drawn(button), kPlainImage);
    // Mouse messages at 5,5 inside the button.
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Drawn(button), kHoverImage);
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // A quick second click arrives as a double click: it counts too.
    ::SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(std::tuple(dialog.clicks, Drawn(button)), std::tuple(2, kPlainImage));

    // The dialog manager's focus moves must not turn a button into a plain push button.
    ::SetFocus(buttons[kPageInformation]);
    for (int step = 0; step < kPageCount + 2; ++step) {
        MSG tab = {::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        ::IsDialogMessageA(dialog.m_hWnd, &tab);
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        HWND focused = ::GetFocus();
        ASSERT_TRUE(focused != tab.hwnd && CWnd::FromHandlePermanent(focused));
        for (CSkinButton& each : std::span(buttons).subspan(1)) {
            EXPECT_EQ(::GetWindowLongPtrA(each, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
            EXPECT_EQ(each.IsDefault(), each.m_hWnd == focused);
        }
    }
}
