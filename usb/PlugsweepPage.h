#pragma once
#include "app/Page.h"
#include "res/resource.h"

class CPlugsweepPage : public CPage {
  public:
    CPlugsweepPage() : CPage(IDD_PLUGSWEEP) {}
};
