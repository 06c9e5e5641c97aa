#include "controls/ListPage.h"

#include <algorithm>

#include "framework/Strings.h"
#include "framework/Text.h"
#include "res/resource.h"

namespace {
constexpr DWORD kGridAndFullRow = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
}

CListPage::CListPage(UINT templateId, UINT listId, std::vector<ListColumn> columns)
    : CPage(templateId), m_listId(listId), m_columns(std::move(columns)) {}

BOOL CListPage::OnInitDialog() {
    CPage::OnInitDialog();
    AttachDlgItem(m_list, *this, static_cast<int>(m_listId));
    m_list.SetExtendedStyle(kGridAndFullRow);
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_list.InsertColumn(static_cast<int>(i),
                            AnsiToUtf8(LoadResString(m_columns[i].headingStringId)), LVCFMT_LEFT,
                            m_columns[i].width);
    // The list asked for its notices' form while the page was being made, before this object
    // answered: it asks again, and hears that the page takes the wide ones.
    m_list.SendMessage(WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_hWnd), NF_REQUERY);
    return TRUE;
}

void CListPage::ShowRowCount(bool appended) const {
    // A new count repaints the whole list unless the rows before are unchanged. Wine's list view
    // also updates its scroll bars for it, a few milliseconds each time: for the count it
    // already has, only the rows in view are drawn again.
    LRESULT count = static_cast<LRESULT>(m_rows.size());
    if (m_list.SendMessage(LVM_GETITEMCOUNT) != count) {
        m_list.SendMessage(LVM_SETITEMCOUNT, m_rows.size(),
                           LVSICF_NOSCROLL | (appended ? LVSICF_NOINVALIDATEALL : 0));
        return;
    }
    LRESULT top = m_list.SendMessage(LVM_GETTOPINDEX);
    // The row cut off at the bottom too; the list refuses a range past its last row.
    LRESULT last = std::min(top + m_list.SendMessage(LVM_GETCOUNTPERPAGE), count - 1);
    if (last >= top) m_list.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(top), last);
}

void CListPage::ClearRows() {
    m_rows.clear();
    m_list.DeleteAllItems();
}

int CListPage::AddRow(const ListRow& row) {
    if (row.empty()) return -1;
    m_rows.push_back(row);
    ShowRowCount(true);
    return RowCount() - 1;
}

void CListPage::AddRows(std::vector<ListRow> rows) {
    if (rows.empty()) return;
    for (ListRow& row : rows)
        if (!row.empty()) m_rows.push_back(std::move(row));
    ShowRowCount(true);
}

void CListPage::ReplaceRows(std::vector<ListRow> rows) {
    std::erase_if(rows, [](const ListRow& row) { return row.empty(); });
    ForgetSelection();
    m_rows = std::move(rows);
    // One count change at most: emptying the list first would hide its scroll bar and show it
    // again, two frame changes, which cost Wine more than a refresh of a thousand rows.
    ShowRowCount();
    if (m_list.SendMessage(LVM_GETTOPINDEX) > 0) {
        m_list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
        m_list.Invalidate();
    }
}

void CListPage::ForgetSelection() const {
    LVITEMW cleared = {};
    cleared.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    auto clear = [&](int row) {
        m_list.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&cleared));
    };
    for (int row = m_list.GetSelectedItem(); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED))
        clear(row);
    if (int focused = m_list.GetNextItem(-1, LVNI_FOCUSED); focused >= 0) clear(focused);
    m_list.SendMessage(LVM_SETSELECTIONMARK, 0, -1);
}

bool CListPage::ViewIsFull() const {
    return RowCount() >= static_cast<int>(m_list.SendMessage(LVM_GETCOUNTPERPAGE, 0, 0));
}

std::string CListPage::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0) return {};
    const ListRow& cells = m_rows[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                      : std::string();
}

void CListPage::SetCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= RowCount() || column < 0) return;
    ListRow& cells = m_rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
    m_list.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

void CListPage::DeleteRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    m_rows.erase(m_rows.begin() + row);
    // The list view moves the selection and focus past the row with it.
    m_list.DeleteItem(row);
}

void CListPage::ShowCell(NMLVDISPINFOW& info) const {
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    std::wstring text = Utf8ToWide(CellText(info.item.iItem, info.item.iSubItem));
    size_t room = static_cast<size_t>(info.item.cchTextMax) - 1;
    size_t length = text.size() < room ? text.size() : room;
    text.copy(info.item.pszText, length);
    info.item.pszText[length] = L'\0';
}

bool CListPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->hwndFrom == m_list.m_hWnd && header->code == LVN_GETDISPINFOW) {
        ShowCell(*reinterpret_cast<NMLVDISPINFOW*>(header));
        *result = 0;
        return true;
    }
    return CPage::OnNotify(header, result);
}

std::vector<std::string> CListPage::ColumnTexts(int column) const {
    std::vector<std::string> texts;
    int rows = RowCount();
    texts.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) texts.push_back(CellText(row, column));
    return texts;
}

int CListPage::SelectedRowOrTell(UINT emptyStringId, UINT selectStringId) const {
    if (RowCount() == 0) {
        AfxMessageBox(emptyStringId, MB_OK);
        return -1;
    }
    int selected = m_list.GetSelectedItem();
    if (selected < 0) AfxMessageBox(selectStringId, MB_OK);
    return selected;
}

bool CListPage::ConfirmDelete(const std::string& name) {
    return AfxMessageBox(LoadResString(IDS_DELETE_PREFIX) + name + "?", MB_OKCANCEL) == IDOK;
}

void CListPage::SetUpCommandButton(CSkinButton& button, UINT id, UINT bitmap, UINT tipStringId) {
    std::string tip = tipStringId ? LoadResString(tipStringId) : std::string();
    AttachCommandButton(button, this, id, bitmap, tipStringId ? tip.c_str() : nullptr);
}

std::shared_ptr<WorkerLink> CListPage::NewWorkerLink() {
    CutWorkerLink();
    m_worker = WorkerLink::Create(m_hWnd);
    return m_worker;
}

void CListPage::CutWorkerLink() {
    if (m_worker) m_worker->Cut();
    m_worker.reset();
    m_rowJob.reset();
}

bool CListPage::StartRowJob(std::shared_ptr<RowJob> job) {
    job->link = NewWorkerLink();
    m_rowJob = job;
    if (::StartRowJob(job)) return true;
    CutWorkerLink();
    return false;
}

std::string CListPage::RowJobItem(int row) const {
    if (!m_rowJob || row < 0 || static_cast<size_t>(row) >= m_rowJob->items.size()) return {};
    return m_rowJob->items[static_cast<size_t>(row)];
}

LRESULT CListPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_ROW_JOB_BEGIN:
            if (m_rowJob) OnRowJobBegin();
            return 0;
        case WM_APP_ROW_JOB_ROW:
            if (m_rowJob) OnRowJobRow(static_cast<int>(wp), static_cast<int>(lp));
            return 0;
        case WM_APP_ROW_JOB_END:
            if (!m_rowJob) return 0;
            CutWorkerLink();
            OnRowJobEnd();
            return 0;
        case WM_NOTIFYFORMAT:
            if (reinterpret_cast<HWND>(wp) != m_list.m_hWnd) return Default();
            return NFR_UNICODE;
        case WM_DESTROY:
            CutWorkerLink();
            return Default();
        default:
            return CPage::WindowProc(msg, wp, lp);
    }
}
