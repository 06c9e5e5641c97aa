#include "usb/PlugsweepPage.h"

#include <cstdio>

#include "framework/Strings.h"
#include "framework/Text.h"

namespace {
const ThreatListIds kScanIds = {
    IDC_SCAN_LIST,
    IDC_SCAN_RESULT,
    IDC_SCAN_DELETE,
    IDC_SCAN_DELETE_ALL,
    IDS_COLUMN_FILE,
    IDS_COLUMN_SCAN_STATE,
    true,
    0,
};
constexpr UINT_PTR kProgressTimer = 7;
constexpr UINT kProgressMs = 250;
constexpr size_t kShownFolderChars = 48;
}  // namespace

std::string ScanProgressText(const std::string& folder, unsigned long files, int threats) {
    std::string shown = folder;
    if (shown.size() > kShownFolderChars) {
        // Cut between UTF-8 characters, never inside one.
        size_t head = (kShownFolderChars - 3) / 2;
        size_t tail = shown.size() - head;
        while (head > 0 && (static_cast<unsigned char>(shown[head]) & 0xC0) == 0x80) --head;
        while (tail < shown.size() && (static_cast<unsigned char>(shown[tail]) & 0xC0) == 0x80)
            ++tail;
        shown = shown.substr(0, head) + "..." + shown.substr(tail);
    }
    char text[512];
    std::snprintf(text, sizeof(text), AnsiToUtf8(LoadResString(IDS_SCAN_PROGRESS)).c_str(),
                  shown.c_str(), files, threats);
    return text;
}

CPlugsweepPage::CPlugsweepPage() : CThreatListPage(IDD_PLUGSWEEP, kScanIds) {}

BOOL CPlugsweepPage::OnInitDialog() {
    CThreatListPage::OnInitDialog();
    AttachDlgItem(m_animation, *this, IDC_SCAN_ANIMATION);
    SetUpCommandButton(m_scanButton, IDC_SCAN_START, IDB_CMD_SCAN);
    SetUpCommandButton(m_stopButton, IDC_SCAN_STOP, IDB_CMD_STOP);
    m_suspiciousText = LoadResString(IDS_STATE_SUSPICIOUS);
    return TRUE;
}

void CPlugsweepPage::EnableCommands(bool enable) {
    CThreatListPage::EnableCommands(enable);
    m_scanButton.EnableWindow(enable && !IsScanning());
}

bool CPlugsweepPage::OnCommand(UINT id, UINT code, HWND control) {
    if (code == BN_CLICKED && id == IDC_SCAN_START) {
        OnScan();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_SCAN_STOP) {
        OnStop();
        return true;
    }
    if (code == BN_CLICKED && (id == IDC_SCAN_DELETE || id == IDC_SCAN_DELETE_ALL)) {
        // A delete must not race a scan that is replacing the rows.
        if (IsScanning()) return true;
        m_scanButton.EnableWindow(FALSE);
        CThreatListPage::OnCommand(id, code, control);
        m_scanButton.EnableWindow(!IsScanning());
        return true;
    }
    return CThreatListPage::OnCommand(id, code, control);
}

void CPlugsweepPage::OnScan() {
    if (IsScanning()) return;
    StopDeleteAll();
    auto job = std::make_shared<ScanJob>();
    job->link = NewWorkerLink();
    m_scan = job;
    m_scanButton.EnableWindow(FALSE);
    if (!StartScanJob(job)) {
        CutWorkerLink();
        m_scan.reset();
        m_scanButton.EnableWindow(TRUE);
    }
}

void CPlugsweepPage::OnStop() {
    if (m_scan) m_scan->m_bScanning = false;
}

void CPlugsweepPage::OnScanStarted() {
    m_animation.Open(IDR_SCAN_AVI);
    m_animation.Play(0, 0xFFFF, static_cast<UINT>(-1));
    ClearRows();
    ::SetTimer(m_hWnd, kProgressTimer, kProgressMs, nullptr);
    ShowProgress();
}

void CPlugsweepPage::ShowPendingRows() {
    if (m_scan) AddThreatRows(m_scan->TakeRows(), m_suspiciousText);
}

void CPlugsweepPage::ShowProgress() {
    if (!m_scan) return;
    std::string text =
        ScanProgressText(m_scan->CurrentFolder(), m_scan->filesExamined, m_scan->threatsFound);
    ::SetDlgItemTextW(m_hWnd, IDC_SCAN_RESULT, Utf8ToWide(text).c_str());
}

void CPlugsweepPage::RedrawUnder(const CWnd& control) const {
    RECT area;
    ::GetWindowRect(control.m_hWnd, &area);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPlugsweepPage::OnScanDone(bool noDrive) {
    ::KillTimer(m_hWnd, kProgressTimer);
    if (noDrive) {
        SetResultLine(0);
    } else {
        ShowPendingRows();
        m_animation.Close();
        // Closing leaves the last frame on the screen under Wine: the control is transparent
        // and paints nothing once closed, so the page must repaint the spot.
        RedrawUnder(m_animation);
        SetResultLine(RowCount());
    }
    CutWorkerLink();
    m_scan.reset();
    EnableCommands(true);
}

LRESULT CPlugsweepPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_SCAN_BEGIN:
            EnableCommands(false);
            return 0;
        case WM_APP_SCAN_STARTED:
            OnScanStarted();
            return 0;
        case WM_APP_SCAN_DONE:
            OnScanDone(wp != 0);
            return 0;
        case WM_TIMER:
            if (wp != kProgressTimer) return Default();
            ShowPendingRows();
            ShowProgress();
            return 0;
        case WM_DESTROY:
            if (m_scan) m_scan->m_bScanning = false;
            return CThreatListPage::WindowProc(msg, wp, lp);
        default:
            return CThreatListPage::WindowProc(msg, wp, lp);
    }
}
