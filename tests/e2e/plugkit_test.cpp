// The tools page and its tray items: immunity planted and taken away with its messages, and
// safe removal's first question; the runs that go past it end the shell (tests/removal).
#include <windows.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"
#include "usb/Immunity.h"

namespace {
constexpr char kImmune[] = "Your computer and USB storage are immune from virus";

class PlugkitTest : public ProgramTest {
  protected:
    PlugkitTest() : ProgramTest("plugkit") {}
    void SetUp() override {
        ProgramTest::SetUp();
        // Immunity reaches every drive: only the prefix's C: and this test's may be there.
        ASSERT_EQ(::GetLogicalDrives(), 1u << 2) << "a drive that is not the test's";
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override {
        ProgramTest::TearDown();
        RemoveDriveImmunity("C:\\", nullptr);
    }

    // Opens the tray menu and picks its `down`-th item (separators are passed over).
    void PickTrayItem(int down) const {
        ::PostMessageA(Main(), WM_USER + 1, 160, WM_RBUTTONUP);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return ::IsWindowVisible(menu = FindTopLevel(app.Pid(), "#32768", "")); }));
        for (int i = 0; i < down; ++i) PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
    }
};
}  // namespace

// The tray's items while the window stays hidden, a stick pulled out while Acquire warns about
// the AutoRun file it deleted there, then the page's buttons.
TEST_F(PlugkitTest, TrayItemsWhileHiddenThenThePageTakesImmunityAway) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), stick.Path("tools\\app.exe")));
    RunningProgram onStick(stick.Path("tools\\app.exe"));
    PickTrayItem(2);  // "Safely remove USB Disk"
    EXPECT_EQ(Answer(IDCANCEL), "Have you exited all the programs that are using USB disk?");
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid()));
    EXPECT_TRUE(onStick.Running() && !ProcessIdsNamed("explorer.exe").empty())
        << "Cancel changes nothing";
    EXPECT_TRUE(::GetLogicalDrives() & (1u << 4));
    onStick.Kill();

    PickTrayItem(3);  // "Acquire Immunity"
    MessageBoxInfo warning = WaitForMessageBox(app.Pid());
    EXPECT_EQ(warning.text,
              "There may be virus on the root directory: E:\\ \r\nPlease use Antivirus software "
              "to scan your computer!");
    ASSERT_TRUE(stick.Remove() && AnswerMessageBox(warning, IDOK));
    EXPECT_EQ(Answer(), kImmune);
    ASSERT_TRUE(SendDriveRemoval(Main(), 'E') && app.Answers());
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"tools"}) << "nothing half made";
    EXPECT_FALSE(::IsWindowVisible(Main()));

    ASSERT_TRUE(stick.Plug());
    PageView kit{app, 155, 0};
    ASSERT_TRUE(kit.Open(1008));
    EXPECT_EQ(ClickAndAnswer(kit, 1030), kImmune);  // Acquire
    EXPECT_TRUE(stick.Exists("AUTORUN.INF\\ReadMe.txt"));
    EXPECT_EQ(ClickAndAnswer(kit, 1031),  // Cancel
              "Your computer and USB storage device are not immune away from virus!");
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"tools"});
}
