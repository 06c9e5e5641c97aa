#pragma once
// A page of the main window: a modeless child dialog on which Enter and Esc do nothing.
#include "framework/Dialog.h"
#include "framework/PageHost.h"

class CPage : public CDialog {
  public:
    explicit CPage(UINT templateId) : CDialog(templateId) {}

    // The window that shows this page; set before the page is created.
    void SetHost(IPageHost* host) { m_host = host; }

  protected:
    void OnOK() override {}
    void OnCancel() override {}
    IPageHost* Host() const { return m_host; }

  private:
    IPageHost* m_host = nullptr;
};
