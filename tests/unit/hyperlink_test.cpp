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

namespace {
constexpr COLORREF kLinkColour = RGB(0, 0, 238), kVisitedColour = RGB(85, 26, 139);
constexpr char kHtmClass[] = "KoravantTestPage";

// A recorder that writes its command line to "quorrel.log" beside itself, in a folder of its own.
struct Recorder {
    std::string folder = BuildFolder() + "\\link-test", exe = folder + "\\Quorrel.exe";
    bool ready = CopyProgram(BuildFolder() + "\\testbin\\Quorrel.exe", exe);
    ~Recorder() { DeleteTree(folder); }
    std::string Log() const {
        std::string log;
        WaitUntil([&] { return !(log = ReadFileBytes(folder + "\\quorrel.log")).empty(); });
        return log;
    }
};

// ".htm" opened by `command` (none when empty); the prefix's own setting comes back after.
struct HtmOpenCommand {
    std::optional<RegistryValue> saved = ReadRegistryValue(HKEY_CLASSES_ROOT, ".htm", nullptr);
    explicit HtmOpenCommand(const std::string& command) {
        WriteRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, kHtmClass);
        std::string key = std::string(kHtmClass) + "\\shell\\open\\command";
        if (!command.empty()) WriteRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, command);
    }
    ~HtmOpenCommand() {
        DeleteRegistryTree(HKEY_CLASSES_ROOT, kHtmClass);
        if (saved) WriteRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, saved->data.c_str());
    }
};

struct LinkDialog : CDialog {
    LinkDialog() : CDialog(IDD_INFO) {}
    CHyperLink link;
};

// Clicks the link as a user does and answers the box it may bring up: the box's text.
std::string Click(LinkDialog& dialog) {
    std::string boxText;
    std::atomic<bool> clicked{false};
    std::thread answerer([&] {
        MessageBoxInfo box;
        WaitUntil([&] {
            box = WaitForMessageBox(::GetCurrentProcessId(), 0);
            return box.window || clicked;
        });
        boxText = box.text;
        AnswerMessageBox(box, IDOK);
    });
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_INFO_WEB_LINK, STN_CLICKED),
                   reinterpret_cast<LPARAM>(dialog.link.m_hWnd));
    clicked = true;
    answerer.join();
    return boxText;
}
}  // namespace

TEST(HyperLinkTest, OpensItsTargetFallsBackToTheBrowserAndSaysWhenNeitherCan) {
    Recorder recorder;
    ASSERT_TRUE(recorder.ready);
    CDialog parent(IDD_MAIN);
    ASSERT_TRUE(parent.Create(IDD_MAIN, nullptr));
    LinkDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_INFO, &parent));
    ASSERT_TRUE(dialog.link.SubclassDlgItem(IDC_INFO_WEB_LINK, &dialog));
    EXPECT_EQ(dialog.link.CurrentTextColor(), kLinkColour);

    // Neither the shell nor a browser knows the target: the box says so, nothing is visited.
    {
        HtmOpenCommand none("");
        dialog.link.SetLinkTarget("koravant-nowhere:page");
        EXPECT_EQ(Click(dialog).rfind("Unable to open hyperlink:", 0), 0u);
        EXPECT_EQ(dialog.link.CurrentTextColor(), kLinkColour);
    }
    // The shell cannot, the browser's own command can: it gets the target.
    {
        HtmOpenCommand browser("\"" + recorder.exe + "\" -nohome \"%1\"");
        EXPECT_EQ(Click(dialog), "");
        EXPECT_EQ(recorder.Log(), "\"" + recorder.exe +
                                      "\" -nohome  koravant-nowhere:page\r\n"
                                      "-nohome\r\nkoravant-nowhere:page\r\n");
        EXPECT_EQ(dialog.link.CurrentTextColor(), kVisitedColour);
    }
    parent.DestroyWindow();
    EXPECT_EQ(FallbackOpenCommand("browse.exe", "http://x"), "browse.exe http://x") << "no %1";
}
