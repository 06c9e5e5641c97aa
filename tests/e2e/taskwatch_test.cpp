// The process shield page with running test programs, in the program built with the
// monitor's waits shortened (it judges only programs under C:\koravant).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kWork[] = "C:\\koravant\\taskwatch-e2e";

class TaskwatchTest : public ProgramTest {
  protected:
    TaskwatchTest()
        : ProgramTest(LaunchFolder("taskwatch", "Koravant.exe", false, {},
                                   "testbin\\KoravantQuickWatch.exe")) {}

    void SetUp() override {
        ProgramTest::SetUp();
        DeleteTree(kWork);
        for (const std::string& file : m_systemFiles) ASSERT_TRUE(WriteFileBytes(file, "MZ"));
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override {
        ProgramTest::TearDown();
        m_running.clear();
        for (const std::string& file : m_systemFiles) ::DeleteFileA(file.c_str());
        DeleteTree(kWork);
    }

    // Copies test program `program` to `name` in the work folder (once) and starts it.
    RunningProgram& Run(const char* program, const std::string& name, bool hidden) {
        std::string path = Path(name);
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            EXPECT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\" + program, path)) << name;
            if (hidden) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        m_running.push_back(std::make_unique<RunningProgram>(path));
        EXPECT_TRUE(m_running.back()->Running()) << name;
        return *m_running.back();
    }
    static std::string Path(const std::string& name) { return std::string(kWork) + "\\" + name; }

    bool WaitForRows(int count) {
        return WaitUntil([&] { return page.RowCount() == count; });
    }
    // After the passes so far: the window hidden, or shown on this page.
    bool StaysHidden() { return app.WaitForPostedMessages() && !::IsWindowVisible(Main()); }
    // Selects the row of `name` once the list holds it still.
    bool SelectProcess(const std::string& name) {
        return WaitUntil([&] {
            int row = page.RowOf(name);
            return row >= 0 && page.Select(row) && app.WaitForPostedMessages() &&
                   page.Cell(SelectedListRow(page.List()), 0) == name;
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
    const std::vector<std::string> m_systemFiles = {"C:\\windows\\tw_e2e_sys.exe",
                                                    "C:\\windows\\system32\\tw_e2e_sysv.exe"};
    std::vector<std::unique_ptr<RunningProgram>> m_running;
};
}  // namespace

TEST_F(TaskwatchTest, ListsHiddenAndSystemNamedProgramsAndComesForwardWhenTheCountChanges) {
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
}

TEST_F(TaskwatchTest, DeleteEndsTheProcessAndQuarantinesItsFileUnlessItCannotBeOpened) {
    RunningProgram& versioned = Run("idle_program_versioned.exe", "tw_versioned.exe", true);
    RunningProgram& wide = Run("idle_program64.exe", "tw_wide.exe", true);
    RunningProgram& sealed = Run("idle_program.exe", "sealed.exe", true);
    ASSERT_TRUE(WaitForRows(3));
    ExpectForward("0 to 3", false);
    EXPECT_EQ(page.Column(1), (Strings{"Risky", "Risky", "Risky"})) << "whatever the version";
    const std::string original = ReadFileBytes(Path("tw_versioned.exe"));

    EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE), "Please select a file");
    ASSERT_TRUE(SelectProcess("tw_versioned.exe"));
    EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE, IDCANCEL), "Delete: tw_versioned.exe?");
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(versioned.Running());
    EXPECT_TRUE(WaitForRows(3));

    const std::string waited = "Please wait for a while";
    const struct {
        const char* name;
        Strings answers;
        RunningProgram& program;
    } deletes[] = {{"tw_versioned.exe", {waited, "Deleted"}, versioned},
                   {"tw_wide.exe", {waited, "Deleted"}, wide},  // a 64-bit program
                   {"sealed.exe", {"Delete failed"}, sealed}};  // cannot be opened
    for (const auto& d : deletes) {
        ASSERT_TRUE(SelectProcess(d.name));
        EXPECT_EQ(ClickAndAnswer(page, IDC_TASK_DELETE), "Delete: " + std::string(d.name) + "?");
        for (const std::string& answer : d.answers) EXPECT_EQ(Answer(), answer) << d.name;
        bool ends = d.answers.size() == 2;
        EXPECT_EQ(d.program.WaitForExit(ends ? 10000 : 0), ends) << d.name;
    }
    EXPECT_EQ(::GetFileAttributesA(Path("tw_versioned.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(QuarantineFile("tw_versioned.exe.kv")),
              EncodeQuarantineFile(Path("tw_versioned.exe"), original));
    EXPECT_NE(::GetFileAttributesA(Path("sealed.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitUntil([&] { return page.Column(0) == Strings{"sealed.exe"}; }));
}

TEST_F(TaskwatchTest, QuitDuringAPassEndsAtOnce) {
    // Every pass now takes three seconds more: the second begins within a second of the rows.
    Run("idle_program.exe", "slow.exe", true);
    ASSERT_TRUE(WaitForRows(1));
    ::Sleep(1000);
    double asked = NowMs();
    PostCommand(Main(), ID_TRAY_QUIT);
    EXPECT_TRUE(app.WaitForExit(10000));
    std::printf("quit during a pass: ended after %.0f ms\n", NowMs() - asked);
    EXPECT_EQ(app.ExitCode(), 0u) << "no crash";
}
