#pragma once
// The quarantine page: lists the quarantine files with their origins; Restore, Empty.
#include <string>

#include "controls/ListPage.h"
#include "controls/SkinButton.h"
#include "res/resource.h"

class CQuarantinePage : public CListPage {
  public:
    CQuarantinePage();

    void RefreshQuarantineList();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void EnableCommands(bool enable) override;
    void OnRowJobEnd() override;

  private:
    void OnRestore();
    void OnEmpty();

    CSkinButton m_refreshButton;
    CSkinButton m_restoreButton;
    CSkinButton m_emptyButton;
};

// The message for a restore result: 1 to the origin, 2 to the desktop, else failed.
UINT RestoreResultStringId(int result);
