#include "app/InfoPage.h"

#include <string>

#include "framework/Strings.h"
#include "framework/WinApp.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

BOOL CInfoPage::OnInitDialog() {
    CPage::OnInitDialog();
    AttachDlgItem(m_features, *this, IDC_INFO_FEATURES);
    m_mailLink.SubclassDlgItem(IDC_INFO_MAIL_LINK, this);
    m_webLink.SubclassDlgItem(IDC_INFO_WEB_LINK, this);

    std::string shieldState = LoadResString(IDS_SHIELD_ACTIVE);
    m_stateButton.SubclassDlgItem(IDC_INFO_STATE, this);
    m_stateButton.LoadBitmapImages(IDB_STATE_ACTIVE, kWhite, 0, kWhite);
    m_stateButton.SetImageAlignment(kImageAboveCaption, true);
    m_stateButton.SetTipText(shieldState.c_str(), TRUE);
    m_stateButton.SetHoverBorder(FALSE, TRUE);
    m_stateButton.SetWindowText(LoadResString(IDS_ACTIVE).c_str());

    m_helpButton.SubclassDlgItem(IDC_INFO_HELP, this);
    m_helpButton.LoadIconImages(IDI_HELP_BOOK, 0);
    m_helpButton.SetImageAlignment(kImageLeftOfCaption, true);
    m_helpButton.SetTipText(LoadResString(IDS_TIP_READ_DOCUMENT).c_str(), TRUE);
    m_helpButton.SetHoverBorder(FALSE, TRUE);
    m_helpButton.LoadHoverCursor(IDC_HAND_CURSOR, TRUE);

    m_mailLink.SetLinkTarget(std::string("mailto:") + kSupportMail);
    m_mailLink.SetUnderlineMode(1);
    m_webLink.SetLinkTarget(kWebSite);
    m_webLink.SetUnderlineMode(1);

    m_features.SetWindowText(LoadResString(IDS_KEY_FEATURES).c_str());

    m_picture.SubclassDlgItem(IDC_INFO_PICTURE, this);
    m_picture.LoadBitmapImages(IDB_INFO_PICTURE, kWhite, 0, kWhite);
    m_picture.SetHoverBorder(FALSE, TRUE);
    return TRUE;
}

bool CInfoPage::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_INFO_HELP || code != BN_CLICKED) return false;
    // The same help file, opened the same way, as F1 on the main window.
    if (CWinApp* app = AfxGetApp()) app->OnHelp();
    return true;
}
