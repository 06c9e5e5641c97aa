#pragma once
// The update window: created hidden at start-up, filled and shown when the check finds
// another version; "Update" starts the updater and ends the program.
#include <memory>

#include "framework/Dialog.h"
#include "framework/PageHost.h"
#include "framework/WorkerLink.h"

struct UpdateOffer;

class CWebCheckDlg : public CDialog {
  public:
    CWebCheckDlg();

    // The main window, which ends the program once the updater runs; null when there is none.
    void SetHost(IPageHost* host) { m_host = host; }
    // The check's only way to this window (null before the window exists).
    std::shared_ptr<WorkerLink> Link() const { return m_link; }
    void OnUpdate();

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { ShowWindow(SW_HIDE); }
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void ShowOffer(std::unique_ptr<UpdateOffer> offer);
    void DropPendingOffers();

    IPageHost* m_host = nullptr;
    std::shared_ptr<WorkerLink> m_link;
};
