#pragma once
// The shield page: the threats in the roots of the USB drives found on arrival.
#include "res/resource.h"
#include "usb/ThreatListPage.h"

class CPlugwatchPage : public CThreatListPage {
  public:
    CPlugwatchPage();

    // Lists the threats in the roots of `count` drives; false when there is nothing to do.
    bool ExamineDrives(const char* letters, int count);

  protected:
    BOOL OnInitDialog() override;

  private:
    CSkinButton m_picture;
};
