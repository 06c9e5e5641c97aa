// Safe removal end to end. It ends the desktop's shell: ctest runs these after the other
// tests in a prefix without Wine's virtual desktop, whose windows would all go with its
// explorer.exe. Only the last test lets the real program end that shell; the others run a test
// build that spares it and ends a stand-in (tests/doubles/SeamedSafeRemoval.cpp), its volume
// calls answered as KORAVANT_TEST_VOLUMES says.
#include <windows.h>

#include "process/ProcessModule.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kProgramsClosed[] = "Have you exited all the programs that are using USB disk?";
constexpr char kLogOff[] =
    "You should log off the current user to safely remove USB storage device.";
constexpr UINT kSafelyRemoveCommand = 32772;

bool HasDrive(char letter) { return (::GetLogicalDrives() >> (letter - 'A')) & 1; }

// Programs started from the stick's tools folder, 32-bit and 64-bit.
struct StickPrograms {
    explicit StickPrograms(TestDrive& stick) {
        std::string path32 = stick.Path("tools\\app32.exe"),
                    path64 = stick.Path("tools\\app64.exe");
        if (!CopyProgram(IdleProgramPath(false), path32) ||
            !CopyProgram(IdleProgramPath(true), path64))
            return;
        app32 = RunningProgram(path32);
        app64 = RunningProgram(path64);
        started = WaitUntil([&] {
            return GetProcessExeModule(app32.Pid(), path32) &&
                   GetProcessExeModule(app64.Pid(), path64);
        });
    }
    bool Ended() const { return app32.WaitForExit() && app64.WaitForExit(); }

    bool started = false;
    RunningProgram app32, app64;
};

class SafeRemovalTest : public ProgramTest {
  protected:
    explicit SafeRemovalTest(const char* program = "testbin\\koravant_seamed.exe")
        : ProgramTest("removal", program) {}
    void TearDown() override {
        ProgramTest::TearDown();
        KillProcessesNamed("rundll32.exe");
    }
};

class RealBuildTest : public SafeRemovalTest {
  protected:
    RealBuildTest() : SafeRemovalTest("Koravant.exe") {}
};
}  // namespace

// In the test build the lock fails, as on a volume in use, and a stand-in stands for the shell.
TEST_F(SafeRemovalTest, EndsStickProgramsAndTheShellThenADeclinedLogOffChangesNothing) {
    app.SetEnvironment("KORAVANT_TEST_VOLUMES", "lock-fails");
    ASSERT_TRUE(app.StartHidden());
    TestDrive stick('E', DriveKind::Removable);
    StickPrograms programs{stick};
    ASSERT_TRUE(programs.started);
    // Started from C:, holding a file open on the stick; and the shell's stand-in.
    RunningProgram holder(IdleProgramPath(false), stick.Path("held.txt"));
    std::string shellPath = BuildFolder() + "\\testbin\\shell\\Explorer.EXE";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(true), shellPath));
    RunningProgram shell(shellPath);
    ASSERT_TRUE(WaitUntil([&] { return stick.Exists("held.txt"); }) && shell.Running());

    PageView kit{app, 155, 0};
    ASSERT_TRUE(kit.Open(1008));
    EXPECT_EQ(ClickAndAnswer(kit, 1002), kProgramsClosed);
    EXPECT_EQ(Answer(IDCANCEL), kLogOff);
    EXPECT_TRUE(programs.Ended() && shell.WaitForExit());
    EXPECT_TRUE(holder.Running()) << "its program file is not on the stick";
    EXPECT_TRUE(app.Answers() && ::IsWindowVisible(Main()) && !AnyMessageBox(app.Pid()));
    EXPECT_TRUE(HasDrive('E') && ProcessIdsNamed("rundll32.exe").empty());
}

// Every volume call succeeds in the test build: the other stick is taken, while the program's
// own volume gets the log-off question.
TEST_F(SafeRemovalTest, RunFromTheStickItEndsTheOthersButNeverItselfAndKeepsItsOwnVolume) {
    TestDrive stick('E', DriveKind::Removable), other('F', DriveKind::Removable);
    KoravantApp fromStick{{stick.Path("Brellonix"), "testbin\\koravant_seamed.exe"}};
    fromStick.SetEnvironment("KORAVANT_TEST_VOLUMES", "succeed");
    ASSERT_TRUE(fromStick.StartHidden());
    // Under Wine the first monitor pass lists Wine's own unversioned services and brings the
    // window forward, five seconds after start: let that come first, then hide it again.
    ASSERT_TRUE(WaitUntil([&] { return fromStick.VisiblePage() == 150; }, 20000));
    ::PostMessageA(fromStick.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(fromStick.WaitUntilHidden());
    StickPrograms programs{stick};
    ASSERT_TRUE(programs.started);
    PostCommand(fromStick.MainWindow(), kSafelyRemoveCommand);
    MessageBoxInfo question = WaitForMessageBox(fromStick.Pid());
    EXPECT_EQ(question.text, kProgramsClosed);
    AnswerMessageBox(question, IDOK);
    MessageBoxInfo logOff = WaitForMessageBox(fromStick.Pid());
    EXPECT_EQ(logOff.text, kLogOff);
    AnswerMessageBox(logOff, IDCANCEL);
    EXPECT_TRUE(programs.Ended() && fromStick.IsRunning());
    EXPECT_FALSE(::IsWindowVisible(fromStick.MainWindow())) << "the tray item leaves it hidden";
}

// The real program ends the desktop's own shell, and lives on: it still comes forward.
TEST_F(RealBuildTest, UnderThe98FamilyOnlyTheProcessesAndTheShellAreEndedAndTheProgramLivesOn) {
    // Wine gives a program the 95/98/Me version by its file name.
    const char* appDefaults = "Software\\Wine\\AppDefaults\\Koravant.exe";
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, appDefaults, "Version", "win98"));
    bool started = app.StartHidden();
    DeleteRegistryTree(HKEY_CURRENT_USER, appDefaults);
    ASSERT_TRUE(started);
    TestDrive stick('E', DriveKind::Removable);
    StickPrograms programs{stick};
    ASSERT_TRUE(programs.started);
    ASSERT_FALSE(ProcessIdsNamed("explorer.exe").empty()) << "the desktop's shell";
    PostCommand(Main(), kSafelyRemoveCommand);
    EXPECT_EQ(Answer(), kProgramsClosed);
    EXPECT_TRUE(programs.Ended());
    EXPECT_TRUE(WaitUntil([] { return ProcessIdsNamed("explorer.exe").empty(); }));
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid())) << "no volume work";
    EXPECT_TRUE(app.IsRunning() && HasDrive('E') && ProcessIdsNamed("rundll32.exe").empty());
    EXPECT_TRUE(app.BringForward() && app.IsRunning());
}
