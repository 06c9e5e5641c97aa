#include "framework/Wnd.h"

#include "framework/WinApp.h"

#include <unordered_map>

namespace {
// Window to object, inside the process: a window property would cost a round trip to Wine's
// server on every message, and start-up sends thousands.
class ObjectMap {
  public:
    ObjectMap() { ::InitializeCriticalSection(&m_lock); }
    void Set(HWND hwnd, CWnd* object) {
        ::EnterCriticalSection(&m_lock);
        m_objects[hwnd] = object;
        ::LeaveCriticalSection(&m_lock);
    }
    void Erase(HWND hwnd, const CWnd* object) {
        ::EnterCriticalSection(&m_lock);
        auto found = m_objects.find(hwnd);
        if (found != m_objects.end() && found->second == object) m_objects.erase(found);
        ::LeaveCriticalSection(&m_lock);
    }
    CWnd* Find(HWND hwnd) {
        ::EnterCriticalSection(&m_lock);
        auto found = m_objects.find(hwnd);
        CWnd* object = found == m_objects.end() ? nullptr : found->second;
        ::LeaveCriticalSection(&m_lock);
        return object;
    }

  private:
    CRITICAL_SECTION m_lock;
    std::unordered_map<HWND, CWnd*> m_objects;
};

// Never destroyed: windows may still receive messages while static objects go away.
ObjectMap& Objects() {
    static ObjectMap* objects = new ObjectMap;
    return *objects;
}
}  // namespace

CWnd::~CWnd() {
    if (m_subclassed && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) { return hwnd ? Objects().Find(hwnd) : nullptr; }

void CWnd::AttachObject(HWND hwnd) {
    m_hWnd = hwnd;
    Objects().Set(hwnd, this);
}

void CWnd::DetachObject() {
    if (m_hWnd) Objects().Erase(m_hWnd, this);
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

void CWnd::CenterWindow() const {
    RECT window, area;
    ::GetWindowRect(m_hWnd, &window);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = window.right - window.left, height = window.bottom - window.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::WinHelp(DWORD_PTR, UINT) {}
