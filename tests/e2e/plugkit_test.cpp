// The tools page and its tray items: immunity planted and taken away with its messages, and
// safe removal's first question; the runs that go past it end the shell (tests/removal).
#include <windows.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"
#include "usb/Immunity.h"

namespace {

constexpr char kImmune[] = "Your computer and USB storage are immune from virus";
constexpr char kNotImmune[] =
    "Your computer and USB storage device are not immune away from virus!";
constexpr char kRootWarningOnE[] =
    "There may be virus on the root directory: E:\\ \r\nPlease use Antivirus software to scan "
    "your computer!";
constexpr char kProgramsClosed[] = "Have you exited all the programs that are using USB disk?";
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr int kPlugkitButton = 1008, kAcquire = 1030, kCancel = 1031;

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
        ::PostMessageA(Main(), kTrayCallback, 160, WM_RBUTTONUP);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return ::IsWindowVisible(menu = FindTopLevel(app.Pid(), "#32768", "")); }));
        for (int i = 0; i < down; ++i) PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
    }
};

}  // namespace

TEST_F(PlugkitTest, PagePlantsAndTakesAwayImmunityWithItsMessages) {
    PageView kit{app, 155, 0};
    ASSERT_TRUE(kit.Open(kPlugkitButton));
    EXPECT_EQ(WindowText(::GetDlgItem(kit.Page(), 1055)).rfind("Acquire Immunity:", 0), 0u);
    EXPECT_EQ(WindowText(::GetDlgItem(kit.Page(), 1054)).rfind("Problem:", 0), 0u);

    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    kit.Click(kAcquire);
    EXPECT_EQ(Answer(), kRootWarningOnE);
    EXPECT_EQ(Answer(), kImmune);
    EXPECT_TRUE(stick.Exists("AUTORUN.INF\\ReadMe.txt"));
    // Immune already: no warning for the stick this time.
    EXPECT_EQ(ClickAndAnswer(kit, kAcquire), kImmune);
    EXPECT_EQ(ClickAndAnswer(kit, kCancel), kNotImmune);
    EXPECT_TRUE(ListFolder(stick.Folder()).empty());
}

TEST_F(PlugkitTest, TrayItemsReachTheOperationsWhileTheWindowStaysHidden) {
    TestDrive stick('E', DriveKind::Removable);
    std::string program = stick.Path("tools\\app.exe");
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), program));
    RunningProgram onStick(program);
    ASSERT_TRUE(onStick.Running());

    PickTrayItem(2);  // "Safely remove USB Disk"
    EXPECT_EQ(Answer(IDCANCEL), kProgramsClosed);
    EXPECT_FALSE(WaitUntil([&] { return AnyMessageBox(app.Pid()); }, 1000));
    EXPECT_TRUE(onStick.Running() && !ProcessIdsNamed("explorer.exe").empty())
        << "Cancel changes nothing";
    EXPECT_TRUE(stick.Plugged() && (::GetLogicalDrives() & (1u << 4)));

    PickTrayItem(3);  // "Acquire Immunity"
    EXPECT_EQ(Answer(), kImmune);
    EXPECT_TRUE(stick.Exists("AUTORUN.INF\\ReadMe.txt"));
    EXPECT_FALSE(::IsWindowVisible(Main()));
    RemoveDriveImmunity("E:\\", nullptr);
}
