#pragma once
// What the shield and scan pages share: a two-column list of threats with a bold result
// line, Delete for the selected row and Delete all on a worker.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Page.h"
#include "controls/SkinButton.h"
#include "framework/Controls.h"
#include "usb/DeleteAllJob.h"
#include "usb/ThreatDeletion.h"

struct ThreatListIds {
    UINT list;
    UINT resultLine;
    UINT deleteButton;
    UINT deleteAllButton;
    UINT pathHeading;   // string id of column 0's heading
    UINT stateHeading;  // string id of column 1's heading
    bool disableBeforeWaitNotice;
    UINT closingStringId;
};

class CThreatListPage : public CPage {
  public:
    CThreatListPage(UINT templateId, const ThreatListIds& ids);

    // Rows shown now.
    int RowCount() const { return m_list.GetItemCount(); }
    void ClearRows();
    void AddRow(const char* path, const char* state);
    // Appends rows with one redraw for the lot: a list view that redraws per row spends
    // milliseconds on every row under Wine.
    void AddRows(const std::vector<std::string>& paths, const char* state);
    void SetResultLine(int threats);
    CListCtrl& List() { return m_list; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The delete commands leave these alone while they run; the scan page adds its own.
    virtual void EnableCommands(bool enable);
    void SetUpCommandButton(CSkinButton& button, UINT id, UINT bitmap);
    // Stops a running delete-all before the rows it works on are replaced.
    void StopDeleteAll();

    void OnDelete();
    void OnDeleteAll();

  private:
    void ShowRowResult(int row, ThreatDeletion result);
    void OnDeleteAllRow(int row, ThreatDeletion result);

    ThreatListIds m_ids;
    CListCtrl m_list;
    CStatic m_resultLine;
    ScopedFontHandle m_resultFont;
    CSkinButton m_deleteButton;
    CSkinButton m_deleteAllButton;
    std::shared_ptr<DeleteAllJob> m_deleteAll;
};

// "Delete: <path>?"
std::string DeleteQuestion(const std::string& path);
