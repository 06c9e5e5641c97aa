#include "framework/Dialog.h"

#include "framework/WinApp.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        DetachObject();
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    m_parent = parent;
    HWND hwnd = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    if (!Create(m_templateId, m_parent)) return -1;
    // Like the class library's modal loop: a template without WS_VISIBLE still shows.
    if (m_showWhenModal && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOW);
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    RunModalLoop();
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    DestroyWindow();
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    m_inModalLoop = true;
    m_endModal = false;
    MSG msg;
    while (!m_endModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (PreTranslateMessage(&msg)) continue;
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_inModalLoop = false;
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_inModalLoop) {
        m_modalResult = result;
        m_endModal = true;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

bool CDialog::DestroyWindow() {
    if (!m_hWnd) return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    // F1 is the help accelerator of every window of the program.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && ::GetKeyState(VK_SHIFT) >= 0 &&
        ::GetKeyState(VK_CONTROL) >= 0) {
        if (CWinApp* app = AfxGetApp()) app->OnHelp();
        return true;
    }
    return false;
}

bool CDialog::OnCommand(UINT, UINT, HWND) { return false; }

bool CDialog::OnNotify(NMHDR* header, LRESULT* result) {
    return ReflectToChild(header->hwndFrom, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(header), result);
}

LRESULT CDialog::Default() {
    m_defaultRequested = true;
    return 0;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            UINT id = LOWORD(wp), code = HIWORD(wp);
            HWND control = reinterpret_cast<HWND>(lp);
            if (control && ReflectToChild(control, msg, wp, lp, &result)) return result;
            if (OnCommand(id, code, control)) return 0;
            if (id == IDOK && code == BN_CLICKED) {
                OnOK();
                return 0;
            }
            if (id == IDCANCEL && code == BN_CLICKED) {
                OnCancel();
                return 0;
            }
            if (id == ID_HELP && code == BN_CLICKED) {
                if (CWinApp* app = AfxGetApp()) app->OnHelp();
                return 0;
            }
            return Default();
        }
        case WM_NOTIFY:
            if (OnNotify(reinterpret_cast<NMHDR*>(lp), &result)) return result;
            return Default();
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (wp != 0 && ReflectToChild(item->hwndItem, msg, wp, lp, &result)) return TRUE;
            return Default();
        }
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (ReflectToChild(reinterpret_cast<HWND>(lp), msg, wp, lp, &result)) return result;
            return Default();
        case WM_HELP:
            if (CWinApp* app = AfxGetApp()) app->OnHelp();
            return TRUE;
        default:
            return Default();
    }
}

bool CDialog::ReturnsDirectly(UINT msg) {
    switch (msg) {
        case WM_INITDIALOG:
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
    }
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    CurrentMessage savedMessage = m_current;
    bool savedDefault = m_defaultRequested;
    m_current = {msg, wp, lp};
    m_defaultRequested = false;
    LRESULT result = 0;
    try {
        result = WindowProc(msg, wp, lp);
    } catch (...) {
        m_defaultRequested = true;
    }
    bool useDefault = m_defaultRequested;
    m_current = savedMessage;
    m_defaultRequested = savedDefault;
    if (useDefault) return FALSE;
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    // Each write is a round trip to Wine's server: skip it when the slot holds the value.
    if (::GetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT) != result)
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        self->AttachObject(hwnd);
    }
    if (!self) return FALSE;
    INT_PTR handled = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->DetachObject();
        self->m_hWnd = nullptr;
        self->PostNcDestroy();
    }
    return handled;
}
