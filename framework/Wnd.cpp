#include "framework/Wnd.h"

#include "framework/WinApp.h"

CWnd::~CWnd() {
    if (m_subclassed && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

// The object of a window of this program is kept in the window's user slot: reading it is a
// local call even under Wine, where a window property costs a round trip to the server on
// every message.
CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

void CWnd::AttachObject(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::DetachObject() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
}

// A plain window-procedure subclass rather than comctl32's SetWindowSubclass, whose look-up
// of its chain is a window property, read on every message.
bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_subclassed) return false;
    AttachObject(hwnd);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    if (!m_previousProc) {
        DetachObject();
        m_hWnd = nullptr;
        return false;
    }
    m_subclassed = true;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::UnsubclassWindow() {
    if (!m_subclassed) return;
    // Only when no later subclass sits on top of this one; otherwise the chain stays intact.
    if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SubclassProc))
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    DetachObject();
    m_subclassed = false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self || !self->m_previousProc) return ::DefWindowProcA(hwnd, msg, wp, lp);
    CurrentMessage saved = self->m_current;
    self->m_current = {msg, wp, lp};
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        result = self->CallPrevious(msg, wp, lp);
    }
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        self->DetachObject();
        self->m_subclassed = false;
        self->m_hWnd = nullptr;
        self->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
    return ::CallWindowProcA(m_previousProc, m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CWnd::Default() { return CallPrevious(m_current.msg, m_current.wp, m_current.lp); }

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool CWnd::ReflectToChild(HWND child, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    CWnd* object = FromHandlePermanent(child);
    return object && object->OnChildNotify(msg, wp, lp, result);
}

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWnd::CenterWindow(int width, int height) const {
    RECT area;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::WinHelp(DWORD_PTR, UINT) {}

namespace {
struct PopupSearch {
    HWND owner;
    HWND popup;
};

BOOL CALLBACK FindEnabledPopup(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<PopupSearch*>(param);
    if (::GetWindow(window, GW_OWNER) != search->owner || !::IsWindowVisible(window) ||
        !::IsWindowEnabled(window))
        return TRUE;
    search->popup = window;
    return FALSE;
}
}  // namespace

// Searched by hand: GetWindow's GW_ENABLEDPOPUP finds nothing under Wine.
void BringToFront(HWND window) {
    ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
    PopupSearch search = {window, nullptr};
    ::EnumThreadWindows(::GetWindowThreadProcessId(window, nullptr), FindEnabledPopup,
                        reinterpret_cast<LPARAM>(&search));
    if (search.popup) ::SetForegroundWindow(search.popup);
}
