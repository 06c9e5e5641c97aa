// The link control: the browser's own command when the shell cannot open its target (its
// placeholder replaced), the error box when neither can, and the colour that says it was
// visited (the shell's open: e2e).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "controls/HyperLink.h"
#include "controls/LinkTarget.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

TEST(HyperLinkTest, OpensItsTargetFallsBackToTheBrowserAndSaysWhenNeitherCan) {
    // A recorder stands in for the browser: it writes its command line to "quorrel.log".
    const std::string folder = BuildFolder() + "\\link-test", browser = folder + "\\Quorrel.exe";
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\Quorrel.exe", browser));
    CDialog parent(IDD_MAIN), dialog(IDD_INFO);
    CHyperLink link;
    ASSERT_TRUE(parent.Create(IDD_MAIN, nullptr) && dialog.Create(IDD_INFO, &parent) &&
                link.SubclassDlgItem(IDC_INFO_WEB_LINK, &dialog));
    link.SetLinkTarget("koravant-nowhere:page");
    const COLORREF unvisited = link.CurrentTextColor();
    // Clicks the link as a user does and answers the box it may bring up: the box's text.
    auto click = [&] {
        std::atomic<bool> clicked{false};
        MessageBoxInfo box;
        std::thread answerer([&] {
            WaitUntil([&] {
                return (box = WaitForMessageBox(::GetCurrentProcessId(), 0)).window || clicked;
            });
            AnswerMessageBox(box, IDOK);
        });
        ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_INFO_WEB_LINK, STN_CLICKED),
                       reinterpret_cast<LPARAM>(link.m_hWnd));
        clicked = true;
        answerer.join();
        return box.text;
    };
    // ".htm" first opened by nothing, then by the recorder; the prefix's own setting comes back.
    const auto saved = ReadRegistryValue(HKEY_CLASSES_ROOT, ".htm", nullptr);
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "KoravantTestPage");  // left by a failed run
    WriteRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, "KoravantTestPage");
    EXPECT_EQ(click().rfind("Unable to open hyperlink:", 0), 0u);
    EXPECT_EQ(link.CurrentTextColor(), unvisited);
    WriteRegistryString(HKEY_CLASSES_ROOT, "KoravantTestPage\\shell\\open\\command", nullptr,
                        "\"" + browser + "\" -nohome \"%1\"");
    EXPECT_EQ(click(), "");
    std::string log;
    EXPECT_TRUE(
        WaitUntil([&] { return !(log = ReadFileBytes(folder + "\\quorrel.log")).empty(); }));
    EXPECT_EQ(log, "\"" + browser + "\" -nohome  koravant-nowhere:page\r\n-nohome\r\n" +
                       "koravant-nowhere:page\r\n");
    EXPECT_NE(link.CurrentTextColor(), unvisited) << "visited";
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "KoravantTestPage");
    if (saved) WriteRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, saved->data.c_str());
    parent.DestroyWindow();
    DeleteTree(folder);
    EXPECT_EQ(FallbackOpenCommand("browse.exe", "http://x"), "browse.exe http://x") << "no %1";
}
