#include "usb/ThreatListPage.h"

#include <cstdio>

#include "framework/Strings.h"
#include "res/resource.h"

namespace {
constexpr int kPathColumnWidth = 600;
constexpr int kStateColumnWidth = 135;
constexpr DWORD kGridAndFullRow = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
}  // namespace

std::string DeleteQuestion(const std::string& path) {
    return LoadResString(IDS_DELETE_PREFIX) + path + "?";
}

CThreatListPage::CThreatListPage(UINT templateId, const ThreatListIds& ids)
    : CPage(templateId), m_ids(ids) {}

BOOL CThreatListPage::OnInitDialog() {
    CPage::OnInitDialog();
    AttachDlgItem(m_list, *this, static_cast<int>(m_ids.list));
    AttachDlgItem(m_resultLine, *this, static_cast<int>(m_ids.resultLine));
    m_list.SetExtendedStyle(kGridAndFullRow);
    m_list.InsertColumn(0, LoadResString(m_ids.pathHeading).c_str(), LVCFMT_LEFT, kPathColumnWidth);
    m_list.InsertColumn(1, LoadResString(m_ids.stateHeading).c_str(), LVCFMT_LEFT,
                        kStateColumnWidth);
    SetUpCommandButton(m_deleteButton, m_ids.deleteButton, IDB_CMD_DELETE);
    SetUpCommandButton(m_deleteAllButton, m_ids.deleteAllButton, IDB_CMD_DELETE);
    m_resultFont.reset(::CreateFontA(20, 10, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     FF_SWISS, "Arial"));
    m_resultLine.SetFont(m_resultFont.get(), TRUE);
    return TRUE;
}

void CThreatListPage::SetUpCommandButton(CSkinButton& button, UINT id, UINT bitmap) {
    AttachCommandButton(button, this, id, bitmap);
}

void CThreatListPage::ClearRows() {
    // A delete-all still walking the old rows stops before its next file.
    StopDeleteAll();
    m_list.DeleteAllItems();
}

void CThreatListPage::AddRow(const char* path, const char* state) {
    int row = m_list.InsertItem(m_list.GetItemCount(), path);
    if (row >= 0) m_list.SetItemText(row, 1, state);
}

void CThreatListPage::AddRows(const std::vector<std::string>& paths, const char* state) {
    if (paths.empty()) return;
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    for (const std::string& path : paths) AddRow(path.c_str(), state);
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.Invalidate();
}

void CThreatListPage::SetResultLine(int threats) {
    if (threats == 0) {
        m_resultLine.SetWindowText(LoadResString(IDS_NO_THREAT_FOUND).c_str());
        return;
    }
    char text[128];
    std::snprintf(text, sizeof(text), LoadResString(IDS_THREATS_FOUND).c_str(), threats);
    m_resultLine.SetWindowText(text);
}

void CThreatListPage::EnableCommands(bool enable) {
    m_deleteButton.EnableWindow(enable);
    m_deleteAllButton.EnableWindow(enable);
}

void CThreatListPage::StopDeleteAll() {
    if (!m_deleteAll) return;
    m_deleteAll->link->Cut();
    m_deleteAll.reset();
    EnableCommands(true);
}

bool CThreatListPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == m_ids.deleteButton) {
        OnDelete();
        return true;
    }
    if (id == m_ids.deleteAllButton) {
        OnDeleteAll();
        return true;
    }
    return false;
}

void CThreatListPage::ShowRowResult(int row, ThreatDeletion result) {
    UINT state = result == ThreatDeletion::kDeleteFailed ? IDS_DELETE_FAILED : IDS_DELETED;
    m_list.SetItemText(row, 1, LoadResString(state).c_str());
}

void CThreatListPage::OnDelete() {
    int selected = m_list.GetSelectedItem();
    int rows = m_list.GetItemCount();
    if (rows == 0) {
        AfxMessageBox(IDS_NO_THREAT_FOUND, MB_OK);
        return;
    }
    if (selected < 0) {
        AfxMessageBox(IDS_SELECT_FILE, MB_OK);
        return;
    }
    std::string path = m_list.GetItemText(selected, 0);
    if (AfxMessageBox(DeleteQuestion(path), MB_OKCANCEL) != IDOK) return;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ThreatDeletion result = ThreatDeletion::kAlreadyGone;
    if (ThreatFileExists(path)) {
        AfxMessageBox(IDS_PLEASE_WAIT, MB_OK);
        result = DeleteThreatFile(path);
    }
    // The row may have been replaced while the boxes were up.
    if (selected < m_list.GetItemCount() && m_list.GetItemText(selected, 0) == path)
        ShowRowResult(selected, result);
}

void CThreatListPage::OnDeleteAll() {
    int rows = m_list.GetItemCount();
    if (rows == 0) {
        AfxMessageBox(IDS_NO_THREAT_FOUND, MB_OK);
        return;
    }
    if (AfxMessageBox(IDS_ASK_DELETE_ALL, MB_OKCANCEL) != IDOK) return;
    StopDeleteAll();
    auto job = std::make_shared<DeleteAllJob>();
    job->link = WorkerLink::Create(m_hWnd);
    job->disableBeforeWaitNotice = m_ids.disableBeforeWaitNotice;
    job->closingStringId = m_ids.closingStringId;
    for (int row = 0; row < rows; ++row) job->paths.push_back(m_list.GetItemText(row, 0));
    m_deleteAll = job;
    if (!StartDeleteAllJob(job)) m_deleteAll.reset();
}

void CThreatListPage::OnDeleteAllRow(int row, ThreatDeletion result) {
    if (!m_deleteAll || row < 0 || static_cast<size_t>(row) >= m_deleteAll->paths.size()) return;
    if (row < m_list.GetItemCount() &&
        m_list.GetItemText(row, 0) == m_deleteAll->paths[static_cast<size_t>(row)])
        ShowRowResult(row, result);
}

LRESULT CThreatListPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_APP_DELETE_ALL_BEGIN:
            if (m_deleteAll) EnableCommands(false);
            return 0;
        case WM_APP_DELETE_ALL_ROW:
            OnDeleteAllRow(static_cast<int>(wp), static_cast<ThreatDeletion>(lp));
            return 0;
        case WM_APP_DELETE_ALL_END:
            if (m_deleteAll) EnableCommands(true);
            m_deleteAll.reset();
            return 0;
        case WM_DESTROY:
            if (m_deleteAll) m_deleteAll->link->Cut();
            return Default();
        default:
            return CPage::WindowProc(msg, wp, lp);
    }
}
