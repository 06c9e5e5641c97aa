#pragma once
#include "framework/Page.h"
#include "res/resource.h"

class CTaskwatchPage : public CPage {
  public:
    CTaskwatchPage() : CPage(IDD_TASKWATCH) {}
};
