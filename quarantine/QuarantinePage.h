#pragma once
#include "app/Page.h"
#include "res/resource.h"

class CQuarantinePage : public CPage {
  public:
    CQuarantinePage() : CPage(IDD_QUARANTINE) {}
};
