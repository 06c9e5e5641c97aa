// The process shield page with running test programs, in the program built with the
// monitor's waits shortened (it judges only programs under C:\koravant).
#include <memory>

#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kWork[] = "C:\\koravant\\taskwatch-e2e";
const Strings kSystemFiles = {"C:\\windows\\tw_e2e_sys.exe",
                              "C:\\windows\\system32\\tw_e2e_sysv.exe"};

std::string Path(const std::string& name) { return std::string(kWork) + "\\" + name; }

class TaskwatchTest : public ProgramTest {
  protected:
    TaskwatchTest() : ProgramTest("taskwatch", "testbin\\KoravantQuickWatch.exe") {}
    void SetUp() override {
        ProgramTest::SetUp();
        DeleteTree(kWork);
        for (const std::string& file : kSystemFiles) ASSERT_TRUE(WriteFileBytes(file, "MZ"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        running.clear();
        for (const std::string& file : kSystemFiles) ::DeleteFileA(file.c_str());
        DeleteTree(kWork);
    }

    // Copies test program `program` to `name` in the work folder (once) and starts it.
    RunningProgram& Run(const char* program, const std::string& name, bool hidden) {
        if (!FileExists(Path(name))) {
            EXPECT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\" + program, Path(name)));
            if (hidden) ::SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        running.push_back(std::make_unique<RunningProgram>(Path(name)));
        EXPECT_TRUE(running.back()->Running()) << name;
        return *running.back();
    }
    bool WaitForRows(int count) {
        return WaitUntil([&] { return page.RowCount() == count; });
    }
    bool StaysHidden() { return app.WaitForPostedMessages() && !::IsWindowVisible(Main()); }
    // Selects the row of `name` once the list holds it still.
    bool SelectProcess(const std::string& name) {
        return WaitUntil([&] {
            int row = page.RowOf(name);
            return row >= 0 && page.Select(row) && app.WaitForPostedMessages() &&
                   page.Cell(page.SelectedRow(), 0) == name;
        });
    }
    void ExpectForward(const char* step, bool thenHide = true) {
        EXPECT_TRUE(app.WaitUntilVisible() && WaitUntil([&] { return app.VisiblePage() == 150; }))
            << step;
        if (!thenHide) return;
        ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(app.WaitUntilHidden());
    }

    PageView page{app, IDD_TASKWATCH, IDC_TASK_LIST, IDC_TASK_STATUS};
    std::vector<std::unique_ptr<RunningProgram>> running;
};
}  // namespace

TEST_F(TaskwatchTest, ListsComesForwardWhenTheCountChangesDeletesAndQuitsMidPass) {
    ASSERT_TRUE(app.StartHidden());
    // Neither a versioned program named like a Windows file nor an unknown name is listed.
    Run("idle_program_versioned.exe", "tw_e2e_sysv.exe", false);
    Run("idle_program.exe", "tw_plain.exe", false);
    EXPECT_TRUE(page.WaitForResultLine("No threat found"));
    EXPECT_TRUE(StaysHidden());

    // Two programs of one hidden file: 0 to 2.
    Run("idle_program.exe", "twin.exe", true);
    Run("idle_program.exe", "twin.exe", true);
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_EQ(page.ResultLine(), "Your computer is at risk!");
    EXPECT_EQ(page.Rows()[0], (Strings{"twin.exe", "Risky", Path("twin.exe")}));
    ExpectForward("0 to 2");
    // A hidden 64-bit program named like a Windows file: 2 to 3.
    RunningProgram& named = Run("idle_program64.exe", "tw_e2e_sys.exe", true);
    ASSERT_TRUE(WaitForRows(3));
    EXPECT_EQ(page.Rows()[2], (Strings{"tw_e2e_sys.exe", "Risky", Path("tw_e2e_sys.exe")}));
    ExpectForward("2 to 3");
    // Its file shown: still listed, now as an unversioned Windows name; 3 to 3.
    ::SetFileAttributesA(Path("tw_e2e_sys.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(WaitUntil([&] { return page.Cell(2, 1) == "Suspicious"; }));
    EXPECT_TRUE(StaysHidden()) << "3 to 3";
    // Both twins leave the list at once: 3 to 1.
    ::SetFileAttributesA(Path("twin.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(page.Rows()[0], (Strings{"tw_e2e_sys.exe", "Suspicious", Path("tw_e2e_sys.exe")}));
    ExpectForward("3 to 1");
    named.Kill();
    ASSERT_TRUE(WaitForRows(0));
    EXPECT_TRUE(page.WaitForResultLine("No threat found"));
    EXPECT_TRUE(StaysHidden()) << "1 to 0";

    // Hidden is "Risky" whatever the version; "sealed" cannot be opened.
    RunningProgram& versioned = Run("idle_program_versioned.exe", "tw_versioned.exe", true);
    RunningProgram& wide = Run("idle_program64.exe", "tw_wide.exe", true);
    RunningProgram& sealed = Run("idle_program.exe", "sealed.exe", true);
    ASSERT_TRUE(WaitForRows(3));
    ExpectForward("0 to 3", false);
    EXPECT_EQ(page.Column(1), (Strings{"Risky", "Risky", "Risky"}));
    const std::string original = ReadFileBytes(Path("tw_versioned.exe"));
    EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE), "Please select a file");
    ASSERT_TRUE(SelectProcess("tw_versioned.exe"));
    EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE, IDCANCEL), "Delete: tw_versioned.exe?");
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(versioned.Running() && WaitForRows(3));
    for (std::string name : {"tw_versioned.exe", "tw_wide.exe", "sealed.exe"}) {
        ASSERT_TRUE(SelectProcess(name));
        EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE), "Delete: " + name + "?");
        const bool opens = name != "sealed.exe";
        EXPECT_EQ(opens ? Answer() : "", opens ? "Please wait for a while" : "");
        EXPECT_EQ(Answer(), opens ? "Deleted" : "Delete failed") << name;
    }
    EXPECT_TRUE(versioned.WaitForExit() && wide.WaitForExit() && sealed.Running());
    EXPECT_FALSE(FileExists(Path("tw_versioned.exe")));
    EXPECT_EQ(ReadFileBytes(QuarantineFile("tw_versioned.exe.kv")),
              EncodeQuarantineFile(Path("tw_versioned.exe"), original));
    EXPECT_TRUE(FileExists(Path("sealed.exe")));
    EXPECT_TRUE(WaitUntil([&] { return page.Column(0) == Strings{"sealed.exe"}; }));

    // A pass that meets "slow..." takes three seconds more: the next begins within a second.
    Run("idle_program.exe", "slow.exe", true);
    ASSERT_TRUE(WaitForRows(2));
    ::Sleep(1000);
    PostCommand(Main(), ID_TRAY_QUIT);
    EXPECT_TRUE(app.WaitForExit(10000));
    EXPECT_EQ(app.ExitCode(), 0u) << "no crash";
}
