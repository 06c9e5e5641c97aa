#pragma once
// The update window: created hidden at start-up, shown when an update is found.
#include "framework/Dialog.h"
#include "res/resource.h"

class CWebCheckDlg : public CDialog {
  public:
    CWebCheckDlg() : CDialog(IDD_WEBCHECK) {}

  protected:
    void OnOK() override { ShowWindow(SW_HIDE); }
    void OnCancel() override { ShowWindow(SW_HIDE); }
};
