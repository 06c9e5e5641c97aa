#pragma once
#include "framework/Page.h"
#include "res/resource.h"

class CPlugkitPage : public CPage {
  public:
    CPlugkitPage() : CPage(IDD_PLUGKIT) {}
};
