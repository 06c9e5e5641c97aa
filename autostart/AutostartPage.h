#pragma once
#include "framework/Page.h"
#include "res/resource.h"

class CAutostartPage : public CPage {
  public:
    CAutostartPage() : CPage(IDD_AUTOSTART) {}
};
