#pragma once
// The autostart page: every value of the Run-type registry locations and every file of the
// Startup folders, with Refresh and Delete.
#include "controls/ListPage.h"
#include "controls/SkinButton.h"
#include "res/resource.h"

class CAutostartPage : public CListPage {
  public:
    CAutostartPage();

    void RefreshAutostartList();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void OnDelete();

    CSkinButton m_refreshButton;
    CSkinButton m_deleteButton;
    bool m_listedOnce = false;
};
