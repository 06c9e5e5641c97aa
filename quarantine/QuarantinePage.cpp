#include "quarantine/QuarantinePage.h"

#include "framework/Strings.h"
#include "quarantine/QuarantineList.h"
#include "quarantine/QuarantineStore.h"
#include "usb/ThreatDeletion.h"

namespace {
constexpr int kColumnWidth = 410;
}  // namespace

UINT RestoreResultStringId(int result) {
    if (result == 1) return IDS_RESTORE_SUCCEEDED;
    if (result == 2) return IDS_RESTORED_TO_DESKTOP;
    return IDS_RESTORE_FAILED_RESTORED;
}

CQuarantinePage::CQuarantinePage()
    : CListPage(IDD_QUARANTINE, IDC_QUARANTINE_LIST,
                {{IDS_COLUMN_ORIGIN, kColumnWidth}, {IDS_COLUMN_QUARANTINE, kColumnWidth}}) {}

BOOL CQuarantinePage::OnInitDialog() {
    CListPage::OnInitDialog();
    SetUpCommandButton(m_refreshButton, IDC_QUARANTINE_REFRESH, IDB_CMD_REFRESH,
                       IDS_TIP_REFRESH_LIST);
    SetUpCommandButton(m_restoreButton, IDC_QUARANTINE_RESTORE, IDB_CMD_RESTORE,
                       IDS_TIP_RESTORE_FILE);
    SetUpCommandButton(m_emptyButton, IDC_QUARANTINE_EMPTY, IDB_CMD_DELETE, IDS_TIP_EMPTY);
    RefreshQuarantineList();
    return TRUE;
}

void CQuarantinePage::EnableCommands(bool enable) {
    m_refreshButton.EnableWindow(enable);
    m_restoreButton.EnableWindow(enable);
    m_emptyButton.EnableWindow(enable);
}

void CQuarantinePage::RefreshQuarantineList() {
    std::string folder;
    bool haveFolder = GetQuarantineDirectory(folder);
    EnableCommands(false);
    ClearRows();
    if (haveFolder) {
        std::vector<ListRow> rows;
        for (const QuarantineEntry& entry : ListQuarantineFiles(folder))
            rows.push_back({entry.origin, entry.path});
        AddRows(rows);
    }
    EnableCommands(true);
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
    EnableCommands(false);
    int selected = SelectedRowOrTell(IDS_NOTHING_FOUND, IDS_SELECT_FILE);
    if (selected >= 0) {
        std::string question = LoadResString(IDS_RESTORE_PREFIX) + CellText(selected, 0) + "?";
        if (AfxMessageBox(question, MB_OKCANCEL) == IDOK) {
            std::string file = CellText(selected, 1);
            if (!ThreatFileExists(file))
                AfxMessageBox(IDS_RESTORE_FAILED_ABSENT, MB_OK);
            else
                AfxMessageBox(RestoreResultStringId(RestoreQuarantinedFile(file)), MB_OK);
        }
    }
    EnableCommands(true);
}

void CQuarantinePage::OnEmpty() {
    if (RowCount() == 0) {
        AfxMessageBox(IDS_NOTHING_FOUND, MB_OK);
        return;
    }
    if (AfxMessageBox(IDS_ASK_EMPTY, MB_OKCANCEL) != IDOK) return;
    auto job = std::make_shared<RowJob>();
    job->items = ColumnTexts(1);
    job->act = [](const std::string& file) { return static_cast<int>(DeleteQuarantineFile(file)); };
    job->waitNoticeId = IDS_PLEASE_WAIT;
    job->beginBeforeNotice = true;
    job->closingStringId = IDS_EMPTY_COMPLETED;
    EnableCommands(false);
    if (!StartRowJob(job)) EnableCommands(true);
}

void CQuarantinePage::OnRowJobEnd() { RefreshQuarantineList(); }
