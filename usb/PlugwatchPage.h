#pragma once
#include "app/Page.h"
#include "res/resource.h"

class CPlugwatchPage : public CPage {
  public:
    CPlugwatchPage() : CPage(IDD_PLUGWATCH) {}
};
