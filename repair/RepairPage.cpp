#include "repair/RepairPage.h"

#include "framework/Strings.h"

namespace {
constexpr int kPageIndex = 7;
// The waiting rows are shown four times a second while a tool runs, and once a second when the
// list's view is full and more rows only move its scroll bar: each turn costs the list a new
// scroll range, which under load takes it tens of milliseconds.
constexpr UINT_PTR kRowsTimer = 1;
constexpr UINT kRowsPeriodMs = 250;
constexpr DWORD kFullViewPeriodMs = 1000;
}  // namespace

CRepairPage::CRepairPage()
    : CListPage(IDD_REPAIR, IDC_REPAIR_LIST,
                {{IDS_COLUMN_CONTENT, 500}, {IDS_COLUMN_REPAIR_STATE, 235}}) {}

BOOL CRepairPage::OnInitDialog() {
    CListPage::OnInitDialog();
    AttachDlgItem(m_animation, *this, IDC_REPAIR_ANIMATION);
    SetUpCommandButton(m_repairButton, IDC_REPAIR_REGISTRY, IDB_CMD_REPAIR_REGISTRY,
                       IDS_TIP_REPAIR_REGISTRY);
    SetUpCommandButton(m_cleanupButton, IDC_REPAIR_CLEANUP, IDB_CMD_DISK_CLEANUP,
                       IDS_TIP_DISK_CLEANUP);
    return TRUE;
}

bool CRepairPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_REPAIR_REGISTRY) {
        Ask(IDS_ASK_REPAIR, RepairTool::Registry);
        return true;
    }
    if (id == IDC_REPAIR_CLEANUP) {
        Ask(IDS_ASK_CLEANUP, RepairTool::Cleanup);
        return true;
    }
    return false;
}

void CRepairPage::Ask(UINT questionId, RepairTool tool) {
    // A click that waited in the queue while a tool started finds it running.
    if (m_job) return;
    if (AfxMessageBox(questionId, MB_OKCANCEL) == IDOK) Start(tool);
}

void CRepairPage::Start(RepairTool tool) {
    EnableButtons(false);
    m_job = std::make_shared<RepairJob>(NewWorkerLink());
    m_tool = tool;
    if (!StartRepairTool(m_job, tool)) {
        m_job.reset();
        CutWorkerLink();
        EnableButtons(true);
        return;
    }
    // The page gets ready while the worker already works: rows wait in the job until taken.
    ClearRows();
    if (tool == RepairTool::Cleanup && m_animation.Open(IDR_CLEANUP_AVI)) m_animation.Play();
    ::SetTimer(m_hWnd, kRowsTimer, kRowsPeriodMs, nullptr);
}

void CRepairPage::ShowWaitingRows() {
    if (m_job) AddRows(m_job->TakeRows());
    m_rowsShownAt = ::GetTickCount();
}

void CRepairPage::OnRowsTimer() {
    if (ViewIsFull() && ::GetTickCount() - m_rowsShownAt < kFullViewPeriodMs) return;
    ShowWaitingRows();
}

void CRepairPage::Finish() {
    ::KillTimer(m_hWnd, kRowsTimer);
    ShowWaitingRows();
    CutWorkerLink();
    if (m_tool != RepairTool::Cleanup) return End();
    m_animation.Stop();
    m_animation.Close();
    Host()->RequestShowPage(kPageIndex);
    // The notice in a turn of its own, once the window has come forward: each is tens of
    // milliseconds of work under load, and the window answers in between.
    PostMessage(WM_APP_REPAIR_NOTICE);
}

void CRepairPage::End() {
    m_job.reset();
    EnableButtons(true);
}

void CRepairPage::EnableButtons(bool enable) {
    m_repairButton.EnableWindow(enable);
    m_cleanupButton.EnableWindow(enable);
}

LRESULT CRepairPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_REPAIR_ROWS:
            ShowWaitingRows();
            return 0;
        case WM_TIMER:
            if (wp != kRowsTimer) return CListPage::WindowProc(msg, wp, lp);
            OnRowsTimer();
            return 0;
        case WM_APP_REPAIR_DONE:
            if (m_job) Finish();
            return 0;
        case WM_APP_REPAIR_NOTICE:
            if (!m_job) return 0;
            AfxMessageBox(IDS_CLEAN_COMPLETED, MB_OK);
            End();
            return 0;
        default:
            return CListPage::WindowProc(msg, wp, lp);
    }
}
