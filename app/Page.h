#pragma once
// A page of the main window: a modeless child dialog on which Enter and Esc do nothing.
#include "framework/Dialog.h"

class CPage : public CDialog {
  public:
    explicit CPage(UINT templateId) : CDialog(templateId) {}

  protected:
    void OnOK() override {}
    void OnCancel() override {}
};
