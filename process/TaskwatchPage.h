#pragma once
// The process shield page (Taskwatch): the running processes judged risky or suspicious,
// rebuilt by its monitor thread every ten seconds, and Delete for the selected one.
#include <memory>
#include <vector>

#include "controls/ListPage.h"
#include "controls/SkinButton.h"
#include "framework/Controls.h"
#include "process/ProcessMonitor.h"
#include "process/ProcessTable.h"
#include "res/resource.h"

class CTaskwatchPage : public CListPage {
  public:
    CTaskwatchPage();

    // Judges the running processes now and shows the result.
    void RefreshProcessList();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void ShowProcesses(std::vector<FlaggedProcess> processes);
    void OnMonitorPass(bool comeForward);
    void OnDelete();
    int SelectedRow() const { return m_processList.GetSelectedItem(); }
    void SelectRow(int row) const;

    // The base's list, for the selection kept across a rebuild.
    CListCtrl m_processList;
    CStatic m_status;
    ScopedFontHandle m_statusFont;
    CSkinButton m_deleteButton;
    ProcessTable m_table;
    std::shared_ptr<MonitorJob> m_monitor;
    DWORD m_refreshTick = 0;
    bool m_refreshed = false;
};
