#include "autostart/AutostartPage.h"

#include "autostart/AutostartDelete.h"
#include "autostart/ListUpdate.h"

namespace {
// The entries' texts move into the rows: the rows are all the page keeps of them.
std::vector<ListRow> RowsOf(std::vector<AutostartEntry> entries) {
    std::vector<ListRow> rows;
    rows.reserve(entries.size());
    for (AutostartEntry& entry : entries)
        rows.push_back(
            {std::move(entry.name), std::move(entry.command), std::move(entry.location)});
    return rows;
}
}  // namespace

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
    std::vector<ListRow> fresh = RowsOf(ListAutostartEntries());
    ListUpdate update = PlanListUpdate(Rows(), fresh);
    if (update.rebuild) {
        ReplaceRows(std::move(fresh));
        return;
    }
    for (size_t removed = 0; removed < update.remove; ++removed)
        DeleteRow(static_cast<int>(update.keep));
    fresh.erase(fresh.begin(), fresh.end() - static_cast<std::ptrdiff_t>(update.append));
    AddRows(fresh);
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
