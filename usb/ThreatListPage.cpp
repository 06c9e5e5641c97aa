#include "usb/ThreatListPage.h"

#include <cstdio>

#include "framework/FileSystem.h"
#include "framework/Strings.h"
#include "framework/Text.h"
#include "res/resource.h"

namespace {
constexpr int kPathColumnWidth = 600;
constexpr int kStateColumnWidth = 135;
}  // namespace

CThreatListPage::CThreatListPage(UINT templateId, const ThreatListIds& ids)
    : CListPage(templateId, ids.list,
                {{ids.pathHeading, kPathColumnWidth}, {ids.stateHeading, kStateColumnWidth}}),
      m_ids(ids) {}

BOOL CThreatListPage::OnInitDialog() {
    CListPage::OnInitDialog();
    AttachDlgItem(m_resultLine, *this, static_cast<int>(m_ids.resultLine));
    SetUpCommandButton(m_deleteButton, m_ids.deleteButton, IDB_CMD_DELETE);
    SetUpCommandButton(m_deleteAllButton, m_ids.deleteAllButton, IDB_CMD_DELETE);
    m_resultFont.reset(::CreateFontA(20, 10, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     FF_SWISS, "Arial"));
    m_resultLine.SetFont(m_resultFont.get(), TRUE);
    return TRUE;
}

void CThreatListPage::AddThreatRows(const std::vector<std::string>& paths,
                                    const std::string& state) {
    std::vector<ListRow> rows;
    rows.reserve(paths.size());
    std::string shownState = AnsiToUtf8(state);
    for (const std::string& path : paths) rows.push_back({path, shownState});
    AddRows(rows);
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
    if (!WorkerRunning()) return;
    CutWorkerLink();
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
    SetCellText(row, 1, LoadResString(state));
}

void CThreatListPage::OnDelete() {
    int selected = SelectedRowOrTell(IDS_NO_THREAT_FOUND, IDS_SELECT_FILE);
    if (selected < 0) return;
    // Taken before the question: an arrival may re-list the rows while it is up.
    std::string path = CellText(selected, 0);
    if (!ConfirmDelete(path)) return;
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    ThreatDeletion result = MissingThreatResult(path);
    if (ThreatFileExists(path)) {
        AfxMessageBox(IDS_PLEASE_WAIT, MB_OK);
        result = DeleteThreatFile(path);
    }
    // The row may have been replaced while the boxes were up.
    if (selected < RowCount() && CellText(selected, 0) == path) ShowRowResult(selected, result);
}

void CThreatListPage::OnDeleteAll() {
    if (RowCount() == 0) {
        AfxMessageBox(IDS_NO_THREAT_FOUND, MB_OK);
        return;
    }
    if (AfxMessageBox(IDS_ASK_DELETE_ALL, MB_OKCANCEL) != IDOK) return;
    StopDeleteAll();
    auto job = std::make_shared<RowJob>();
    job->items = ColumnTexts(0);
    job->act = [](const std::string& path) { return static_cast<int>(DeleteThreatFile(path)); };
    job->waitNoticeId = IDS_PLEASE_WAIT;
    job->beginBeforeNotice = m_ids.disableBeforeWaitNotice;
    job->closingStringId = m_ids.closingStringId;
    StartRowJob(job);
}

void CThreatListPage::OnRowJobRow(int row, int result) {
    std::string item = RowJobItem(row);
    if (!item.empty() && row < RowCount() && CellText(row, 0) == item)
        ShowRowResult(row, static_cast<ThreatDeletion>(result));
}
