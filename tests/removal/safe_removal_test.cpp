// Safe removal end to end. It ends the desktop's shell: ctest runs these after the other
// tests in a prefix without Wine's virtual desktop, whose windows would all go with its
// explorer.exe. Only the last test lets the real program end that shell; the first runs a test
// build that spares it and ends a stand-in (tests/doubles/SeamedSafeRemoval.cpp).
#include "process/ProcessModule.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kProgramsClosed[] = "Have you exited all the programs that are using USB disk?";

bool HasDrive(char letter) { return (::GetLogicalDrives() >> (letter - 'A')) & 1; }

class SafeRemovalTest : public ProgramTest {
  protected:
    SafeRemovalTest() : ProgramTest("removal") {}
    void TearDown() override {
        ProgramTest::TearDown();
        KillProcessesNamed("rundll32.exe");
    }
    // Starts a 32-bit and a 64-bit program from the stick's tools folder.
    bool StartStickPrograms(const TestDrive& stick) {
        for (bool is64Bit : {false, true}) {
            std::string path = stick.Path(is64Bit ? "tools\\app64.exe" : "tools\\app32.exe");
            if (!CopyProgram(IdleProgramPath(is64Bit), path)) return false;
            onStick[is64Bit] = RunningProgram(path);
            if (!WaitUntil([&] { return GetProcessExeModule(onStick[is64Bit].Pid(), path); }))
                return false;
        }
        return true;
    }

    RunningProgram onStick[2];
};
}  // namespace

// Run from the stick, in the test build whose locks fail as on a volume in use: it ends the
// stick's programs and the shell's stand-in but never itself, and a declined log-off changes
// nothing.
TEST_F(SafeRemovalTest, FromTheStickItEndsItsProgramsAndTheShellButNeverItself) {
    TestDrive stick('E', DriveKind::Removable);
    KoravantApp fromStick{{stick.Path("Brellonix"), "testbin\\koravant_seamed.exe"}};
    fromStick.SetEnvironment("KORAVANT_TEST_VOLUMES", "lock-fails");
    ASSERT_TRUE(fromStick.StartHidden() && StartStickPrograms(stick));
    // Started from C:, holding a file open on the stick; and the shell's stand-in.
    RunningProgram holder(IdleProgramPath(false), stick.Path("held.txt"));
    std::string shellPath = BuildFolder() + "\\testbin\\shell\\Explorer.EXE";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(true), shellPath));
    RunningProgram shell(shellPath);
    ASSERT_TRUE(WaitUntil([&] { return stick.Exists("held.txt"); }) && shell.Running());
    // Under Wine the first monitor pass lists Wine's own unversioned services and brings the
    // window forward, five seconds after start: let that come first.
    ASSERT_TRUE(WaitUntil([&] { return fromStick.VisiblePage() == 150; }, 20000));

    PageView kit{fromStick, 155, 0};
    ASSERT_TRUE(kit.Open(1008));
    kit.Click(1002);
    for (const char* text : {kProgramsClosed,
                             "You should log off the current user to safely "
                             "remove USB storage device."}) {
        MessageBoxInfo box = WaitForMessageBox(fromStick.Pid());
        EXPECT_EQ(box.text, text);
        AnswerMessageBox(box, box.text == kProgramsClosed ? IDOK : IDCANCEL);
    }
    EXPECT_TRUE(onStick[0].WaitForExit() && onStick[1].WaitForExit() && shell.WaitForExit());
    EXPECT_TRUE(holder.Running()) << "its program file is not on the stick";
    EXPECT_TRUE(fromStick.Answers() && !AnyMessageBox(fromStick.Pid()));
    EXPECT_TRUE(HasDrive('E') && ProcessIdsNamed("rundll32.exe").empty());
}

// The real program, under the 95/98/Me version, ends the desktop's own shell, does no volume
// work, and lives on: it still comes forward.
TEST_F(SafeRemovalTest, UnderThe98FamilyOnlyTheProcessesAndTheShellAreEndedAndTheProgramLivesOn) {
    // Wine gives a program the 95/98/Me version by its file name.
    const char* appDefaults = "Software\\Wine\\AppDefaults\\Koravant.exe";
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, appDefaults, "Version", "win98"));
    bool started = app.StartHidden();
    DeleteRegistryTree(HKEY_CURRENT_USER, appDefaults);
    ASSERT_TRUE(started);
    TestDrive stick('E', DriveKind::Removable);
    // The desktop's shell runs.
    ASSERT_TRUE(StartStickPrograms(stick) && !ProcessIdsNamed("explorer.exe").empty());
    PostCommand(Main(), 32772);  // the tray's "Safely remove USB Disk"
    EXPECT_EQ(Answer(), kProgramsClosed);
    EXPECT_TRUE(onStick[0].WaitForExit() && onStick[1].WaitForExit());
    EXPECT_TRUE(WaitUntil([] { return ProcessIdsNamed("explorer.exe").empty(); }));
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid())) << "no volume work";
    EXPECT_TRUE(app.IsRunning() && HasDrive('E') && ProcessIdsNamed("rundll32.exe").empty());
    EXPECT_TRUE(app.BringForward() && app.IsRunning());
}
