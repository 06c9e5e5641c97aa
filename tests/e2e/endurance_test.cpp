// Long use and faults, objects counted inside the program (tests/support/ObjectProbe.h). Short
// runs here; the group DISABLED_EnduranceLong runs the long ones and prints their figures.
#include <cstdio>
#include <cstdlib>

#include "tests/support/ObjectProbe.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Wait.h"

namespace {
const char* const kRemoveStick = "Please remove your USB disk and plug it into the computer again";

struct Sizes {
    int cycles, threats, quarantineFiles, switches, cleanupFiles;
};
constexpr Sizes kShort = {30, 200, 300, 100, 2000}, kLong = {1000, 1000, 1000, 1000, 10000};

// Distinct content per threat; the first 32 MB and every tenth one a megabyte, so that a quit
// lands inside a copy; the other odd ones small enough to be copied on a full disk.
std::string ThreatContent(int index) {
    std::string content = "MZ threat " + std::to_string(index) + " ";
    const size_t size = index % 2 ? 500 : 40000;
    content.resize(index == 0 ? 32000000 : index % 10 == 9 ? 1000000 : size, 'q');
    return content;
}
std::string ThreatName(int index) { return "t" + std::to_string(index) + ".inf"; }

// The least of a few counts: a monitor pass or worker brings and takes away megabytes.
ProcessCounts SettledCounts(DWORD pid) {
    ProcessCounts least = CountObjectsOf(pid);
    for (int i = 0; i < 4; ++i) {
        ::Sleep(150);
        ProcessCounts now = CountObjectsOf(pid);
        least = {std::min(least.gdi, now.gdi), std::min(least.user, now.user),
                 std::min(least.handles, now.handles), std::min(least.privateKb, now.privateKb)};
    }
    return least;
}

// A few objects of caches that settle (Wine's GDI count moves by up to 4 between runs of the
// same page switches), and some heap: Wine's private memory steps up and down by 4 MB between
// one count and the next without any work done. A leak per arrival or switch shows tens.
void ExpectFlat(const ProcessCounts& before, const ProcessCounts& after) {
    ASSERT_TRUE(before.Valid() && after.Valid());
    EXPECT_TRUE(after.gdi <= before.gdi + 8 && after.user <= before.user + 3 &&
                after.handles <= before.handles + 10 && after.privateKb <= before.privateKb + 5120)
        << before.Describe() << " -> " << after.Describe();
}

class EnduranceTest : public ProgramTest {
  protected:
    // By default the build whose process monitor passes every 600 ms, so that its thread runs
    // under every case here.
    explicit EnduranceTest(const char* program = "testbin\\KoravantQuickWatch.exe")
        : ProgramTest("endurance", program) {}

    void SetUp() override {
        ProgramTest::SetUp();
        ::DeleteFileA(QuarantineFolder().c_str());  // a failed fault test may leave a file there
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    }
    double RoundTrip() const {
        double start = NowMs();
        EXPECT_TRUE(app.Answers());
        return NowMs() - start;
    }
    // Quits through the tray's command and prints the run's figures. `roundTrip`: one more
    // first, unless the worker may be done before one.
    void QuitAndReport(const std::string& run, double longestRoundTripMs = 0,
                       bool roundTrip = true) {
        if (roundTrip) longestRoundTripMs = std::max(longestRoundTripMs, RoundTrip());
        double start = NowMs();
        PostCommand(Main(), 1062);
        EXPECT_TRUE(app.WaitForExit(30000) && app.ExitCode() == 0 && !AnyMessageBox(app.Pid()));
        std::printf("[figures] %s: before %s; after %s; longest round trip %.0f ms; quit %.0f ms\n",
                    run.c_str(), before.Describe().c_str(),
                    after.Valid() ? after.Describe().c_str() : "-", longestRoundTripMs,
                    NowMs() - start);
    }
    bool StartCounted() {
        return app.StartHidden() && (before = CountObjectsOf(app.Pid())).Valid();
    }
    void StartWithThreatsAndDeleteAll(TestDrive& stick, int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(stick.WriteFile(ThreatName(i), ThreatContent(i)));
        ASSERT_TRUE(StartCounted() && shield.RowCount() == count);
        // Its question and the notice that work has begun.
        ASSERT_TRUE(!ClickAndAnswer(shield, 1016).empty() && !Answer().empty());
    }
    int RowsSaying(const char* state) { return int(std::ranges::count(shield.Column(1), state)); }
    // Each threat is on the stick as it was, or gone with a copy that decodes to it; a cut copy
    // carries no marker, so it is never listed as a good one.
    void ExpectNothingLost(const TestDrive& stick, int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = ThreatName(i), content = ThreatContent(i);
            const std::string copy = ReadFileBytes(QuarantineFile(name + ".kv"));
            const bool kept = stick.Exists(name);
            EXPECT_TRUE((!kept || ReadFileBytes(stick.FolderPath(name)) == content) &&
                        (copy == EncodeQuarantineFile(stick.Path(name), content) ||
                         (kept && !copy.starts_with("kestrelvane"))))
                << name;
        }
    }

    ProcessCounts before, after;
    PageView shield{app, 153, 1015, 1017};

    // A stick's arrivals and removals, the window shown and hidden in turn.
    void ArrivalsAndRemovals(const Sizes& sizes) {
        TestDrive stick('E', DriveKind::Removable);
        ASSERT_TRUE(WriteFiles(stick, {"autorun.inf", "setup.exe"}, FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(stick.Remove() && app.StartHidden());
        // What the start-up alert loads stays: let it come and go first.
        HWND alert = WaitForWindow(app.Pid(), "Brellonix");
        ASSERT_TRUE(alert && WaitUntil([&] { return !::IsWindowVisible(alert); }));
        double longest = 0;
        for (int cycle = 0; cycle < sizes.cycles; ++cycle) {
            ASSERT_TRUE(stick.Plug() && SendDriveArrival(Main(), 'E'));
            ASSERT_TRUE(WaitUntil([&] { return shield.RowCount() == 2; }) && app.WaitUntilVisible())
                << "cycle " << cycle;
            ASSERT_TRUE(stick.Remove() && SendDriveRemoval(Main(), 'E'));
            if (cycle % 2) ::SendMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // back to the tray
            longest = std::max(longest, RoundTrip());
            if (cycle == 2) before = SettledCounts(app.Pid());  // caches have settled
        }
        ExpectFlat(before, after = SettledCounts(app.Pid()));
        QuitAndReport(std::to_string(sizes.cycles) + " arrivals", longest);
    }

    // Two whole scans with page switches under them: a short one first, as what the pages make on
    // first use stays, and the counted one; then a quit while a third scan runs.
    void PageSwitchesUnderScans(const Sizes& sizes) {
        TestDrive drive('E', EnsureScanTree());
        ASSERT_TRUE(drive.Plugged() && app.StartHidden());
        PageView scan{app, 152, 1024, 1025};
        double longest = 0;
        for (int switches : {2 * int(std::size(kPageButtons)), sizes.switches}) {
            before = SettledCounts(app.Pid());
            ASSERT_TRUE(scan.Open(1006) && scan.SendClick(1014));
            for (int i = 0; i < switches; ++i) {
                const auto& [button, page] = kPageButtons[i % std::size(kPageButtons)];
                ClickButton(Main(), button);
                EXPECT_TRUE(WaitUntil([&, page = page] { return app.VisiblePage() == page; })) << i;
                longest = std::max(longest, RoundTrip());
            }
            ASSERT_TRUE(scan.Open(1006));
            ASSERT_TRUE(WaitUntil([&] { return scan.IsEnabled(1014); }, 600000, 100));
        }
        ExpectFlat(before, after = SettledCounts(app.Pid()));
        ASSERT_TRUE(scan.SendClick(1014) && WaitUntil([&] { return scan.RowCount() > 0; }));
        QuitAndReport(std::to_string(sizes.switches) + " page switches", longest);
    }

    // A quit in turn while each worker runs. Empty and the cleanup delete without copies by
    // design: whatever Empty leaves is whole. The recycle bin the cleanup empties is the test's
    // own.
    void QuitMidWork(const Sizes& sizes) {
        const std::string work = std::string(std::getenv("TEMP")) + "\\koravant-endurance";
        DeleteTree(work);
        ASSERT_TRUE(CreateFolders(work));
        for (int i = 0; i < sizes.cleanupFiles; ++i)
            ASSERT_TRUE(WriteFileBytes(work + "\\" + std::to_string(i) + ".tmp", ""));
        PageView repair{app, 154, 1036}, quarantine{app, 151, 1057};
        // The worker has started once the question is gone; "Clean completed" would hold the quit
        // until answered, so it goes before the cleanup can end.
        ASSERT_TRUE(StartCounted() && repair.Open(1007) && !ClickAndAnswer(repair, 1003).empty());
        QuitAndReport("quit during a disk cleanup", 0, false);
        DeleteTree(work);

        ASSERT_TRUE(StartCounted() && repair.Open(1007) && !ClickAndAnswer(repair, 1002).empty());
        QuitAndReport("quit during a registry repair");

        TestDrive stick('E', DriveKind::Removable);
        StartWithThreatsAndDeleteAll(stick, sizes.threats);
        ASSERT_TRUE(WaitUntil([&] { return PathExists(QuarantineFile("t0.inf.kv")); }, 60000, 1));
        QuitAndReport("quit during Delete all, inside the copy of a 32 MB threat");
        ExpectNothingLost(stick, sizes.threats);

        const size_t files = sizes.quarantineFiles;
        auto copyOf = [](int i) { return EncodeQuarantineFile("E:\\" + ThreatName(i), "MZ"); };
        for (size_t i = 0; i < files; ++i)
            ASSERT_TRUE(WriteFileBytes(QuarantineFile(ThreatName(i) + ".kv"), copyOf(i)));
        ASSERT_TRUE(StartCounted() && quarantine.Open(1011));
        ASSERT_TRUE(WaitUntil([&] { return quarantine.RowCount() == int(files); }));
        ASSERT_TRUE(!ClickAndAnswer(quarantine, 1004).empty() && !Answer().empty());
        ASSERT_TRUE(
            WaitUntil([&] { return ListFolder(QuarantineFolder()).size() < files; }, 30000, 5));
        QuitAndReport("quit during Empty");
        for (const std::string& name : ListFolder(QuarantineFolder()))
            EXPECT_EQ(ReadFileBytes(QuarantineFile(name)), copyOf(std::stoi(name.substr(1))));
    }
};

}  // namespace

TEST_F(EnduranceTest, ArrivalsListAndStayFlat) { ArrivalsAndRemovals(kShort); }
TEST_F(EnduranceTest, PageSwitchesUnderScansStayFlat) { PageSwitchesUnderScans(kShort); }
TEST_F(EnduranceTest, QuittingWhileEachWorkerRunsEndsCleanlyAndLosesNoFile) { QuitMidWork(kShort); }

// A test build whose copies fail at their second block, as on a disk that fills up.
struct FullDiskTest : EnduranceTest {
    FullDiskTest() : EnduranceTest("testbin\\KoravantFullDisk.exe") {}
};

// A file where the quarantine folder belongs keeps every threat. Once it is gone, with the disk
// full the small threats go with their copies and the big ones stay; the stick pulled out
// mid-delete: every row ends "Deleted" with its copy or "Delete failed" without one, the closing
// notice comes, and nothing is lost.
TEST_F(FullDiskTest, NoQuarantineFolderThenAFullDiskAndTheStickPulledOutDuringDeleteAll) {
    const int count = kShort.threats;
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteFileBytes(QuarantineFolder(), "not a folder"));
    StartWithThreatsAndDeleteAll(stick, count);
    EXPECT_TRUE(shield.WaitForAllStates("Delete failed", 60000));
    EXPECT_EQ(Answer(), kRemoveStick);
    EXPECT_EQ(ListFolder(stick.Folder()).size(), size_t(count));

    ASSERT_TRUE(::DeleteFileA(QuarantineFolder().c_str()) && SendDriveArrival(Main(), 'E'));
    ASSERT_TRUE(WaitUntil([&] { return RowsSaying("Risky") == count; }));
    ASSERT_TRUE(!ClickAndAnswer(shield, 1016).empty() && !Answer().empty());
    ASSERT_TRUE(WaitUntil([&] { return RowsSaying("Deleted") >= 10; }, 60000, 20));
    ASSERT_TRUE(stick.Remove());
    ASSERT_TRUE(WaitUntil(
        [&] { return RowsSaying("Deleted") + RowsSaying("Delete failed") == count; }, 60000));
    EXPECT_EQ(Answer(), kRemoveStick);
    for (const std::vector<std::string>& row : shield.Rows())
        EXPECT_EQ(row[1] == "Deleted", PathExists(QuarantineFile(row[0].substr(3) + ".kv")))
            << row[0];
    ASSERT_TRUE(SendDriveRemoval(Main(), 'E') && app.Answers());
    QuitAndReport("no quarantine folder, then a full disk and the stick pulled mid-delete");
    ASSERT_TRUE(stick.Plug());
    ExpectNothingLost(stick, count);
}

// The long runs: --gtest_also_run_disabled_tests --gtest_filter='*EnduranceLong*'.
class DISABLED_EnduranceLong : public EnduranceTest {};

TEST_F(DISABLED_EnduranceLong, Arrivals) { ArrivalsAndRemovals(kLong); }
TEST_F(DISABLED_EnduranceLong, PageSwitches) { PageSwitchesUnderScans(kLong); }
TEST_F(DISABLED_EnduranceLong, QuitMidWork) { QuitMidWork(kLong); }
