#pragma once
// The tools page: immunity against AutoRun, and safe removal of USB disks. The tray menu
// reaches the same operations while the window is hidden.
#include "controls/SkinButton.h"
#include "framework/Page.h"
#include "res/resource.h"

class CPlugkitPage : public CPage {
  public:
    CPlugkitPage() : CPage(IDD_PLUGKIT) {}

    void OnAcquireImmunity() { AcquireImmunity(); }
    void OnCancelImmunity() { CancelImmunity(); }
    void OnSafelyRemove();
    void AcquireImmunity();
    void CancelImmunity();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    CSkinButton m_acquireButton;
    CSkinButton m_cancelButton;
    CSkinButton m_removeButton;
};
