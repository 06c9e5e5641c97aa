#include "autostart/AutostartPage.h"

#include "autostart/AutostartDelete.h"
#include "autostart/ListUpdate.h"

CAutostartPage::CAutostartPage()
    : CListPage(
          IDD_AUTOSTART, IDC_AUTOSTART_LIST,
          {{IDS_COLUMN_APPLICATION, 120}, {IDS_COLUMN_COMMAND, 400}, {IDS_COLUMN_LOCATION, 300}}) {}

BOOL CAutostartPage::OnInitDialog() {
    CListPage::OnInitDialog();
    SetUpCommandButton(m_refreshButton, IDC_AUTOSTART_REFRESH, IDB_CMD_REFRESH);
    SetUpCommandButton(m_deleteButton, IDC_AUTOSTART_DELETE, IDB_CMD_DELETE);
    return TRUE;
}

LRESULT CAutostartPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Listed when first shown, not at start-up: reading some thirty keys and the Startup
    // folders' shortcuts through the shell is start-up time for a page the user may never open.
    if (msg == WM_SHOWWINDOW && wp && !m_listedOnce) RefreshAutostartList();
    return CListPage::WindowProc(msg, wp, lp);
}

void CAutostartPage::RefreshAutostartList() {
    m_listedOnce = true;
    std::vector<AutostartEntry> fresh = ListAutostartEntries();
    ListUpdate update = PlanListUpdate(m_listed, fresh);
    std::vector<ListRow> rows;
    rows.reserve(update.append);
    for (size_t index = fresh.size() - update.append; index < fresh.size(); ++index)
        rows.push_back({fresh[index].name, fresh[index].command, fresh[index].location});
    if (update.rebuild) {
        ReplaceRows(std::move(rows));
    } else {
        for (size_t removed = 0; removed < update.remove; ++removed)
            DeleteRow(static_cast<int>(update.keep));
        AddRows(rows);
    }
    m_listed = std::move(fresh);
}

bool CAutostartPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_AUTOSTART_REFRESH)
        RefreshAutostartList();
    else if (id == IDC_AUTOSTART_DELETE)
        OnDelete();
    else
        return false;
    return true;
}

void CAutostartPage::OnDelete() {
    int row = SelectedRowOrTell(IDS_NO_ITEM, IDS_SELECT_ITEM);
    if (row < 0) return;
    std::string name = CellText(row, 0);
    if (!ConfirmDelete(name)) return;
    // A deletion that fails shows itself: the refreshed list still has the row.
    DeleteAutostartEntry(name, CellText(row, 2));
    RefreshAutostartList();
}
