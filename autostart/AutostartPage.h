#pragma once
#include "app/Page.h"
#include "res/resource.h"

class CAutostartPage : public CPage {
  public:
    CAutostartPage() : CPage(IDD_AUTOSTART) {}
};
