#pragma once
// Non-owning window wrapper. A CWnd never destroys the window it refers to; dialogs and
// subclassed controls find their object again in the window's user slot.
#include <windows.h>

#include <string>

class CWnd {
  public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to a window by SubclassWindow or a dialog, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Routes the window's messages through WindowProc until the window goes away.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    void UnsubclassWindow();

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendMessageA(m_hWnd, msg, wp, lp);
    }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::PostMessageA(m_hWnd, msg, wp, lp);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, w, h, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags);
    }
    // Gives the window this size, centred in the work area, in one move.
    void CenterWindow(int width, int height) const;
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL SetForegroundWindow() const { return ::SetForegroundWindow(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void SetIcon(HICON icon, BOOL big) const {
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    // Help requests (F1, the help command) end here; the main window overrides it.
    virtual void WinHelp(DWORD_PTR data, UINT command);

  protected:
    // Every message of a subclassed window or dialog passes here first.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The default processing of the message being handled now.
    virtual LRESULT Default();
    // The window's procedure from before the subclass, for a message of the caller's choice.
    LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);
    // Messages a parent hands back to the child that caused them (WM_DRAWITEM and the like).
    // Returns true when handled, with the result in `result`.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // Called after the window received its last message; the object is detached by then.
    virtual void PostNcDestroy() {}
    // Called once SubclassWindow has attached the object to its window.
    virtual void PreSubclassWindow() {}

    void AttachObject(HWND hwnd);
    void DetachObject();
    // Lets a parent reflect a notification to the child window that sent it.
    static bool ReflectToChild(HWND child, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    CurrentMessage m_current{};

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool m_subclassed = false;
    WNDPROC m_previousProc = nullptr;
};

// Restores `window` and makes it the foreground window; a question it is waiting on (its
// enabled popup) comes in front of it, since the window itself is disabled meanwhile.
void BringToFront(HWND window);
