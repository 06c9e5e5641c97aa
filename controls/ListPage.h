#pragma once
// The base of every page that shows a list: report view with grid lines and full-row
// selection, fixed columns headed from the string table, rows added in batches with one
// redraw, the selection questions, and the page's one worker, whose link is cut when the
// page goes. Cells are UTF-8. The page keeps the rows and the list view (owner-data) asks for
// the cells it shows: Wine's list view spends tens of microseconds on every row it stores.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/RowJob.h"
#include "controls/SkinButton.h"
#include "framework/Controls.h"
#include "framework/Page.h"
#include "framework/WorkerLink.h"

struct ListColumn {
    UINT headingStringId;
    int width;
};
using ListRow = std::vector<std::string>;

class CListPage : public CPage {
  public:
    CListPage(UINT templateId, UINT listId, std::vector<ListColumn> columns);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    void ClearRows();
    int AddRow(const ListRow& row);
    // Appends with one redraw for the lot.
    void AddRows(std::vector<ListRow> rows);
    // ClearRows and AddRows in one count change, from the top, nothing selected.
    void ReplaceRows(std::vector<ListRow> rows);
    // True when the rows fill the list's view: more only move its scroll bar.
    bool ViewIsFull() const;
    // "" for a row or column that is not there.
    std::string CellText(int row, int column) const;
    // Every row's text in `column`.
    std::vector<std::string> ColumnTexts(int column) const;
    void SetCellText(int row, int column, const std::string& text);
    void DeleteRow(int row);

  protected:
    // Every row, in the order shown.
    const std::vector<ListRow>& Rows() const { return m_rows; }

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;

    // The selected row; with none, tells the user `emptyStringId` (empty list) or
    // `selectStringId` and answers -1.
    int SelectedRowOrTell(UINT emptyStringId, UINT selectStringId) const;
    // "Delete: <name>?" answered with OK.
    static bool ConfirmDelete(const std::string& name);
    void SetUpCommandButton(CSkinButton& button, UINT id, UINT bitmap, UINT tipStringId = 0);

    // The page's one worker: a new link cuts the previous one.
    std::shared_ptr<WorkerLink> NewWorkerLink();
    void CutWorkerLink();
    bool WorkerRunning() const { return m_worker != nullptr; }

    // A row job over `job.items` on the page's worker link; false when no thread started.
    bool StartRowJob(std::shared_ptr<RowJob> job);
    // Row-job news on the user-interface thread.
    virtual void OnRowJobBegin() { EnableCommands(false); }
    virtual void OnRowJobRow(int /*row*/, int /*result*/) {}
    virtual void OnRowJobEnd() { EnableCommands(true); }
    // The row job's item `row` when it started, or "" for a row it never had.
    std::string RowJobItem(int row) const;
    virtual void EnableCommands(bool /*enable*/) {}

  private:
    void ShowCell(NMLVDISPINFOW& info) const;
    // `appended`: the rows shown before are unchanged, so only new ones in view are drawn.
    void ShowRowCount(bool appended = false) const;
    void ForgetSelection() const;

    UINT m_listId;
    std::vector<ListColumn> m_columns;
    CListCtrl m_list;
    std::vector<ListRow> m_rows;
    std::shared_ptr<WorkerLink> m_worker;
    std::shared_ptr<RowJob> m_rowJob;
};
