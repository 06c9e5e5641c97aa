#include "app/AlertDlg.h"

#include "framework/Strings.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kShownMs = 3000;
}  // namespace

POINT PlaceAboveTaskbar(const RECT& taskbar, const RECT& desktop, SIZE window) {
    return POINT{desktop.right - window.cx, taskbar.top - window.cy};
}

void ShowAboveTaskbar(HWND window) {
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return;
    RECT taskbarRect, desktopRect, windowRect;
    ::GetWindowRect(taskbar, &taskbarRect);
    ::GetWindowRect(::GetDesktopWindow(), &desktopRect);
    ::GetWindowRect(window, &windowRect);
    SIZE size = {windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    POINT corner = PlaceAboveTaskbar(taskbarRect, desktopRect, size);
    ::ShowWindow(window, SW_SHOW);
    ::SetWindowPos(window, HWND_TOP, corner.x, corner.y, size.cx, size.cy, SWP_SHOWWINDOW);
}

CAlertDlg::CAlertDlg() : CDialog(IDD_ALERT) {}

BOOL CAlertDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    std::string state = LoadResString(IDS_SHIELD_ACTIVE);
    SetDlgItemText(IDC_ALERT_TEXT, state.c_str());
    m_stateButton.SubclassDlgItem(IDC_ALERT_STATE, this);
    m_stateButton.LoadBitmapImages(IDB_STATE_ACTIVE, RGB(255, 255, 255), 0, RGB(255, 255, 255));
    m_stateButton.SetImageAlignment(kImageAboveCaption, true);
    m_stateButton.SetTipText(state.c_str(), TRUE);
    m_stateButton.SetHoverBorder(FALSE, TRUE);
    m_stateButton.SetWindowText(LoadResString(IDS_ACTIVE).c_str());
    m_timer = ::SetTimer(m_hWnd, kHideTimer, kShownMs, nullptr);
    return TRUE;
}

LRESULT CAlertDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kHideTimer) {
        ::KillTimer(m_hWnd, m_timer);
        ShowWindow(SW_HIDE);
        return Default();
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_ALERT_STATE) return 0;
    return CDialog::WindowProc(msg, wp, lp);
}
