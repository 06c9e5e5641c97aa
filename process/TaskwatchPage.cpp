#include "process/TaskwatchPage.h"

#include "framework/Strings.h"
#include "framework/Text.h"
#include "process/ProcessDeletion.h"

namespace {
constexpr int kTaskwatchPage = 5;

std::vector<ListColumn> Columns() {
    return {{IDS_COLUMN_PROCESS, 200}, {IDS_COLUMN_SECURITY, 120}, {IDS_COLUMN_PROCESS_PATH, 500}};
}

std::vector<ListRow> ToListRows(const std::vector<FlaggedProcess>& processes) {
    const std::string risky = AnsiToUtf8(LoadResString(IDS_STATE_RISKY));
    const std::string suspicious = AnsiToUtf8(LoadResString(IDS_STATE_SUSPICIOUS));
    std::vector<ListRow> rows;
    for (const FlaggedProcess& process : processes) {
        bool isRisky = process.verdict == ProcessVerdict::kRisky;
        rows.push_back({process.name, isRisky ? risky : suspicious, process.path});
    }
    return rows;
}
}  // namespace

CTaskwatchPage::CTaskwatchPage() : CListPage(IDD_TASKWATCH, IDC_TASK_LIST, Columns()) {}

BOOL CTaskwatchPage::OnInitDialog() {
    CListPage::OnInitDialog();
    AttachDlgItem(m_processList, *this, IDC_TASK_LIST);
    AttachDlgItem(m_status, *this, IDC_TASK_STATUS);
    m_statusFont.reset(::CreateFontA(20, 10, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     FF_SWISS, "Arial"));
    m_status.SetFont(m_statusFont.get(), TRUE);
    SetUpCommandButton(m_deleteButton, IDC_TASK_DELETE, IDB_CMD_DELETE);
    m_monitor = std::make_shared<MonitorJob>();
    m_monitor->link = NewWorkerLink();
    if (!StartProcessMonitor(m_monitor)) m_monitor.reset();
    return TRUE;
}

void CTaskwatchPage::RefreshProcessList() {
    std::vector<ProcessEntry> running;
    DWORD tick = ::GetTickCount();
    if (!ListRunningProcesses(running)) return;
    m_refreshTick = tick;
    m_refreshed = true;
    ShowProcesses(FindFlaggedProcesses(running, CurrentProcessProbe()));
}

void CTaskwatchPage::ShowProcesses(std::vector<FlaggedProcess> processes) {
    FlaggedProcess selected;
    bool hadSelection = m_table.Row(SelectedRow(), selected);
    m_table.Rebuild(std::move(processes), [&](const std::vector<FlaggedProcess>& rows) {
        ClearRows();
        AddRows(ToListRows(rows));
        // The user's choice outlives a rebuild while its process is still listed.
        for (size_t row = 0; hadSelection && row < rows.size(); ++row)
            if (rows[row].id == selected.id) SelectRow(static_cast<int>(row));
    });
    UINT status = m_table.Count() > 0 ? IDS_AT_RISK : IDS_NO_THREAT_FOUND;
    m_status.SetWindowText(LoadResString(status).c_str());
}

void CTaskwatchPage::SelectRow(int row) const {
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    m_processList.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                              reinterpret_cast<LPARAM>(&item));
}

void CTaskwatchPage::OnMonitorPass(bool comeForward) {
    MonitorPassResult pass;
    // A pass that looked before the last refresh (after a Delete) would show a process
    // just ended.
    if (m_monitor && m_monitor->TakeResult(pass) &&
        !(m_refreshed && static_cast<LONG>(pass.snapshotTick - m_refreshTick) < 0))
        ShowProcesses(std::move(pass.processes));
    if (comeForward && Host()) Host()->RequestShowPage(kTaskwatchPage);
}

void CTaskwatchPage::OnDelete() {
    int row = SelectedRowOrTell(IDS_SELECT_FILE, IDS_SELECT_FILE);
    FlaggedProcess process;
    // Name, path and identifier are read together, from the rebuild the user saw.
    if (row < 0 || !m_table.Row(row, process)) return;
    if (!ConfirmDelete(process.name)) return;
    if (!EndListedProcess(process)) {
        AfxMessageBox(IDS_DELETE_FAILED, MB_OK);
    } else {
        // Gives the process time to end while the user reads.
        AfxMessageBox(IDS_PLEASE_WAIT, MB_OK);
        AfxMessageBox(DeleteProgramFile(process.path) ? IDS_DELETED : IDS_DELETE_FAILED, MB_OK);
    }
    RefreshProcessList();
}

bool CTaskwatchPage::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_TASK_DELETE || code != BN_CLICKED) return false;
    OnDelete();
    return true;
}

LRESULT CTaskwatchPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP_TASKWATCH_PASS) {
        OnMonitorPass(wp != 0);
        return 0;
    }
    return CListPage::WindowProc(msg, wp, lp);
}
