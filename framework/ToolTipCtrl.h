#pragma once
// An owned tooltip window for one control: created on demand, destroyed with the object.
#include <windows.h>
#include <commctrl.h>

class CToolTipCtrl {
  public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() { DestroyWindow(); }
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    // A tooltip owned by `owner` that shows whether or not its window is active.
    bool Create(HWND owner);
    void DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsCreated() const { return m_hWnd != nullptr; }

    void Activate(BOOL active) const { Send(TTM_ACTIVATE, active, 0); }
    void SetMaxTipWidth(int width) const { Send(TTM_SETMAXTIPWIDTH, 0, width); }
    int GetToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT, 0, 0)); }
    bool AddTool(HWND window, UINT_PTR id, const RECT& rect, const char* text) const;
    void UpdateTipText(HWND window, UINT_PTR id, const char* text) const;
    void RelayEvent(const MSG& msg) const;

  private:
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const {
        return m_hWnd ? ::SendMessageA(m_hWnd, msg, wp, lp) : 0;
    }

    HWND m_hWnd = nullptr;
};
