#pragma once
// The first page: the resident shield's state, the version, the help file, the maker's web
// site and mail address, and the key features.
#include "framework/Page.h"
#include "controls/HyperLink.h"
#include "controls/SkinButton.h"
#include "res/resource.h"

constexpr char kWebSite[] = "https://www.brellonix.com";
constexpr char kSupportMail[] = "support@brellonix.com";

class CInfoPage : public CPage {
  public:
    CInfoPage() : CPage(IDD_INFO) {}

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    CWnd m_features;
    CSkinButton m_stateButton;
    CSkinButton m_helpButton;
    CHyperLink m_mailLink;
    CHyperLink m_webLink;
    CSkinButton m_picture;
};
