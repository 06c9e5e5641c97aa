#pragma once
// A dialog made straight from one of the program's templates, with no code behind it, so a
// test can measure its controls in the fonts and units the program itself gets.
#include <windows.h>
#include <commctrl.h>

#include <string>

class TemplateDialog {
  public:
    explicit TemplateDialog(UINT templateId) {
        INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                         ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
        ::InitCommonControlsEx(&controls);
        m_host = ::CreateWindowExA(0, "STATIC", "template host", WS_POPUP | WS_VISIBLE, 20, 20, 800,
                                   500, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        m_dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                        m_host, NoHandlers, 0);
        if (m_dialog) ::ShowWindow(m_dialog, SW_SHOW);
    }
    ~TemplateDialog() {
        if (m_dialog) ::DestroyWindow(m_dialog);
        if (m_host) ::DestroyWindow(m_host);
    }
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    HWND get() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

    static SIZE ClientSize(HWND window) {
        RECT rect = {};
        ::GetClientRect(window, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

    // Height of a control's caption as the skin button lays it out: word-wrapped and
    // centred across the whole button width, in the control's own font.
    static int CaptionHeight(HWND control) {
        char text[256] = {};
        ::GetWindowTextA(control, text, sizeof(text));
        if (!text[0]) return 0;
        RECT rect = {0, 0, ClientSize(control).cx, 0};
        HDC dc = ::GetDC(control);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        return rect.bottom - rect.top;
    }

    // Pumps the messages of this thread for a while, so that windows paint.
    static void Pump(DWORD ms) {
        DWORD end = ::GetTickCount() + ms;
        do {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            ::Sleep(10);
        } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
    }

  private:
    static INT_PTR CALLBACK NoHandlers(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    HWND m_host = nullptr;
    HWND m_dialog = nullptr;
};
