#include "controls/ListPage.h"

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
    return TRUE;
}

int CListPage::AddRow(const ListRow& row) const {
    if (row.empty()) return -1;
    int index = m_list.InsertItem(m_list.GetItemCount(), row[0]);
    if (index < 0) return index;
    for (size_t column = 1; column < row.size(); ++column)
        m_list.SetItemText(index, static_cast<int>(column), row[column]);
    return index;
}

void CListPage::AddRows(const std::vector<ListRow>& rows) const {
    if (rows.empty()) return;
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    for (const ListRow& row : rows) AddRow(row);
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.Invalidate();
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
        case WM_DESTROY:
            CutWorkerLink();
            return Default();
        default:
            return CPage::WindowProc(msg, wp, lp);
    }
}
