#pragma once
#include "app/Page.h"
#include "res/resource.h"

class CInfoPage : public CPage {
  public:
    CInfoPage() : CPage(IDD_INFO) {}
};
