#pragma once
// What the shield and scan pages share: a two-column list of threats with a bold result
// line, Delete for the selected row and Delete all on a worker.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/ListPage.h"
#include "controls/SkinButton.h"
#include "framework/Controls.h"
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

class CThreatListPage : public CListPage {
  public:
    CThreatListPage(UINT templateId, const ThreatListIds& ids);

    // Appends a row per path (in the ANSI code page, as the file functions gave it).
    void AddThreatRows(const std::vector<std::string>& paths, const std::string& state);
    void SetResultLine(int threats);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

    void EnableCommands(bool enable) override;
    // Stops a running delete-all before the rows it works on are replaced.
    void StopDeleteAll();
    void OnDelete();
    void OnDeleteAll();
    void OnRowJobRow(int row, int result) override;

  private:
    void ShowRowResult(int row, ThreatDeletion result);

    ThreatListIds m_ids;
    CStatic m_resultLine;
    ScopedFontHandle m_resultFont;
    CSkinButton m_deleteButton;
    CSkinButton m_deleteAllButton;
};
