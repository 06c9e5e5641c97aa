#include "repair/RepairPage.h"

#include "framework/Strings.h"

namespace {
constexpr int kPageIndex = 7;
constexpr int kContentWidth = 500, kStateWidth = 235;
}  // namespace

BOOL CRepairPage::OnInitDialog() {
    CPage::OnInitDialog();
    AttachDlgItem(m_animation, *this, IDC_REPAIR_ANIMATION);
    AttachDlgItem(m_list, *this, IDC_REPAIR_LIST);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, LoadResString(IDS_COLUMN_CONTENT).c_str(), LVCFMT_LEFT, kContentWidth);
    m_list.InsertColumn(1, LoadResString(IDS_COLUMN_REPAIR_STATE).c_str(), LVCFMT_LEFT,
                        kStateWidth);
    AttachCommandButton(m_repairButton, this, IDC_REPAIR_REGISTRY, IDB_CMD_REPAIR_REGISTRY,
                        LoadResString(IDS_TIP_REPAIR_REGISTRY).c_str());
    AttachCommandButton(m_cleanupButton, this, IDC_REPAIR_CLEANUP, IDB_CMD_DISK_CLEANUP,
                        LoadResString(IDS_TIP_DISK_CLEANUP).c_str());
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
    // A click that waited in the queue behind a running tool's start finds it running.
    if (m_job) return;
    if (AfxMessageBox(questionId, MB_OKCANCEL) == IDOK) Start(tool);
}

void CRepairPage::Start(RepairTool tool) {
    EnableButtons(false);
    m_list.DeleteAllItems();
    if (tool == RepairTool::Cleanup && m_animation.Open(IDR_CLEANUP_AVI)) m_animation.Play();
    m_job = std::make_shared<RepairJob>(WorkerLink::Create(m_hWnd));
    if (!StartRepairTool(m_job, tool)) {
        m_job.reset();
        EnableButtons(true);
        m_animation.Close();
    }
}

void CRepairPage::ShowWaitingRows() {
    if (m_job) AddRows(m_job->TakeRows());
}

void CRepairPage::OnToolDone(RepairTool tool) {
    ShowWaitingRows();
    m_job.reset();
    EnableButtons(true);
    if (tool != RepairTool::Cleanup) return;
    m_animation.Stop();
    m_animation.Close();
    Host()->RequestShowPage(kPageIndex);
    AfxMessageBox(IDS_CLEAN_COMPLETED, MB_OK);
}

void CRepairPage::EnableButtons(bool enable) {
    m_repairButton.EnableWindow(enable);
    m_cleanupButton.EnableWindow(enable);
}

void CRepairPage::AddRows(const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) return;
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    for (const auto& row : rows) {
        int item = m_list.InsertItem(m_list.GetItemCount(), row[0].c_str());
        if (item >= 0) m_list.SetItemText(item, 1, row[1].c_str());
    }
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_list.m_hWnd, nullptr, FALSE);
}

LRESULT CRepairPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_REPAIR_ROWS:
            ShowWaitingRows();
            return 0;
        case WM_APP_REPAIR_DONE:
            OnToolDone(static_cast<RepairTool>(wp));
            return 0;
        case WM_DESTROY:
            if (m_job) m_job->link->Cut();
            return Default();
        default:
            return CPage::WindowProc(msg, wp, lp);
    }
}
