#include "app/AlertDlg.h"

#include "framework/Strings.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kShownMs = 3000;
}  // namespace

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
    // No focus: setting it would activate the window, and the main window takes the
    // activation as soon as it is made anyway.
    return FALSE;
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
