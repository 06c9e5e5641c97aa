#include "controls/HyperLink.h"

#include "controls/LinkTarget.h"
#include "framework/Strings.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {
constexpr UINT kHoverPeriodMs = 100;
constexpr UINT_PTR kToolId = 1;

HFONT FontOf(HWND window) {
    auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    return font;
}

RECT RectInParent(HWND window, const RECT& screenRect) {
    RECT rect = screenRect;
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
}  // namespace

CHyperLink::~CHyperLink() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::KillTimer(m_hWnd, kHoverTimer);
}

void CHyperLink::PreSubclassWindow() {
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, GetStyle() | SS_NOTIFY);
    std::string text = GetWindowText();
    if (m_target.empty()) m_target = text;
    if (text.empty()) SetWindowText(m_target.c_str());

    LOGFONTA font = {};
    ::GetObjectA(FontOf(m_hWnd), sizeof(font), &font);
    font.lfUnderline = FALSE;
    m_standardFont.reset(::CreateFontIndirectA(&font));
    font.lfUnderline = TRUE;
    m_underlinedFont.reset(::CreateFontIndirectA(&font));

    FitToText();
    LoadHandCursor();
    if (m_underlineMode == 1) UseFont(true);
}

void CHyperLink::RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp) {
    // Made when the pointer first comes: a tooltip window at start-up costs Wine dozens of
    // round trips to its server.
    if (!m_toolTip.IsCreated()) {
        if (!m_toolTip.Create(m_hWnd)) return;
        RECT client;
        GetClientRect(&client);
        m_toolTip.AddTool(m_hWnd, kToolId, client, m_target.c_str());
        m_toolTip.Activate(TRUE);
    }
    MSG relayed = {m_hWnd, msg, wp, lp, 0, {}};
    m_toolTip.RelayEvent(relayed);
}

void CHyperLink::SetLinkTarget(std::string target) {
    m_target = std::move(target);
    // The link stays fitted to its text, which the target does not change.
    if (!m_hWnd) return;
    m_toolTip.UpdateTipText(m_hWnd, kToolId, m_target.c_str());
}

void CHyperLink::SetUnderlineMode(int mode) {
    if (mode != m_underlineMode && m_hWnd) {
        UseFont(mode == 1);
        Invalidate();
    }
    m_underlineMode = mode;
}

COLORREF CHyperLink::CurrentTextColor() const {
    if (m_over) return m_hoverColor;
    return m_visited ? m_visitedColor : m_linkColor;
}

void CHyperLink::UseFont(bool underlined) {
    HFONT font = underlined ? m_underlinedFont.get() : m_standardFont.get();
    if (font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void CHyperLink::FitToText() {
    if (!m_hWnd || !m_fitToText) return;
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    std::string text = GetWindowText();
    SIZE size = {};
    HDC dc = ::GetDC(m_hWnd);
    {
        SelectedObject selected(dc,
                                m_underlinedFont.get() ? m_underlinedFont.get() : FontOf(m_hWnd));
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    ::ReleaseDC(m_hWnd, dc);
    RECT fitted =
        FitLinkRect(RectInParent(m_hWnd, window), client, size, static_cast<DWORD>(GetStyle()));
    SetWindowPos(nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::LoadHandCursor() {
    if (m_cursor) return;
    // The program's own hand, the one its buttons show. (Borrowing the old help viewer's
    // hand cursor costs a library load at start-up, and current systems no longer have it.)
    HCURSOR own = ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    if (own) m_cursor.reset(::CopyIcon(own));
}

void CHyperLink::OnMouseMove() {
    if (m_over) return;
    m_over = true;
    if (m_underlineMode == -1) UseFont(true);
    Invalidate();
    ::SetTimer(m_hWnd, kHoverTimer, kHoverPeriodMs, nullptr);
}

void CHyperLink::OnHoverTimer() {
    POINT pointer;
    ::GetCursorPos(&pointer);
    ::ScreenToClient(m_hWnd, &pointer);
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, pointer)) return;
    m_over = false;
    ::KillTimer(m_hWnd, kHoverTimer);
    if (m_underlineMode != 1) UseFont(false);
    // The underline reaches below the client area of a fitted link.
    client.bottom += 10;
    ::InvalidateRect(m_hWnd, &client, TRUE);
}

void CHyperLink::OnClicked() {
    m_over = false;
    INT_PTR result = OpenLinkTarget(m_target, SW_SHOW);
    m_visited = result > 32;
    Invalidate();
    if (m_visited) return;
    ::MessageBeep(MB_ICONEXCLAMATION);
    AfxMessageBox(OpenErrorText(result), MB_ICONEXCLAMATION | MB_OK);
}

bool CHyperLink::OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
    if (msg == WM_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, CurrentTextColor());
        ::SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED) {
        OnClicked();
        *result = 0;
        return true;
    }
    return false;
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) RelayToToolTip(msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(&client);
            ::FillRect(reinterpret_cast<HDC>(wp), &client, ::GetSysColorBrush(COLOR_3DFACE));
            return TRUE;
        }
        case WM_SETCURSOR:
            if (!m_cursor) return FALSE;
            ::SetCursor(m_cursor.get());
            return TRUE;
        case WM_MOUSEMOVE:
            OnMouseMove();
            return Default();
        case WM_TIMER:
            if (wp == kHoverTimer) OnHoverTimer();
            return Default();
        case WM_DESTROY:
            ::KillTimer(m_hWnd, kHoverTimer);
            return Default();
        default:
            return Default();
    }
}
