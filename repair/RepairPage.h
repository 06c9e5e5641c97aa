#pragma once
#include "framework/Page.h"
#include "res/resource.h"

class CRepairPage : public CPage {
  public:
    CRepairPage() : CPage(IDD_REPAIR) {}
};
