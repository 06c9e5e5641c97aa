#include "framework/Wnd.h"

#include <commctrl.h>

#include "framework/WinApp.h"

namespace {
const char kObjectProperty[] = "Koravant.CWnd";
const UINT_PTR kSubclassId = 0x4B56;
}  // namespace

CWnd::~CWnd() {
    if (m_subclassed && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty));
}

void CWnd::AttachObject(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropA(hwnd, kObjectProperty, this);
}

void CWnd::DetachObject() {
    if (m_hWnd) ::RemovePropA(m_hWnd, kObjectProperty);
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_subclassed) return false;
    if (!::SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    AttachObject(hwnd);
    m_subclassed = true;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::UnsubclassWindow() {
    if (!m_subclassed) return;
    ::RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
    DetachObject();
    m_subclassed = false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR refData) {
    auto* self = reinterpret_cast<CWnd*>(refData);
    CurrentMessage saved = self->m_current;
    self->m_current = {msg, wp, lp};
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        result = ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        self->DetachObject();
        self->m_subclassed = false;
        self->m_hWnd = nullptr;
        self->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CWnd::Default() {
    return ::DefSubclassProc(m_hWnd, m_current.msg, m_current.wp, m_current.lp);
}

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
