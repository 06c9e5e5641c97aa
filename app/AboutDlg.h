#pragma once
#include "framework/Dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(IDD_ABOUT, parent) {}
};
