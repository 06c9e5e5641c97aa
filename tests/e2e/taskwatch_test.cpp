// The process shield page with running test programs, in the program built with the
// monitor's waits shortened (it judges only programs under C:\koravant).
#include <memory>

#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kWork[] = "C:\\koravant\\taskwatch-e2e";

std::string Path(const std::string& name) { return std::string(kWork) + "\\" + name; }

class TaskwatchTest : public ProgramTest {
  protected:
    TaskwatchTest() : ProgramTest("taskwatch", "testbin\\KoravantQuickWatch.exe") {}
    void SetUp() override {
        ProgramTest::SetUp();
        DeleteTree(kWork);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        running.clear();
        DeleteTree(kWork);
    }

    // Copies test program `program` to `name` in the work folder (once) and starts it.
    RunningProgram& Run(const char* program, const std::string& name, bool hidden) {
        if (!PathExists(Path(name))) {
            EXPECT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\" + program, Path(name)));
            if (hidden) ::SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        running.push_back(std::make_unique<RunningProgram>(Path(name)));
        EXPECT_TRUE(running.back()->Running()) << name;
        return *running.back();
    }
    // Waits for `rows` rows: the window then came forward on this page (and is sent back to the
    // tray), or stayed hidden.
    void ExpectRows(int rows, bool forward, const char* step) {
        ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == rows; })) << step;
        if (forward) {
            EXPECT_TRUE(WaitUntil([&] {
                return ::IsWindowVisible(Main()) && app.VisiblePage() == 150;
            })) << step;
            ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(app.WaitForPostedMessages() && !::IsWindowVisible(Main())) << step;
    }
    // Selects the row of `name` once the list holds it still.
    bool SelectProcess(const std::string& name) {
        return WaitUntil([&] {
            int row = page.RowOf(name);
            return row >= 0 && page.Select(row) && app.WaitForPostedMessages() &&
                   page.Cell(page.SelectedRow(), 0) == name;
        });
    }

    PageView page{app, IDD_TASKWATCH, IDC_TASK_LIST, IDC_TASK_STATUS};
    std::vector<std::unique_ptr<RunningProgram>> running;
};
}  // namespace

TEST_F(TaskwatchTest, ListsComesForwardWhenTheCountChangesDeletesAndQuitsMidPass) {
    ASSERT_TRUE(app.StartHidden());
    // Never listed: a versioned program named like a Windows file, and an unknown name.
    Run("idle_program_versioned.exe", "regedit.exe", false);
    Run("idle_program.exe", "tw_plain.exe", false);
    // Two programs of one hidden file: 0 to 2.
    Run("idle_program.exe", "twin.exe", true);
    Run("idle_program.exe", "twin.exe", true);
    ASSERT_NO_FATAL_FAILURE(ExpectRows(2, true, "0 to 2"));
    EXPECT_EQ(page.ResultLine(), "Your computer is at risk!");
    EXPECT_EQ(page.Rows()[0], (Strings{"twin.exe", "Risky", Path("twin.exe")}));
    // A hidden 64-bit program named like a Windows file: 2 to 3.
    RunningProgram& named = Run("idle_program64.exe", "notepad.exe", true);
    ExpectRows(3, true, "2 to 3");
    // Its file shown: still listed, now as an unversioned Windows name; 3 to 3.
    ::SetFileAttributesA(Path("notepad.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(WaitUntil([&] { return page.Cell(2, 1) == "Suspicious"; }));
    ExpectRows(3, false, "3 to 3");
    // Both twins leave the list at once: 3 to 1.
    ::SetFileAttributesA(Path("twin.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_NO_FATAL_FAILURE(ExpectRows(1, true, "3 to 1"));
    EXPECT_EQ(page.Rows()[0], (Strings{"notepad.exe", "Suspicious", Path("notepad.exe")}));
    named.Kill();
    ExpectRows(0, false, "1 to 0");
    EXPECT_EQ(page.ResultLine(), "No threat found");

    // Hidden programs are listed whatever their version and bitness; "sealed" cannot be opened.
    RunningProgram& versioned = Run("idle_program_versioned.exe", "tw_versioned.exe", true);
    RunningProgram& wide = Run("idle_program64.exe", "tw_wide.exe", true);
    RunningProgram& sealed = Run("idle_program.exe", "sealed.exe", true);
    ExpectRows(3, true, "0 to 3");
    ASSERT_TRUE(page.Open(IDC_PAGE_TASKWATCH));
    const std::string original = ReadFileBytes(Path("tw_versioned.exe"));
    ASSERT_TRUE(SelectProcess("tw_versioned.exe"));
    EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE, IDCANCEL), "Delete: tw_versioned.exe?");
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid()) && versioned.Running());
    for (std::string name : {"tw_versioned.exe", "tw_wide.exe", "sealed.exe"}) {
        ASSERT_TRUE(SelectProcess(name));
        EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE), "Delete: " + name + "?");
        const bool opens = name != "sealed.exe";
        EXPECT_EQ(opens ? Answer() : "", opens ? "Please wait for a while" : "");
        EXPECT_EQ(Answer(), opens ? "Deleted" : "Delete failed") << name;
    }
    EXPECT_TRUE(versioned.WaitForExit() && wide.WaitForExit() && sealed.Running());
    EXPECT_TRUE(!PathExists(Path("tw_versioned.exe")) && PathExists(Path("sealed.exe")));
    EXPECT_EQ(ReadFileBytes(QuarantineFile("tw_versioned.exe.kv")),
              EncodeQuarantineFile(Path("tw_versioned.exe"), original));
    EXPECT_TRUE(WaitUntil([&] { return page.Column(0) == Strings{"sealed.exe"}; }));

    // A pass that meets "slow..." takes three seconds more: the next begins within a second.
    Run("idle_program.exe", "slow.exe", true);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 2; }));
    ::Sleep(1000);
    PostCommand(Main(), ID_TRAY_QUIT);
    EXPECT_TRUE(app.WaitForExit(10000) && app.ExitCode() == 0) << "no crash";
}
