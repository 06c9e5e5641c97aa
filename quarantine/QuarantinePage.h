#pragma once
// The quarantine page: lists the quarantine files with their origins; Restore, Empty.
#include <memory>
#include <string>
#include <vector>

#include "framework/Page.h"
#include "controls/SkinButton.h"
#include "framework/Controls.h"
#include "framework/WorkerLink.h"
#include "res/resource.h"

// Empty: deleting begins / done.
constexpr UINT WM_APP_EMPTY_BEGIN = WM_APP + 40;
constexpr UINT WM_APP_EMPTY_DONE = WM_APP + 41;

class CQuarantinePage : public CPage {
  public:
    CQuarantinePage() : CPage(IDD_QUARANTINE) {}

    void RefreshQuarantineList();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void OnRestore();
    void OnEmpty();
    void EnableButtons(bool enable);

    CListCtrl m_list;
    CSkinButton m_refreshButton;
    CSkinButton m_restoreButton;
    CSkinButton m_emptyButton;
    std::shared_ptr<WorkerLink> m_emptyLink;
};

// The message for a restore result: 1 to the origin, 2 to the desktop, else failed.
UINT RestoreResultStringId(int result);
// Deletes the listed quarantine files on a worker; `link` hears WM_APP_EMPTY_DONE.
bool StartEmptyQuarantine(std::shared_ptr<WorkerLink> link, std::vector<std::string> files);
