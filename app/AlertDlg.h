#pragma once
// The start-up notice: "Resident Shield is active" for three seconds in the corner above
// the taskbar.
#include <windows.h>

#include "controls/SkinButton.h"
#include "framework/Dialog.h"
#include "framework/TaskbarCorner.h"

class CAlertDlg : public CDialog {
  public:
    CAlertDlg();

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    CSkinButton m_stateButton;
    UINT_PTR m_timer = 0;
};
