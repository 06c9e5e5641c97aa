#include "quarantine/QuarantinePage.h"

#include "framework/Handles.h"
#include "framework/Strings.h"
#include "framework/Thread.h"
#include "quarantine/QuarantineList.h"
#include "quarantine/QuarantineStore.h"
#include "usb/ThreatDeletion.h"

namespace {
constexpr int kColumnWidth = 410;
constexpr DWORD kGridAndFullRow = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

struct EmptyJob {
    std::shared_ptr<WorkerLink> link;
    std::vector<std::string> files;
};

UINT EmptyQuarantineThread(EmptyJob& job) {
    job.link->Post(WM_APP_EMPTY_BEGIN);
    // The deletion starts when the user closes the notice.
    AfxMessageBox(IDS_PLEASE_WAIT, MB_OK);
    for (const std::string& file : job.files) {
        if (job.link->IsCut()) return 0;
        DeleteQuarantineFile(file);
    }
    if (!job.link->Post(WM_APP_EMPTY_DONE)) return 0;
    AfxMessageBox(IDS_EMPTY_COMPLETED, MB_OK);
    return 0;
}

void SetUpButton(CSkinButton& button, CWnd* page, UINT id, UINT bitmap, UINT tip) {
    AttachCommandButton(button, page, id, bitmap, LoadResString(tip).c_str());
}
}  // namespace

UINT RestoreResultStringId(int result) {
    if (result == 1) return IDS_RESTORE_SUCCEEDED;
    if (result == 2) return IDS_RESTORED_TO_DESKTOP;
    return IDS_RESTORE_FAILED_RESTORED;
}

bool StartEmptyQuarantine(std::shared_ptr<WorkerLink> link, std::vector<std::string> files) {
    auto job = std::make_shared<EmptyJob>(EmptyJob{std::move(link), std::move(files)});
    return StartJobThread<EmptyJob, EmptyQuarantineThread>(std::move(job));
}

BOOL CQuarantinePage::OnInitDialog() {
    CPage::OnInitDialog();
    AttachDlgItem(m_list, *this, IDC_QUARANTINE_LIST);
    m_list.SetExtendedStyle(kGridAndFullRow);
    m_list.InsertColumn(0, LoadResString(IDS_COLUMN_ORIGIN).c_str(), LVCFMT_LEFT, kColumnWidth);
    m_list.InsertColumn(1, LoadResString(IDS_COLUMN_QUARANTINE).c_str(), LVCFMT_LEFT, kColumnWidth);
    SetUpButton(m_refreshButton, this, IDC_QUARANTINE_REFRESH, IDB_CMD_REFRESH,
                IDS_TIP_REFRESH_LIST);
    SetUpButton(m_restoreButton, this, IDC_QUARANTINE_RESTORE, IDB_CMD_RESTORE,
                IDS_TIP_RESTORE_FILE);
    SetUpButton(m_emptyButton, this, IDC_QUARANTINE_EMPTY, IDB_CMD_DELETE, IDS_TIP_EMPTY);
    RefreshQuarantineList();
    return TRUE;
}

void CQuarantinePage::EnableButtons(bool enable) {
    m_refreshButton.EnableWindow(enable);
    m_restoreButton.EnableWindow(enable);
    m_emptyButton.EnableWindow(enable);
}

void CQuarantinePage::RefreshQuarantineList() {
    char folder[kPathBufferSize] = {};
    bool haveFolder = GetQuarantineDirectory(folder);
    EnableButtons(false);
    m_list.DeleteAllItems();
    if (haveFolder) {
        for (const QuarantineEntry& entry : ListQuarantineFiles(folder)) {
            int row = m_list.InsertItem(m_list.GetItemCount(), entry.origin.c_str());
            if (row >= 0) m_list.SetItemText(row, 1, entry.path.c_str());
        }
    }
    EnableButtons(true);
}

bool CQuarantinePage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_QUARANTINE_REFRESH:
            RefreshQuarantineList();
            return true;
        case IDC_QUARANTINE_RESTORE:
            OnRestore();
            return true;
        case IDC_QUARANTINE_EMPTY:
            OnEmpty();
            return true;
        default:
            return false;
    }
}

void CQuarantinePage::OnRestore() {
    int selected = m_list.GetSelectedItem();
    int rows = m_list.GetItemCount();
    EnableButtons(false);
    if (rows == 0) {
        AfxMessageBox(IDS_NOTHING_FOUND, MB_OK);
    } else if (selected < 0) {
        AfxMessageBox(IDS_SELECT_FILE, MB_OK);
    } else {
        std::string origin = m_list.GetItemText(selected, 0);
        std::string question = LoadResString(IDS_RESTORE_PREFIX) + origin + "?";
        if (AfxMessageBox(question, MB_OKCANCEL) == IDOK) {
            std::string file = m_list.GetItemText(selected, 1);
            if (!ThreatFileExists(file))
                AfxMessageBox(IDS_RESTORE_FAILED_ABSENT, MB_OK);
            else
                AfxMessageBox(RestoreResultStringId(RestoreQuarantinedFile(file.c_str())), MB_OK);
        }
    }
    EnableButtons(true);
}

void CQuarantinePage::OnEmpty() {
    int rows = m_list.GetItemCount();
    if (rows == 0) {
        AfxMessageBox(IDS_NOTHING_FOUND, MB_OK);
        return;
    }
    if (AfxMessageBox(IDS_ASK_EMPTY, MB_OKCANCEL) != IDOK) return;
    std::vector<std::string> files;
    for (int row = 0; row < rows; ++row) files.push_back(m_list.GetItemText(row, 1));
    if (m_emptyLink) m_emptyLink->Cut();
    m_emptyLink = WorkerLink::Create(m_hWnd);
    EnableButtons(false);
    if (!StartEmptyQuarantine(m_emptyLink, std::move(files))) EnableButtons(true);
}

LRESULT CQuarantinePage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_EMPTY_BEGIN:
            EnableButtons(false);
            return 0;
        case WM_APP_EMPTY_DONE:
            m_emptyLink.reset();
            RefreshQuarantineList();
            return 0;
        case WM_DESTROY:
            if (m_emptyLink) m_emptyLink->Cut();
            return Default();
        default:
            return CPage::WindowProc(msg, wp, lp);
    }
}
