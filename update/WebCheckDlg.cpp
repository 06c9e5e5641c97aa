#include "update/WebCheckDlg.h"

#include "framework/Strings.h"
#include "framework/TaskbarCorner.h"
#include "res/resource.h"
#include "update/UpdateCheck.h"
#include "update/UpdateOffer.h"
#include "update/Updater.h"

CWebCheckDlg::CWebCheckDlg() : CDialog(IDD_WEBCHECK) {}

BOOL CWebCheckDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_link = WorkerLink::Create(m_hWnd);
    return TRUE;
}

bool CWebCheckDlg::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_WEBCHECK_UPDATE || code != BN_CLICKED) return false;
    OnUpdate();
    return true;
}

void CWebCheckDlg::OnUpdate() {
    if (LaunchUpdater()) {
        OnCancel();
        if (m_host) m_host->RequestQuit();
        return;
    }
    AfxMessageBox(IDS_UPDATER_NOT_FOUND, MB_OK);
    OnCancel();
}

void CWebCheckDlg::ShowOffer(std::unique_ptr<UpdateOffer> offer) {
    SetDlgItemText(IDC_WEBCHECK_VERSION, offer->version.c_str());
    SetDlgItemText(IDC_WEBCHECK_CHANGE, offer->change.c_str());
    ShowAboveTaskbar(m_hWnd);
}

void CWebCheckDlg::DropPendingOffers() {
    MSG msg;
    while (::PeekMessageA(&msg, m_hWnd, WM_APP_UPDATE_OFFER, WM_APP_UPDATE_OFFER, PM_REMOVE))
        delete reinterpret_cast<UpdateOffer*>(msg.lParam);
}

LRESULT CWebCheckDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_UPDATE_OFFER:
            ShowOffer(std::unique_ptr<UpdateOffer>(reinterpret_cast<UpdateOffer*>(lp)));
            return 0;
        case WM_DESTROY:
            if (m_link) m_link->Cut();
            DropPendingOffers();
            return CDialog::WindowProc(msg, wp, lp);
        default:
            return CDialog::WindowProc(msg, wp, lp);
    }
}
