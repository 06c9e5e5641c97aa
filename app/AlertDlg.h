#pragma once
// The start-up notice: "Resident Shield is active" for three seconds in the corner above
// the taskbar.
#include <windows.h>

#include "controls/SkinButton.h"
#include "framework/Dialog.h"

// Where a window of the given size goes: its right edge at the desktop's right, its bottom
// at the taskbar's top.
POINT PlaceAboveTaskbar(const RECT& taskbar, const RECT& desktop, SIZE window);
// Shows `window` there, on top; leaves it hidden when there is no taskbar. Also used for the
// update window.
void ShowAboveTaskbar(HWND window);

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
