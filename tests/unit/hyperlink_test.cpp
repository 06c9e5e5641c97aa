// The link control and the information page that carries two of them.
#include <gtest/gtest.h>

#include <string>

#include "app/InfoPage.h"
#include "controls/HyperLink.h"
#include "controls/LinkTarget.h"
#include "tests/unit/template_dialog.h"

namespace {
TEST(LinkTarget, FallbackCommandPutsTheTargetWhereThePlaceholderWas) {
    EXPECT_EQ(FallbackOpenCommand("\"C:\\Web\\browse.exe\" -nohome \"%1\" -tab", "http://x"),
              "\"C:\\Web\\browse.exe\" -nohome  http://x");
    EXPECT_EQ(FallbackOpenCommand("browse.exe %1 -tab", "http://x"), "browse.exe  http://x");
    EXPECT_EQ(FallbackOpenCommand("browse.exe", "http://x"), "browse.exe http://x");
}

TEST(LinkTarget, OpenErrorsAreExplained) {
    EXPECT_EQ(OpenErrorText(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(OpenErrorText(0),
              "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.");
    EXPECT_EQ(OpenErrorText(4), "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
    EXPECT_EQ(OpenErrorText(31).substr(27),
              "There is no application associated\nwith the given "
              "filename extension.");
}

TEST(LinkTarget, FittingKeepsTheAnchorOfTheAlignment) {
    const RECT window = {100, 50, 300, 70};  // 200 x 20 with a 2-pixel frame all round
    const RECT client = {0, 0, 196, 16};
    const SIZE text = {80, 14};
    RECT left = FitLinkRect(window, client, text, SS_LEFT);
    EXPECT_EQ(left.left, 100);
    EXPECT_EQ(left.right, 184);
    EXPECT_EQ(left.top, 50);
    EXPECT_EQ(left.bottom, 68);
    RECT right = FitLinkRect(window, client, text, SS_RIGHT);
    EXPECT_EQ(right.right, 300);
    EXPECT_EQ(right.left, 216);
    RECT centred = FitLinkRect(window, client, text, SS_CENTER | SS_CENTERIMAGE);
    EXPECT_EQ((centred.left + centred.right) / 2, 200);
    EXPECT_EQ(centred.right - centred.left, 84);
    EXPECT_EQ((centred.top + centred.bottom) / 2, 60);
}

bool IsUnderlined(HWND window) {
    auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA info = {};
    return font && ::GetObjectA(font, sizeof(info), &info) && info.lfUnderline;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

// A host window with one CDialog-based page on it, so that notifications are reflected.
class InfoPageTest : public testing::Test {
  protected:
    void SetUp() override {
        m_host.m_hWnd =
            ::CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 780, 480, nullptr,
                              nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(page.Create(IDD_INFO, &m_host));
        page.ShowWindow(SW_SHOW);
        TemplateDialog::Pump(50);
    }
    void TearDown() override {
        page.DestroyWindow();
        ::DestroyWindow(m_host.m_hWnd);
    }
    CHyperLink* Link(int id) {
        return static_cast<CHyperLink*>(CWnd::FromHandlePermanent(page.GetDlgItem(id)));
    }

    CWnd m_host;
    CInfoPage page;
};

TEST_F(InfoPageTest, ShowsStateVersionLinksAndFeatures) {
    EXPECT_EQ(TextOf(page.GetDlgItem(IDC_INFO_STATE)), "Active");
    std::string features = TextOf(page.GetDlgItem(IDC_INFO_FEATURES));
    EXPECT_EQ(features.substr(0, 15), "Key features:\r\n");
    EXPECT_TRUE(::GetWindowLongPtrA(page.GetDlgItem(IDC_INFO_FEATURES), GWL_STYLE) & ES_READONLY);
    ASSERT_NE(Link(IDC_INFO_WEB_LINK), nullptr);
    ASSERT_NE(Link(IDC_INFO_MAIL_LINK), nullptr);
    EXPECT_EQ(Link(IDC_INFO_WEB_LINK)->LinkTarget(), kWebSite);
    EXPECT_EQ(TextOf(page.GetDlgItem(IDC_INFO_WEB_LINK)), kWebSite);
    EXPECT_EQ(Link(IDC_INFO_MAIL_LINK)->LinkTarget(), std::string("mailto:") + kSupportMail);
    EXPECT_EQ(TextOf(page.GetDlgItem(IDC_INFO_MAIL_LINK)), kSupportMail);
}

TEST_F(InfoPageTest, AlwaysUnderlinedLinksKeepTheirFontUnderThePointer) {
    HWND web = page.GetDlgItem(IDC_INFO_WEB_LINK);
    EXPECT_TRUE(IsUnderlined(web));
    EXPECT_EQ(Link(IDC_INFO_WEB_LINK)->CurrentTextColor(), RGB(0, 0, 238));
    RECT rect;
    ::GetWindowRect(web, &rect);
    ::SetCursorPos(rect.left + 2, rect.top + 2);
    ::SendMessageA(web, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(Link(IDC_INFO_WEB_LINK)->IsOver());
    EXPECT_EQ(Link(IDC_INFO_WEB_LINK)->CurrentTextColor(), RGB(255, 0, 0));
    EXPECT_TRUE(IsUnderlined(web));
    // Pointer gone: the hover timer notices within a period or two.
    ::SetCursorPos(rect.right + 300, rect.bottom + 200);
    TemplateDialog::Pump(350);
    EXPECT_FALSE(Link(IDC_INFO_WEB_LINK)->IsOver());
    EXPECT_TRUE(IsUnderlined(web));
}

TEST_F(InfoPageTest, HoverUnderlinesOnlyInHoverMode) {
    HWND mail = page.GetDlgItem(IDC_INFO_MAIL_LINK);
    CHyperLink* link = Link(IDC_INFO_MAIL_LINK);
    link->SetUnderlineMode(-1);
    EXPECT_FALSE(IsUnderlined(mail));
    RECT rect;
    ::GetWindowRect(mail, &rect);
    ::SetCursorPos(rect.left + 2, rect.top + 2);
    ::SendMessageA(mail, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(IsUnderlined(mail));
    ::SetCursorPos(rect.right + 300, rect.bottom + 200);
    TemplateDialog::Pump(350);
    EXPECT_FALSE(IsUnderlined(mail));
    link->MarkVisited(true);
    EXPECT_EQ(link->CurrentTextColor(), RGB(85, 26, 139));
}

TEST(HyperLink, AnEmptyStaticShowsItsTarget) {
    HWND host = ::CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    HWND label =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 300, 20, host,
                          reinterpret_cast<HMENU>(7), ::GetModuleHandleA(nullptr), nullptr);
    {
        CHyperLink link;
        link.SetLinkTarget("https://example.invalid/");
        ASSERT_TRUE(link.SubclassWindow(label));
        EXPECT_EQ(TextOf(label), "https://example.invalid/");
        EXPECT_TRUE(::GetWindowLongPtrA(label, GWL_STYLE) & SS_NOTIFY);
        RECT rect;
        ::GetWindowRect(label, &rect);
        EXPECT_LT(rect.right - rect.left, 300);  // fitted to its text
    }
    ::DestroyWindow(host);
}
}  // namespace
