#include "framework/ToolTipCtrl.h"

#include "framework/WinApp.h"

namespace {
// The size every common-controls version accepts; the later fields are not used here.
TOOLINFOA MakeToolInfo(HWND window, UINT_PTR id, const char* text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = id;
    tool.hinst = AfxGetInstanceHandle();
    tool.lpszText = const_cast<char*>(text);
    return tool;
}
}  // namespace

bool CToolTipCtrl::Create(HWND owner) {
    if (m_hWnd) return true;
    m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                               nullptr, AfxGetInstanceHandle(), nullptr);
    return m_hWnd != nullptr;
}

void CToolTipCtrl::DestroyWindow() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

bool CToolTipCtrl::AddTool(HWND window, UINT_PTR id, const RECT& rect, const char* text) const {
    TOOLINFOA tool = MakeToolInfo(window, id, text);
    tool.rect = rect;
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

void CToolTipCtrl::UpdateTipText(HWND window, UINT_PTR id, const char* text) const {
    TOOLINFOA tool = MakeToolInfo(window, id, text);
    Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipCtrl::RelayEvent(const MSG& msg) const {
    Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
