// The skin button as the user meets it: hover and pressed images, clicks, the dialog
// manager's default-button moves, focus on disabling, tooltip and cursor.
#include "tests/unit/skin_button_fixture.h"

TEST_F(SkinButtonTest, AttachingMakesTheButtonOwnerDrawn) {
    for (int index = 1; index <= kPageCount; ++index) {
        EXPECT_EQ(ButtonType(Button(index)), static_cast<UINT>(BS_OWNERDRAW));
        EXPECT_FALSE(Button(index).IsDefault());
        LRESULT code = ::SendMessageA(Button(index), WM_GETDLGCODE, 0, 0);
        EXPECT_TRUE(code & DLGC_UNDEFPUSHBUTTON);
        EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON);
    }
    // The dialog hands the button's colour request back to it: nothing is painted under it.
    HDC dc = ::GetDC(Button(kPageInformation));
    LRESULT brush = ::SendMessageA(m_dialog.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(Button(kPageInformation).m_hWnd));
    ::ReleaseDC(Button(kPageInformation), dc);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
}

TEST_F(SkinButtonTest, ADefaultPushButtonStaysTheDefault) {
    ButtonTestDialog about(IDD_ABOUT);
    ASSERT_TRUE(about.Create(IDD_ABOUT));
    CSkinButton ok;
    ASSERT_TRUE(ok.SubclassDlgItem(IDOK, &about));
    EXPECT_TRUE(ok.IsDefault());
    EXPECT_EQ(ButtonType(ok), static_cast<UINT>(BS_OWNERDRAW));
    EXPECT_TRUE(::SendMessageA(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    about.DestroyWindow();
}

TEST_F(SkinButtonTest, TwoImagesShowThePlainOneUntilThePointerEnters) {
    HWND button = Button(kPagePlugwatch);
    DrawNow(button);
    EXPECT_EQ(Button(kPagePlugwatch).LastDrawnImage(), kPlainImage);

    MoveOnto(button);
    EXPECT_TRUE(Button(kPagePlugwatch).IsHovered());
    DrawNow(button);
    EXPECT_EQ(Button(kPagePlugwatch).LastDrawnImage(), kHoverImage);

    // The leave notification asked for on entering ends the hover once the pointer goes.
    ASSERT_TRUE(PlaceCursor({2, 2}));
    EXPECT_TRUE(PumpUntil([&] { return !Button(kPagePlugwatch).IsHovered(); }));
    DrawNow(button);
    EXPECT_EQ(Button(kPagePlugwatch).LastDrawnImage(), kPlainImage);
}

TEST_F(SkinButtonTest, OneImageShowsWhetherHoveredOrNot) {
    CSkinButton& single = Button(kPageTaskwatch);
    single.LoadBitmapImages(IDB_PAGE_TASKWATCH_HOT, kWhite, 0, kWhite);
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);
    MoveOnto(single);
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);
    MoveAway(single);
    EXPECT_FALSE(single.IsHovered());
    DrawNow(single);
    EXPECT_EQ(single.LastDrawnImage(), kHoverImage);
}

TEST_F(SkinButtonTest, PressedShowsTheHoverImageOnePixelFurther) {
    HWND button = Button(kPagePlugsweep);
    DrawNow(button);
    RECT plain = Button(kPagePlugsweep).LastDrawnImageRect();
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(button)));
    DrawNow(button);
    EXPECT_EQ(Button(kPagePlugsweep).LastDrawnImage(), kHoverImage);
    RECT pressed = Button(kPagePlugsweep).LastDrawnImageRect();
    EXPECT_EQ(pressed.left, plain.left + 1);
    EXPECT_EQ(pressed.top, plain.top + 1);
    ::SendMessageA(button, WM_LBUTTONUP, 0, At(Centre(button)));
    EXPECT_EQ(m_dialog.Clicks(ButtonId(kPagePlugsweep)), 1);
}

TEST_F(SkinButtonTest, DraggingOntoTheButtonDoesNotLightIt) {
    HWND button = Button(kPageQuarantine);
    ASSERT_TRUE(PlaceCursor({2, 2}));
    PumpMessages();
    ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(Centre(button)));
    EXPECT_FALSE(Button(kPageQuarantine).IsHovered());
    DrawNow(button);
    EXPECT_EQ(Button(kPageQuarantine).LastDrawnImage(), kPlainImage);
    // Once hovered, a held button keeps the hover.
    MoveOnto(button);
    ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(Centre(button)));
    EXPECT_TRUE(Button(kPageQuarantine).IsHovered());
}

TEST_F(SkinButtonTest, ADoubleClickIsTwoClicks) {
    HWND button = Button(kPageAutostart);
    LPARAM centre = At(Centre(button));
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageA(button, WM_LBUTTONUP, 0, centre);
    ::SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, centre);
    ::SendMessageA(button, WM_LBUTTONUP, 0, centre);
    EXPECT_EQ(m_dialog.Clicks(ButtonId(kPageAutostart)), 2);
    // The click took the keyboard focus.
    EXPECT_EQ(::GetFocus(), Button(kPageAutostart).m_hWnd);
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
        auto* now = static_cast<CSkinButton*>(CWnd::FromHandlePermanent(focused));
        ASSERT_NE(now, nullptr);
        EXPECT_TRUE(now->IsDefault());
        for (int index = 1; index <= kPageCount; ++index) {
            EXPECT_EQ(ButtonType(Button(index)), static_cast<UINT>(BS_OWNERDRAW));
            if (Button(index).m_hWnd != focused) {
                EXPECT_FALSE(Button(index).IsDefault());
            }
        }
    }
}

TEST_F(SkinButtonTest, DisablingTheFocusedButtonHandsTheFocusOn) {
    ::SetFocus(Button(kPageInformation));
    Button(kPageInformation).EnableWindow(FALSE);
    // Tab order follows the template: Information, Plugwatch, ...
    EXPECT_EQ(::GetFocus(), Button(kPagePlugwatch).m_hWnd);

    // A button without the focus leaves it where it is.
    Button(kPagePlugsweep).EnableWindow(FALSE);
    EXPECT_EQ(::GetFocus(), Button(kPagePlugwatch).m_hWnd);

    // Disabling ends a hover.
    MoveOnto(Button(kPageTaskwatch));
    ASSERT_TRUE(Button(kPageTaskwatch).IsHovered());
    Button(kPageTaskwatch).EnableWindow(FALSE);
    EXPECT_FALSE(Button(kPageTaskwatch).IsHovered());
}

TEST_F(SkinButtonTest, SecondTipTextReplacesTheFirst) {
    CSkinButton& button = Button(kPagePlugkit);
    button.SetTipText(nullptr, TRUE);
    EXPECT_EQ(button.ToolTipWindow(), nullptr);
    button.SetTipText("first tip", TRUE);
    EXPECT_EQ(button.ToolTipWindow(), nullptr);
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    button.SetTipText("second tip", TRUE);
    HWND tip = button.ToolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = button;
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "second tip");
    // The tooltip goes with its button.
    ::DestroyWindow(button);
    EXPECT_FALSE(::IsWindow(tip));
}

TEST_F(SkinButtonTest, HoverCursorShowsOverTheButton) {
    CSkinButton& button = Button(kPageRepairSystem);
    EXPECT_EQ(button.LoadHoverCursor(IDC_HAND_CURSOR, FALSE), 0u);
    LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_TRUE(
        ::SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), overClient));
    HCURSOR shown = ::GetCursor();
    EXPECT_NE(shown, ::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(shown, nullptr);

    EXPECT_EQ(button.LoadHoverCursor(0, FALSE), 0u);
    EXPECT_EQ(button.LoadHoverCursor(9999, FALSE), 1u);
}
