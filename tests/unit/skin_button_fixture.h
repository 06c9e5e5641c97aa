#pragma once
// Skin buttons on a real dialog of the program (the main window's template, shown as a
// top-level window of the test), driven by the messages the system would send.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>

#include "app/PageTable.h"
#include "controls/SkinButton.h"
#include "controls/SkinButtonLayout.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tests/support/Wait.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);

class ButtonTestDialog : public CDialog {
  public:
    explicit ButtonTestDialog(UINT templateId) : CDialog(templateId) {}
    int Clicks(UINT id) const {
        auto found = m_clicks.find(id);
        return found == m_clicks.end() ? 0 : found->second;
    }

  protected:
    bool OnCommand(UINT id, UINT code, HWND) override {
        if (code == BN_CLICKED) ++m_clicks[id];
        return true;
    }

  private:
    std::map<UINT, int> m_clicks;
};

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Waits for a condition while this thread's messages keep flowing.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000) {
    return WaitUntil(
        [&] {
            PumpMessages();
            return condition();
        },
        timeoutMs, 10);
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
    UINT ButtonId(int index) const { return PageByIndex(index).buttonId; }

    static POINT Centre(HWND window) {
        RECT client;
        ::GetClientRect(window, &client);
        return {client.right / 2, client.bottom / 2};
    }
    static LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }

    // Under Wine a warp of the pointer can be refused while the display is busy: try again
    // until the pointer is there.
    static bool PlaceCursor(POINT screen) {
        return PumpUntil([&] {
            ::SetCursorPos(screen.x, screen.y);
            POINT now;
            return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        });
    }
    // The pointer really goes there, and the button hears of it.
    static void MoveOnto(HWND button, WPARAM keys = 0) {
        POINT centre = Centre(button), screen = centre;
        ::ClientToScreen(button, &screen);
        EXPECT_TRUE(PlaceCursor(screen));
        ::SendMessageA(button, WM_MOUSEMOVE, keys, At(centre));
    }
    static void MoveAway(HWND button) {
        EXPECT_TRUE(PlaceCursor({2, 2}));
        POINT outside = {-2, -2};
        ::SendMessageA(button, WM_MOUSEMOVE, 0, At(outside));
    }
    static void DrawNow(HWND window) {
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    static UINT ButtonType(HWND button) {
        return static_cast<UINT>(::GetWindowLongPtrA(button, GWL_STYLE)) & BS_TYPEMASK;
    }

    ButtonTestDialog m_dialog{IDD_MAIN};
    CSkinButton m_buttons[kPageCount];
};
